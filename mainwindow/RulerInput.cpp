#include "mainwindow/RulerInput.h"

#include "core/MessageTable.h"
#include "core/Midi.h"
#include "core/Settings.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MainWindowView.h"
#include "commands/RegionCommands.h"
#include "song/NoteExtension.h"

#include <algorithm>
#include <cmath>

namespace tova {

RulerInput::RulerInput(MainWindow& window) : w_(window) {}

// ---------------------------------------------------------------------------------------------------
// Keyboard strip and tone label

void RulerInput::stopPreview() {
    if (w_.Roll.PreviewNoteOn) {
        MidiNoteOff();
        w_.Roll.PreviewNoteOn = 0;
    }
}

void RulerInput::Picture3_MouseDown(int, int, double, double y) {
    MidiNoteOn(int16_t(w_.Roll.rowNoteAt(y)));
    w_.Roll.PreviewNoteOn = -1;
}

void RulerInput::Picture3_MouseMove(int, int, double, double y) {
    const int note = std::clamp(w_.Roll.rowNoteAt(y), 0, 84);
    if (note != w_.CursorNoteNum && w_.Roll.PreviewNoteOn) {
        MidiNoteOff();
        MidiNoteOn(int16_t(note));
    }
    w_.CursorNoteNum = note;
    w_.ShowToneAtCursor();
}

void RulerInput::Picture3_MouseUp(int, int, double, double) { stopPreview(); }

void RulerInput::lblTone_MouseDown(int, int, double, double) {
    MidiNoteOn(int16_t(w_.CursorNoteNum));
    w_.Roll.PreviewNoteOn = -1;
}

void RulerInput::lblTone_MouseMove(int, int, double, double y, double labelHeight) {
    if (!w_.Roll.PreviewNoteOn) return;
    int note = w_.CursorNoteNum;
    if (y < 0)
        note = std::min(note + 1, 84);
    else if (y > labelHeight)
        note = std::max(note - 1, 0);
    if (note == w_.CursorNoteNum) return;
    w_.CursorNoteNum = note;
    MidiNoteOff();
    MidiNoteOn(int16_t(note));
    w_.ShowToneAtCursor();
}

void RulerInput::lblTone_MouseUp(int, int, double, double) { stopPreview(); }

// ---------------------------------------------------------------------------------------------------
// Ruler

void RulerInput::Picture4_MouseDown(int button, int, double x, double y) {
    RollEditor& roll = w_.Roll;
    roll.PressX = qint32(std::nearbyint(x));
    roll.PressY = qint32(std::nearbyint(y));
    roll.RulerNote = -1;
    const qint32 count = std::min<qint32>(w_.song.noteCount(), qint32(w_.NoteGeometry.size()));
    for (qint32 i = 0; i < count; ++i) {
        const NoteGeometryRecord& g = w_.NoteGeometry[i];
        if (g.Left < x && x < double(g.Left) + g.Width) roll.RulerNote = i;
    }
    if (button == 2 && roll.RulerNote >= 0) {
        const NoteGeometryRecord& g = w_.NoteGeometry[roll.RulerNote];
        roll.Feedback.Shape3 = {TwipRect{double(g.Left) - 15, 225, double(g.Width) - 15, 135}, true};
        roll.showFeedback();
    }
}

void RulerInput::Picture4_MouseUp(int button, int, double, double) {
    RollEditor& roll = w_.Roll;
    const bool wasShown = roll.Feedback.Shape3.visible;
    roll.Feedback.Shape3.visible = false;
    if (wasShown) roll.showFeedback();
    if (button != 2) return;
    MainWindowView& v = w_.view();
    const Song& s = w_.song;
    auto show = [&v](const char* item, bool on) { v.setVisible(QString::fromLatin1(item), on); };
    // 1.
    w_.FillLabelList();
    show("mnJumper", true);
    // 2.
    const qint32 note = roll.RulerNote;
    if (note >= 0 && note < s.noteCount()) {
        show("mnSetTempo2", true);
        show("mnSeparator32", true);
        const bool labelled = !GetNoteOption(s.NoteExt[note], QStringLiteral("label")).isEmpty();
        show("mnLabelName", labelled);
        show("mnLabelDel", labelled);
        show("mnLabelAdd", !labelled);
        show("mnTempoDel", !GetNoteOption(s.NoteExt[note], QStringLiteral("tempo")).isEmpty());
    } else {
        for (const char* item : {"mnSeparator32", "mnLabelAdd", "mnLabelDel", "mnLabelName", "mnSetTempo2", "mnTempoDel"})
            show(item, false);
    }
    // 3.
    const int regions = w_.FillRegionList();
    show("mnSeparator38", regions > 0);
    show("mnSelectRegionSel", regions > 0);
    // 4.
    if (s.noteCount() > 0 && s.SelStart >= 0 && s.SelStart < s.noteCount()) {
        show("mnSeparator35", true);
        show("mnNoteSelectTop2", true);
        show("mnNoteSelectEnd2", true);
        show("mnSeparator38", true);
        const QString name = FindSelectionRegion(s, s.SelStart, s.SelEnd);
        if (!name.isEmpty()) v.setText(QStringLiteral("mnSelectRegionDel"), GetMessage(QStringLiteral("範囲名'{1}'を削除"), name));
        show("mnSelectRegionDel", !name.isEmpty());
        show("mnSelectRegionAdd", name.isEmpty());
    } else {
        for (const char* item : {"mnSeparator35", "mnNoteSelectTop2", "mnNoteSelectEnd2", "mnSeparator38",
                                 "mnSelectRegionDel", "mnSelectRegionAdd"})
            show(item, false);
    }
    // 5.
    int chosen = -1;
    v.popupMenu(QStringLiteral("mnLabelTempo"), &chosen);
}

QString RulerInput::FindSelectionRegion(const NoteArrays& notes, qint32 selStart, qint32 selEnd) {
    return tova::FindSelectionRegion(notes, selStart, selEnd);
}

// ---------------------------------------------------------------------------------------------------
// Status bar

void RulerInput::StatusBar1_PanelClick(int panel) {
    if (panel != 4) return;
    settings().MultiMove = !settings().MultiMove;
    w_.view().setStatusText(4, settings().MultiMove ? QStringLiteral("M") : QString());
}

}  // namespace tova
