#include "mainwindow/ProgramNoteEdit.h"

#include "commands/CommandFrame.h"
#include "commands/EditContext.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MainWindowView.h"
#include "song/FreeText.h"

namespace tova {

void ProgramNoteEdit::ApplyLyricText(EditContext& window, qint32 index, const QString& text) {
    MainWindow::of(window).ApplyLyricText(index, text);
}

void ProgramNoteEdit::mnW0_Click(EditContext& window, int index) {
    MainWindow& w = MainWindow::of(window);
    Song& s = w.song;
    const qint32 note = w.CurNote;
    if (note < 0 || note >= s.noteCount()) return;
    // The entry is an alias, or the path of a sub-folder sample ("A3\na"): it becomes the lyric as a
    // typed one does, so that it reads back the same from the saved song.
    const QString alias = SafeFreeText(w.view().text(QStringLiteral("mnW0"), index), FreeTextUse::Lyric);
    RunEditCommand(window, [&] {
        window.beginPropUndo(note, note, QStringLiteral("歌詞の変更"));
        s.Lyrics[note] = alias;
        window.endPropUndo(false);
    });
    w.DrawBackground();
    w.DrawNotes();
}

}  // namespace tova
