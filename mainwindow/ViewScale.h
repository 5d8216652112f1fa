#pragma once

#include <cstdint>

namespace tova {

// The two scales of the roll: `Zoom` (ticks per twip, 0.5 or a whole number 1..8; larger shows more
// of the song) and `RowHeight` (twips per semitone row, 150..360 in steps of 30), with the enabled
// state of the zoom-in and zoom-out commands (menu items and buttons alike). The view keeps neither
// in the project or the settings. Each operation answers whether the roll must be redrawn.
class ViewScale {
public:
    float Zoom = 2.0f;
    int16_t RowHeight = 210;
    bool ZoomInEnabled = true;
    bool ZoomOutEnabled = true;

    // One step in: 8 .. 2 step down by one, 1 gives 0.5 and disables zooming in; at 0.5 nothing
    // changes. Zooming out is enabled again. Always redraws.
    void zoomIn();
    // One step out: 0.5 gives 1, below 8 up by one; reaching 8 disables zooming out; at 8 or above
    // nothing changes. Zooming in is enabled again. Always redraws.
    void zoomOut();
    // Row height plus or minus 30 within 150..360.
    void heightLarge();
    void heightSmall();

    // The wheel with Ctrl and Shift: Zoom - direction, a result below 1 becoming 0.5 and one above 8
    // becoming 8; at 0.5 the wheel away from the user (direction >= 0) keeps 0.5 and towards the user
    // gives 1. The enabled states stay as they are.
    void wheelZoom(int16_t direction);
    // The wheel with Ctrl: row height plus 30 times the direction, within 150..360.
    void wheelRowHeight(int16_t direction);
};

}  // namespace tova
