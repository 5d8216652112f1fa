#include "mainwindow/WheelSteps.h"

#include "mainwindow/ViewScale.h"

namespace tova {

WheelOutcome WheelSteps::apply(int16_t direction, int16_t keys, ViewScale& view, const ScrollBarState& h,
                               const ScrollBarState& v) {
    WheelOutcome out;
    const bool shift = (keys & ShiftKey) != 0;
    const bool ctrl = (keys & CtrlKey) != 0;
    if (ctrl && shift) {
        view.wheelZoom(direction);
        out.redraw = true;
    } else if (ctrl) {
        view.wheelRowHeight(direction);
        out.redraw = true;
    } else if (shift) {
        int nv = h.Value - direction;
        if (h.holds(nv)) out.hValue = nv;
    } else {
        int nv = v.Value - direction;
        if (v.holds(nv)) out.vValue = nv;
    }
    return out;
}

}  // namespace tova
