#include "mainwindow/ViewScale.h"

#include "mainwindow/RollCoordinates.h"

#include <algorithm>

namespace tova {

namespace {
int16_t clampRowHeight(int h) {
    return int16_t(std::clamp(h, int(Roll::MinRowHeight), int(Roll::MaxRowHeight)));
}
}  // namespace

void ViewScale::zoomIn() {
    if (Zoom <= 1.0f) {
        if (Zoom > Roll::MinZoom) {
            Zoom = Roll::MinZoom;
            ZoomInEnabled = false;
        }
    } else {
        Zoom -= 1.0f;
    }
    ZoomOutEnabled = true;
}

void ViewScale::zoomOut() {
    if (Zoom == Roll::MinZoom) {
        Zoom = 1.0f;
    } else if (Zoom < Roll::MaxZoom) {
        Zoom += 1.0f;
        if (Zoom == Roll::MaxZoom) ZoomOutEnabled = false;
    }
    ZoomInEnabled = true;
}

void ViewScale::heightLarge() { RowHeight = clampRowHeight(RowHeight + Roll::RowHeightStep); }

void ViewScale::heightSmall() { RowHeight = clampRowHeight(RowHeight - Roll::RowHeightStep); }

void ViewScale::wheelZoom(int16_t direction) {
    if (Zoom != Roll::MinZoom) {
        float z = Zoom - float(direction);
        if (z < 1.0f) z = Roll::MinZoom;
        if (z > Roll::MaxZoom) z = Roll::MaxZoom;
        Zoom = z;
    } else if (direction < 0) {
        Zoom = 1.0f;
    }
}

void ViewScale::wheelRowHeight(int16_t direction) {
    RowHeight = clampRowHeight(RowHeight + Roll::RowHeightStep * direction);
}

}  // namespace tova
