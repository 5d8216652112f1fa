#include "mainwindow/ui/PictureBox.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace tova {

namespace {
constexpr double kTwips = 15.0;
int px(double twips) { return int(std::floor(twips / kTwips)); }
}  // namespace

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    font_ = font();
}

QColor PictureBox::rgb(int32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

void PictureBox::setColors(int32_t fore, int32_t back) {
    fore_ = fore;
    back_ = back;
}

void PictureBox::ensureImage() {
    const QSize size(std::max(1, QWidget::width()), std::max(1, QWidget::height()));
    if (image_.size() == size) return;
    QImage grown(size, QImage::Format_RGB32);
    grown.fill(rgb(back_));
    if (!image_.isNull()) {
        QPainter p(&grown);
        p.drawImage(0, 0, image_);
    }
    image_ = grown;
}

double PictureBox::width() const { return QWidget::width() * kTwips; }
double PictureBox::height() const { return QWidget::height() * kTwips; }

void PictureBox::line(double x1, double y1, double x2, double y2, int32_t color) {
    ensureImage();
    QPainter p(&image_);
    p.setPen(QPen(rgb(color), 1));
    p.drawLine(QPoint(px(x1), px(y1)), QPoint(px(x2), px(y2)));
}

void PictureBox::box(double x1, double y1, double x2, double y2, int32_t color) {
    ensureImage();
    QPainter p(&image_);
    p.setPen(QPen(rgb(color), 1));
    p.setBrush(Qt::NoBrush);
    const QRect r = QRect(QPoint(px(x1), px(y1)), QPoint(px(x2), px(y2))).normalized();
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

void PictureBox::fillBox(double x1, double y1, double x2, double y2, int32_t color) {
    ensureImage();
    QPainter p(&image_);
    p.fillRect(QRect(QPoint(px(x1), px(y1)), QPoint(px(x2), px(y2))).normalized(), rgb(color));
}

void PictureBox::setFontSize(double points) {
    if (points > 0) font_.setPointSizeF(points);
}

double PictureBox::fontSize() const { return font_.pointSizeF(); }

double PictureBox::textWidth(const QString& text) const {
    return QFontMetricsF(font_, this).horizontalAdvance(text) * kTwips;
}

void PictureBox::print(double x, double y, const QString& text, int32_t color) {
    ensureImage();
    QPainter p(&image_);
    p.setFont(font_);
    p.setPen(rgb(color));
    p.drawText(QRectF(px(x), px(y), 4000, 400), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine, text);
}

void PictureBox::paintEvent(QPaintEvent*) {
    ensureImage();
    QPainter p(this);
    p.drawImage(0, 0, image_);
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    ensureImage();
    QWidget::resizeEvent(event);
}

void PictureBox::mousePressEvent(QMouseEvent* event) { emit mousePressed(event); }
void PictureBox::mouseMoveEvent(QMouseEvent* event) { emit mouseMoved(event); }
void PictureBox::mouseReleaseEvent(QMouseEvent* event) { emit mouseReleased(event); }
void PictureBox::mouseDoubleClickEvent(QMouseEvent* event) { emit doubleClicked(event); }
void PictureBox::keyPressEvent(QKeyEvent* event) { emit keyPressed(event); }

}  // namespace tova
