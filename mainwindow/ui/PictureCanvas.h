#pragma once

#include "mainwindow/RollCanvas.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>

#include <memory>

class QPainter;

namespace tova {

// The persistent picture of a picture box that the drawing procedures paint in twips: a QImage of the
// box's drawing area, one pixel per 15 twips, which the widget shows. Coordinates snap to the nearest
// pixel; lines and boxes include both end points, so a box from y to y + 15 covers two pixel rows.
// Texts use a font that renders kana and kanji, sized in points at 96 dots per inch.
class PictureCanvas : public RollCanvas {
public:
    // A picture box of the given outer size in twips with a border of `borderPixels` on each side; the
    // image covers the drawing area inside the border.
    PictureCanvas(double widthTwips, double heightTwips, int borderPixels = 0);
    ~PictureCanvas() override;
    PictureCanvas(const PictureCanvas&) = delete;
    PictureCanvas& operator=(const PictureCanvas&) = delete;

    // New outer size; the picture is cleared to the back colour.
    void resize(double widthTwips, double heightTwips);
    // The picture as painted so far.
    const QImage& image();
    // Fills the whole picture with a colour.
    void clear(int32_t color);

    double width() const override { return width_; }
    double height() const override { return height_; }
    double scaleWidth() const override;
    double scaleHeight() const override;
    void line(double x1, double y1, double x2, double y2, int32_t color) override;
    void box(double x1, double y1, double x2, double y2, int32_t color) override;
    void fillBox(double x1, double y1, double x2, double y2, int32_t color) override;
    void setFontSize(double points) override;
    double fontSize() const override { return fontSize_; }
    double textWidth(const QString& text) const override;
    void print(double x, double y, const QString& text, int32_t color) override;

    // The pixel of a twip coordinate: the nearest one.
    static int toPixel(double twips);
    // A colour number (red + 256 * green + 65536 * blue) as a colour.
    static QColor toColor(int32_t rgb);

private:
    QPainter& painter();
    void endPainting();

    double width_ = 0;
    double height_ = 0;
    int border_ = 0;
    double fontSize_ = 9;
    QFont font_;
    std::unique_ptr<QFontMetricsF> metrics_;
    QImage image_;
    std::unique_ptr<QPainter> painter_;
};

}  // namespace tova
