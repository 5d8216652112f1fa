#pragma once

#include <algorithm>

namespace tova {

// The state of one scroll bar of the roll, as the view logic reads and changes it. Min may lie above
// Max (the vertical bar starts at 1 and its maximum can become 0): the bar then spans the values
// between the two, either order.
struct ScrollBarState {
    int Min = 0;
    int Max = 0;
    int Value = 0;
    int LargeChange = 1;
    int SmallChange = 1;

    int low() const { return std::min(Min, Max); }
    int high() const { return std::max(Min, Max); }
    // True when the value lies within the bar's range.
    bool holds(int v) const { return v >= low() && v <= high(); }
    // The value brought into the bar's range, as the bar itself does when its range changes.
    int clamped(int v) const { return std::clamp(v, low(), high()); }
    // Sets the maximum; the value follows into the new range.
    void setMax(int m) {
        Max = m;
        Value = clamped(Value);
    }
};

}  // namespace tova
