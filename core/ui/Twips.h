#pragma once

#include <QRect>
#include <QSize>

namespace tova {

// Design geometry of the forms is given in twips: 15 twips per pixel.
class Twips {
public:
    static constexpr int PerPixel = 15;
    // The title bar and borders of a fixed dialog: a design height is that of the window with its
    // frame, the client area is this much lower.
    static constexpr int FrameHeight = 390;
    static QRect rect(int left, int top, int width, int height) {
        return {left / PerPixel, top / PerPixel, width / PerPixel, height / PerPixel};
    }
    static QSize size(int width, int height) { return {width / PerPixel, height / PerPixel}; }
};

}  // namespace tova
