#pragma once

#include "core/MainWindowPlacement.h"

class QWidget;

namespace tova {

// A top-level window's placement as the settings file keeps it, in twips: the left and top of the
// window's frame on the desktop (what move() takes) and the size of its client area (what resize()
// takes). Reading gives back exactly what was set (once a place from a larger screen has been brought
// into this screen's work area), whether or not the desktop has drawn a frame yet: before the first
// show the frame's size is not known, so a size that counted the frame could not be set back without
// the window growing by the frame at every start.
class WidgetPlacement : public MainWindowPlacement {
public:
    explicit WidgetPlacement(QWidget* window) : w_(window) {}

    double left() const override;
    double top() const override;
    double width() const override;
    double height() const override;
    void setPlacement(double left, double top, double width, double height) override;
    State windowState() const override;
    double twipsPerPixelX() const override { return 15; }
    double twipsPerPixelY() const override { return 15; }

private:
    QWidget* w_;
};

}  // namespace tova
