#include "mainwindow/RollTextBoxes.h"

#include "commands/CommandFrame.h"
#include "core/MessageTable.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MainWindowView.h"
#include "mainwindow/RollCanvas.h"
#include "platform/InputBoxPort.h"
#include "platform/Vb.h"
#include "song/FreeText.h"
#include "song/LyricText.h"
#include "song/NoteExtension.h"

namespace tova {

namespace {
const QString kLyricBox = QStringLiteral("Text1");
const QString kLabelBox = QStringLiteral("txtLabel");
const QString kRoll = QStringLiteral("Picture2");
const QString kLyricCaption = QStringLiteral("歌詞の変更");
// The designed size of the lyric box.
constexpr double kLyricBoxWidth = 1200;
constexpr double kLyricBoxHeight = 300;
}  // namespace

RollTextBoxes::RollTextBoxes(MainWindow& window) : w_(window) {}

// ---------------------------------------------------------------------------------------------------
// The lyric box

void RollTextBoxes::ShowLyricEditBox(qint32& note) {
    const Song& s = w_.song;
    if (s.SelStart < 0 || s.SelStart > s.lastNote()) {
        note = -1;
        return;
    }
    note = s.SelStart;
    const NoteGeometryRecord g = w_.NoteGeometry.value(note);
    MainWindowView& v = w_.view();
    const double left = g.Left < -1 ? 0.0 : double(g.Left);
    v.setControlRect(kLyricBox, TwipRect{left, g.Top, kLyricBoxWidth, kLyricBoxHeight});
    v.setText(kLyricBox, s.Lyrics[note]);
    lyricBoxOpen_ = true;
    v.setVisible(kLyricBox, true);
    // The whole lyric selected, ready to be typed over.
    w_.sendKeys(kLyricBox, QStringLiteral("^A"));
    v.setFocusTo(kLyricBox);
}

void RollTextBoxes::commitLyricBoxPlain() {
    if (!lyricBoxOpen_) return;
    lyricBoxOpen_ = false;
    MainWindowView& v = w_.view();
    const QString text = SafeFreeText(v.text(kLyricBox), FreeTextUse::Lyric);
    v.setVisible(kLyricBox, false);
    Song& s = w_.song;
    const qint32 sel = s.SelStart;
    if (sel < 0 || sel > s.lastNote()) return;
    RunEditCommand(w_, [&] {
        w_.beginPropUndo(sel, sel, kLyricCaption);
        s.Lyrics[sel] = text;
        w_.endPropUndo(false);
    });
}

void RollTextBoxes::Text1_KeyPress(int& keyAscii) {
    MainWindowView& v = w_.view();
    if (keyAscii == 27) {
        keyAscii = 0;
        lyricBoxOpen_ = false;
        v.setVisible(kLyricBox, false);
        v.setFocusTo(kRoll);
        return;
    }
    if (keyAscii != 13) return;
    keyAscii = 0;
    lyricBoxOpen_ = false;
    const QString text = SafeFreeText(v.text(kLyricBox), FreeTextUse::Lyric);
    v.setVisible(kLyricBox, false);
    Song& s = w_.song;
    const qint32 sel = s.SelStart;
    if (sel >= 0 && sel < s.noteCount()) {
        if (text != s.Lyrics[sel]) {
            RunEditCommand(w_, [&] {
                const QString undo = s.SerializeNote(QStringLiteral("PROP"), sel);
                w_.ApplyLyricText(sel, text);
                const QString redo = s.SerializeNote(QStringLiteral("PROP"), sel);
                w_.pushUndo(undo, redo, kLyricCaption);
            });
        }
        // Changed or not, the selection moves to the next note.
        v.runNamedCommand(QStringLiteral("mnNoteNext"));
        if (s.SelStart < s.noteCount()) w_.CurNote = s.SelStart;
        w_.DrawBackground();
        w_.DrawNotes();
    } else {
        w_.CurNote = -1;
        s.SelStart = s.SelEnd = s.noteCount();
    }
    v.setFocusTo(kRoll);
}

void RollTextBoxes::Text1_LostFocus() {
    if (!lyricBoxOpen_) return;
    lyricBoxOpen_ = false;
    MainWindowView& v = w_.view();
    v.setVisible(kLyricBox, false);
    const QString text = SafeFreeText(v.text(kLyricBox), FreeTextUse::Lyric);
    Song& s = w_.song;
    const qint32 sel = s.SelStart;
    if (sel < 0 || sel >= s.noteCount() || text == s.Lyrics[sel]) return;
    RunEditCommand(w_, [&] {
        const QString before = s.SerializeNote(QStringLiteral("PROP"), sel);
        w_.ApplyLyricText(sel, text);
        const QString after = s.SerializeNote(QStringLiteral("PROP"), sel);
        w_.setModified(true);
        w_.pushUndo(before, after, kLyricCaption);
    });
    w_.DrawBackground();
    w_.DrawNotes();
}

// ---------------------------------------------------------------------------------------------------
// The lyric queue

QString RollTextBoxes::queueToLines(const QString& queue) {
    QString lines = queue;
    return lines.replace(u' ', QStringLiteral("\r\n"));
}

QString RollTextBoxes::linesToQueue(const QString& lines) {
    // Line breaks (and any TAB) become the queue's blanks.
    return SafeFreeText(lines, FreeTextUse::Line);
}

// ---------------------------------------------------------------------------------------------------
// The label box

void RollTextBoxes::PlaceLabelEditor(qint32 note) {
    Song& s = w_.song;
    if (note < 0 || note >= s.noteCount()) return;
    MainWindowView& v = w_.view();
    const QString text = GetNoteOption(s.NoteExt[note], QStringLiteral("label"));
    const double textWidth = v.picture(QStringLiteral("Picture4")).textWidth(text);
    const double width = textWidth < 840 ? 900 : textWidth + 60;
    v.setControlRect(kLabelBox, TwipRect{double(w_.NoteGeometry.value(note).Left) + 15, 30, width, 240});
    v.setText(kLabelBox, text);
    labelTag_ = QString::number(note);
    v.setVisible(kLabelBox, true);
    v.setFocusTo(kLabelBox);
}

void RollTextBoxes::txtLabel_KeyDown(int& keyCode) {
    if (keyCode == 13) keyCode = 0;
}

void RollTextBoxes::txtLabel_KeyPress(int& keyAscii) {
    if (keyAscii != 13) return;
    keyAscii = 0;
    w_.view().setFocusTo(kRoll);
}

void RollTextBoxes::txtLabel_LostFocus() {
    if (!Vb::IsNumeric(labelTag_)) return;
    const qint32 note = qint32(Vb::Val(labelTag_));
    MainWindowView& v = w_.view();
    // Closed before the commit, so that a failure cannot leave the box open on a committed tag.
    labelTag_.clear();
    v.setVisible(kLabelBox, false);
    Song& s = w_.song;
    if (note < 0 || note >= s.noteCount()) return;
    const QString text = SafeFreeText(v.text(kLabelBox), FreeTextUse::Label);
    bool changed = false;
    RunEditCommand(w_, [&] {
        w_.beginPropUndo(note, note, QStringLiteral("ラベルの変更"));
        SetNoteOption(s.NoteExt[note], QStringLiteral("label"), text);
        changed = w_.endPropUndo(false);
    });
    if (changed) {
        w_.DrawBackground();
        w_.DrawNotes();
    }
}

// ---------------------------------------------------------------------------------------------------
// The tempo box

void RollTextBoxes::txtTempo_Click() {
    Song& s = w_.song;
    InputRequest request;
    request.title = GetMessage(QStringLiteral("全体のテンポの変更"));
    request.defaultText = Vb::SingleText(s.Tempo);
    QString answer = request.defaultText;
    if (w_.inputBox().ask(request, answer)) {
        const double value = Vb::Val(answer);
        const float tempo = float(value);
        if (value >= MinTempo && value <= MaxTempo && tempo != s.Tempo) {
            const float before = s.Tempo;
            RunEditCommand(w_, [&] {
                s.Tempo = tempo;
                w_.pushUndo(Song::TempoRecordLine(before), Song::TempoRecordLine(tempo),
                            QStringLiteral("全体のテンポの変更"));
                w_.setModified(true);
            });
            w_.DrawBackground();
            w_.DrawNotes();
            w_.UpdateTempoStatus(s.SelStart >= 0 && s.SelStart < s.noteCount()
                                     ? w_.NoteGeometry.value(s.SelStart).NoteTempo
                                     : s.Tempo);
        }
    }
    w_.view().setFocusTo(kRoll);
}

}  // namespace tova
