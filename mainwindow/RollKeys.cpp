#include "mainwindow/RollKeys.h"

#include "core/Settings.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MainWindowView.h"

namespace tova {

RollKeys::RollKeys(MainWindow& window) : w_(window) {}

void RollKeys::openLyricBox() {
    qint32 note = -1;
    w_.Boxes.ShowLyricEditBox(note);
    w_.CurNote = note;
}

void RollKeys::Picture2_KeyDown(int keyCode, int shift) {
    MainWindowView& v = w_.view();
    auto run = [&v](const char* command) { v.runNamedCommand(QString::fromLatin1(command)); };
    int chosen = -1;
    if (shift == 0) {
        switch (keyCode) {
        case 13:
            if (settings().EnterLyric) openLyricBox();
            break;
        case 39: run("mnNoteNext"); break;
        case 37: run("mnNoteBack"); break;
        case 'O': run("mnOmakase"); break;
        case 'Z':
            v.setValue(QStringLiteral("chkView"), 1 - v.value(QStringLiteral("chkView")));
            w_.chkView_Click();
            break;
        case 'X': w_.mnShowCurve_Click(); break;
        case 'G':
        case 'H': {
            const int tool = keyCode == 'G' ? 0 : 1;
            if (v.enabled(QStringLiteral("optMode"), tool)) {
                v.setValue(QStringLiteral("optMode"), 1, tool);
                w_.optMode_Click(tool);
            }
            break;
        }
        case 'Y': run("mnAutoPitch"); break;
        case 'U': run("mnAutoComb"); break;
        case 'I': run("mnAutoBibrato"); break;
        case 'V':
            if (w_.CurNote >= 0) w_.ShowAliasMenu(w_.CurNote);
            break;
        case 'B': v.popupMenu(QStringLiteral("mnNoteTools"), &chosen); break;
        case 'N': v.popupMenu(QStringLiteral("mnPluginParent"), &chosen); break;
        default: break;
        }
    } else if (shift == 1) {
        if (keyCode == 13 && !settings().EnterLyric) openLyricBox();
    } else if (shift == 2) {
        switch (keyCode) {
        case 13: run("mnToneProp"); break;
        case 39: run("mnNoteLast"); break;
        case 37: run("mnNoteTop"); break;
        case 'L':
            if (w_.song.noteCount() > 0) {
                w_.song.SelEnd = w_.song.noteCount() - 1;
                w_.DrawBackground();
                w_.DrawNotes();
            }
            break;
        default: break;
        }
    }
}

void RollKeys::Picture2_DblClick() {
    if (w_.CurNote == -1) return;
    RollEditor& roll = w_.Roll;
    if (roll.CurNoteBelow) {
        MainWindowView& v = w_.view();
        if (v.value(QStringLiteral("mnShowCurve")) == 1 && v.value(QStringLiteral("chkView")) == 1)
            v.runNamedCommand(QStringLiteral("mnToneProp"));
        roll.CurNoteBelow = 0;
        return;
    }
    openLyricBox();
}

}  // namespace tova
