#pragma once

#include "commands/NoteEditPort.h"

namespace tova {

// The program's note editing: the lyric of a note with its sample's timing, and the alias candidate
// chosen in the note's pop-up menu.
class ProgramNoteEdit : public NoteEditPort {
public:
    void ApplyLyricText(EditContext& window, qint32 index, const QString& text) override;
    // Gives the current note the caption of pop-up entry `index` as its lyric, as one undo step
    // ("歌詞の変更") recorded only when the note changed.
    void mnW0_Click(EditContext& window, int index) override;
};

}  // namespace tova
