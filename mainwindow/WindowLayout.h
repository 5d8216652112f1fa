#pragma once

namespace tova {

// A rectangle in twips (left, top, width, height).
struct TwipRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    double right() const { return left + width; }
    double bottom() const { return top + height; }
    bool operator==(const TwipRect&) const = default;
};

// The layout of the main window's song area: a fixed toolbar band (0 to 780 twips) at the top, the
// ruler, keyboard strip and roll under it following the window size, the scroll bars with the two
// row-height buttons, two view switches and the status bar docked at the bottom. Starts at the design
// rectangles; `resize` applies the resize rules for a client area of W x H twips whose status bar is
// S twips high. A size that would come out negative is refused and the control keeps its old value;
// the later rules still apply.
class WindowLayout {
public:
    TwipRect Image2{0, 0, 14040, 780};            // toolbar band background
    TwipRect lblVoice{0, 780, 1335, 420};         // name of the voice bank
    TwipRect Picture4{1320, 780, 8655, 420};      // ruler
    TwipRect Picture3{0, 1200, 1320, 5295};       // keyboard strip
    TwipRect Picture2{1320, 1200, 8655, 5295};    // piano roll
    TwipRect VScroll1{9960, 780, 255, 4755};      // vertical scroll bar
    TwipRect cmdHeightSmall{9960, 5820, 255, 255};  // "-"
    TwipRect cmdHeightLarge{9960, 5520, 255, 255};  // "+"
    TwipRect HScroll1{1320, 6540, 9555, 255};     // horizontal scroll bar
    TwipRect chkView{780, 6540, 255, 255};        // "P"
    TwipRect chkCurve{1050, 6540, 255, 255};      // "～"
    // The play-position line inside the roll: its two ends' y.
    double Line3Y1 = 0;
    double Line3Y2 = 5295;

    // Applies the resize rules in their order.
    void resize(double W, double H, double statusBarHeight);

    bool operator==(const WindowLayout&) const = default;
};

}  // namespace tova
