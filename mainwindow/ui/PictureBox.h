#pragma once

#include "mainwindow/RollCanvas.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QWidget>

namespace tova {

// A picture box with a persistent picture: the drawing procedures paint into the picture (in twips,
// 15 a pixel) and the widget shows it. Growing keeps what was painted and fills the new area with the
// background colour.
class PictureBox : public QWidget, public RollCanvas {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    const QImage& image() const { return image_; }
    void setColors(int32_t fore, int32_t back);
    int32_t foreColor() const { return fore_; }
    int32_t backColor() const { return back_; }

    // RGB number (red + 256 * green + 65536 * blue) to a colour and back.
    static QColor rgb(int32_t color);

    double width() const override;
    double height() const override;
    void line(double x1, double y1, double x2, double y2, int32_t color) override;
    void box(double x1, double y1, double x2, double y2, int32_t color) override;
    void fillBox(double x1, double y1, double x2, double y2, int32_t color) override;
    void setFontSize(double points) override;
    double fontSize() const override;
    double textWidth(const QString& text) const override;
    void print(double x, double y, const QString& text, int32_t color) override;

signals:
    void mousePressed(QMouseEvent* event);
    void mouseMoved(QMouseEvent* event);
    void mouseReleased(QMouseEvent* event);
    // A double click; the press that opens it has been reported before, this one is not.
    void doubleClicked(QMouseEvent* event);
    void keyPressed(QKeyEvent* event);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ensureImage();

    QImage image_;
    QFont font_;
    int32_t fore_ = 0;
    int32_t back_ = 0xFFFFFF;
};

}  // namespace tova
