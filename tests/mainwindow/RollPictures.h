#pragma once
// The persistent pictures of the keyboard strip, the ruler and the roll of the main window, with the
// records a note drawing keeps, for the picture tests of the note layer.

#include "mainwindow/NoteDrawing.h"
#include "mainwindow/ui/PictureBox.h"

#include <QWidget>

namespace tova::test {

struct RollPictures {
    QWidget owner;
    PictureBox& keyboard = box(1320, 6000);
    PictureBox& ruler = box(21600, 420);
    PictureBox& roll = box(21600, 6000);
    NoteGeometryList geometry;
    CurveHandles handles;
    NoteDrawingResult result;

    // A picture box of the main window, sized in twips.
    PictureBox& box(int w, int h) {
        auto* b = new PictureBox(&owner);
        b->resize(w / 15, h / 15);
        return *b;
    }
};

}  // namespace tova::test
