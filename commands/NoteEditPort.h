#pragma once

#include <QString>

#include <cstdint>

namespace tova {

class EditContext;

// The note-editing commands that the main window's menus and the song model hand on: the lyric of a note
// and the choice of an alias candidate.
class NoteEditPort {
public:
    virtual ~NoteEditPort() = default;
    // Gives note `index` the lyric `text` with the sample's timing (see SongHost::ApplyLyricText).
    virtual void ApplyLyricText(EditContext& window, qint32 index, const QString& text) = 0;
    // The alias candidate `index` of the pop-up menu was chosen for the current note.
    virtual void mnW0_Click(EditContext& window, int index) = 0;
};

}  // namespace tova
