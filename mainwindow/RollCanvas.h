#pragma once

#include <QString>

#include <cstdint>

namespace tova {

// A drawing surface of the roll, the keyboard strip or the ruler, measured in twips from its top-left
// corner (15 twips a pixel). Colours are RGB numbers red + 256 * green + 65536 * blue. The window
// implements it over a persistent picture; tests record the calls.
class RollCanvas {
public:
    virtual ~RollCanvas() = default;
    // Outer size in twips, border included.
    virtual double width() const = 0;
    virtual double height() const = 0;
    // Drawing width and height without the border.
    virtual double scaleWidth() const { return width(); }
    virtual double scaleHeight() const { return height(); }

    // A line from one point to the other, both ends drawn.
    virtual void line(double x1, double y1, double x2, double y2, int32_t color) = 0;
    // An outlined box with the two points as opposite corners.
    virtual void box(double x1, double y1, double x2, double y2, int32_t color) = 0;
    // A filled box with the two points as opposite corners.
    virtual void fillBox(double x1, double y1, double x2, double y2, int32_t color) = 0;

    // Font size in points of the texts printed from now on.
    virtual void setFontSize(double points) = 0;
    virtual double fontSize() const = 0;
    // Width of a text in the current font, in twips.
    virtual double textWidth(const QString& text) const = 0;
    // Prints a text with its top-left corner at the point.
    virtual void print(double x, double y, const QString& text, int32_t color) = 0;
};

}  // namespace tova
