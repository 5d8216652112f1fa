#pragma once

#include "mainwindow/NoteDrawingServices.h"

namespace tova {

class MainWindow;
struct NoteArrays;

// The keyboard strip ("Picture3") with its tone label "lblTone", which sound a key while a button is
// held, the ruler ("Picture4") with its pop-up menu of label, tempo, jump and region commands, and the
// multi-move switch of the status bar's fourth panel. Coordinates are twips of the control.
class RulerInput {
public:
    explicit RulerInput(MainWindow& window);

    void Picture3_MouseDown(int button, int shift, double x, double y);
    void Picture3_MouseMove(int button, int shift, double x, double y);
    void Picture3_MouseUp(int button, int shift, double x, double y);
    // `y` relative to the label; `labelHeight` its height.
    void lblTone_MouseDown(int button, int shift, double x, double y);
    void lblTone_MouseMove(int button, int shift, double x, double y, double labelHeight);
    void lblTone_MouseUp(int button, int shift, double x, double y);
    void Picture4_MouseDown(int button, int shift, double x, double y);
    void Picture4_MouseUp(int button, int shift, double x, double y);
    void StatusBar1_PanelClick(int panel);

    // The named region that starts at the selection start note and ends at the selection end note
    // (the first of the start note's names, in stored order, that the end note closes); empty when
    // none.
    static QString FindSelectionRegion(const NoteArrays& notes, qint32 selStart, qint32 selEnd);

private:
    void stopPreview();
    MainWindow& w_;
};

// The region names of the ruler for the note drawing.
class SelectionRegionNames : public NoteDrawingServices {
public:
    QString FindSelectionRegion(const NoteArrays& notes, qint32 selStart, qint32 selEnd) const override {
        return RulerInput::FindSelectionRegion(notes, selStart, selEnd);
    }
};

}  // namespace tova
