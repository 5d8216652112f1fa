#pragma once

#include <QString>

#include <cstdint>

namespace tova {

class EditContext;

// The note-editing commands that the main window's menus, MIDI input and the song model hand on: the
// lyric of a note, the choice of an alias candidate, notes entered from MIDI and the key preview tone.
class NoteEditPort {
public:
    virtual ~NoteEditPort() = default;
    // Gives note `index` the lyric `text` with the sample's timing (see SongHost::ApplyLyricText).
    virtual void ApplyLyricText(EditContext& window, qint32 index, const QString& text) = 0;
    // The alias candidate `index` of the pop-up menu was chosen for the current note.
    virtual void mnW0_Click(EditContext& window, int index) = 0;
    // Enters a note with that lyric and internal note number at the input position as one undo step.
    virtual void InsertLyricsFromList(EditContext& window, QString& lyric, int32_t& noteNum, int32_t& length,
                                      bool replace) = 0;
    // Plays the key-preview tone of a note.
    virtual void PlayToneSample(EditContext& window, int16_t noteNum) = 0;
};

}  // namespace tova
