#include "mainwindow/ui/PictureCanvas.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace tova {

namespace {
constexpr double kTwipsPerPixel = 15;
// Points to pixels on a 96 dots-per-inch screen.
constexpr double kPixelsPerPoint = 96.0 / 72.0;

QFont canvasFont(double points) {
    QFont f;
    f.setFamilies({QStringLiteral("IPAexGothic"), QStringLiteral("sans-serif")});
    f.setPixelSize(std::max(1, int(std::lround(points * kPixelsPerPoint))));
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}
}  // namespace

PictureCanvas::PictureCanvas(double widthTwips, double heightTwips, int borderPixels) : border_(borderPixels) {
    setFontSize(fontSize_);
    resize(widthTwips, heightTwips);
}

PictureCanvas::~PictureCanvas() { endPainting(); }

int PictureCanvas::toPixel(double twips) { return int(std::floor(twips / kTwipsPerPixel + 0.5)); }

QColor PictureCanvas::toColor(int32_t rgb) { return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF); }

double PictureCanvas::scaleWidth() const { return std::max(0.0, width_ - 2 * border_ * kTwipsPerPixel); }

double PictureCanvas::scaleHeight() const { return std::max(0.0, height_ - 2 * border_ * kTwipsPerPixel); }

void PictureCanvas::resize(double widthTwips, double heightTwips) {
    endPainting();
    width_ = widthTwips;
    height_ = heightTwips;
    const int w = std::max(1, toPixel(scaleWidth()));
    const int h = std::max(1, toPixel(scaleHeight()));
    image_ = QImage(w, h, QImage::Format_RGB32);
    image_.fill(Qt::white);
}

const QImage& PictureCanvas::image() {
    endPainting();
    return image_;
}

void PictureCanvas::clear(int32_t color) {
    endPainting();
    image_.fill(toColor(color));
}

QPainter& PictureCanvas::painter() {
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&image_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
        painter_->setRenderHint(QPainter::TextAntialiasing, false);
        painter_->setFont(font_);
    }
    return *painter_;
}

void PictureCanvas::endPainting() {
    if (painter_) {
        painter_->end();
        painter_.reset();
    }
}

void PictureCanvas::line(double x1, double y1, double x2, double y2, int32_t color) {
    QPainter& p = painter();
    p.setPen(QPen(toColor(color), 0));
    const QPoint a(toPixel(x1), toPixel(y1)), b(toPixel(x2), toPixel(y2));
    if (a == b)
        p.drawPoint(a);
    else
        p.drawLine(a, b);
}

void PictureCanvas::box(double x1, double y1, double x2, double y2, int32_t color) {
    QPainter& p = painter();
    p.setPen(QPen(toColor(color), 0));
    p.setBrush(Qt::NoBrush);
    const QRect r = QRect(QPoint(toPixel(x1), toPixel(y1)), QPoint(toPixel(x2), toPixel(y2))).normalized();
    // An outline through the corner pixels on every side.
    p.drawRect(r.x(), r.y(), r.width() - 1, r.height() - 1);
}

void PictureCanvas::fillBox(double x1, double y1, double x2, double y2, int32_t color) {
    const QRect r = QRect(QPoint(toPixel(x1), toPixel(y1)), QPoint(toPixel(x2), toPixel(y2))).normalized();
    painter().fillRect(r, toColor(color));
}

void PictureCanvas::setFontSize(double points) {
    if (metrics_ && points == fontSize_) return;
    fontSize_ = points;
    font_ = canvasFont(points);
    metrics_ = std::make_unique<QFontMetricsF>(font_);
    if (painter_) painter_->setFont(font_);
}

double PictureCanvas::textWidth(const QString& text) const {
    return metrics_->horizontalAdvance(text) * kTwipsPerPixel;
}

void PictureCanvas::print(double x, double y, const QString& text, int32_t color) {
    if (text.isEmpty()) return;
    QPainter& p = painter();
    p.setPen(toColor(color));
    p.drawText(QPointF(toPixel(x), toPixel(y) + metrics_->ascent()), text);
}

}  // namespace tova
