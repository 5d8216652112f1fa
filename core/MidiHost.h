#pragma once

#include <QString>

#include <cstdint>

namespace tova {

// What MIDI input asks of the main window. The main window implements it and registers itself with
// `SetMidiHost` (core/Midi.h).
class MidiHost {
public:
    virtual ~MidiHost() = default;
    // Plays the key-preview tone of a note (internal note number: MIDI note number - 24), at once.
    virtual void PlayToneSample(int16_t noteNum) = 0;
    // Enters a note with that lyric and internal note number at the input position as one undo
    // step. MIDI input passes length 0 (the default note length) and no replacing.
    virtual void InsertLyricsFromList(QString& lyric, int32_t& noteNum, int32_t& length, bool replace) = 0;
    // Moves the play cursor to `count` MIDI clocks (24 per quarter note) after the last song
    // position and selects the note there.
    virtual void UpdatePlayCursor(int32_t& count) = 0;
    // Finds and selects the note at `timeMs` milliseconds from the song's start. MIDI input passes
    // `first` and `last` as 0.
    virtual void LocateTimeInNotes(int32_t& first, int32_t& last, int32_t& timeMs) = 0;
};

}  // namespace tova
