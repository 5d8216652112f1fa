#pragma once

#include "commands/ScrollBarState.h"

#include <cstdint>
#include <optional>

namespace tova {

class ViewScale;

// What one step of the mouse wheel does to the roll.
struct WheelOutcome {
    bool redraw = false;           // the scale changed: redraw background and notes
    std::optional<int> hValue;     // new value of the horizontal bar (its change handler redraws)
    std::optional<int> vValue;     // new value of the vertical bar
};

// The wheel table. Direction +1 for the wheel turned away from the user (or a zero delta), -1 towards;
// keys 1 with Shift held plus 2 with Ctrl held.
//   Ctrl+Shift: horizontal zoom (ViewScale::wheelZoom), redraw.
//   Ctrl:       row height (ViewScale::wheelRowHeight), redraw.
//   Shift:      horizontal value - direction, only when it stays within the bar's range.
//   none:       vertical value - direction, the same way (away from the user shows higher notes).
class WheelSteps {
public:
    static constexpr int16_t ShiftKey = 1;
    static constexpr int16_t CtrlKey = 2;
    static WheelOutcome apply(int16_t direction, int16_t keys, ViewScale& view, const ScrollBarState& h,
                              const ScrollBarState& v);
};

}  // namespace tova
