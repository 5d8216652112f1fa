#pragma once

#include "song/NoteArrays.h"

#include <QtGlobal>

#include <functional>
#include <optional>

namespace tova {

// Follows an external MIDI sequencer: a MIDI clock count or a time code names a position in the song,
// and the note sounding there is selected. The walk resumes at the note found last and restarts from
// the first note only when the position moves backwards, so each clock costs little.
//
// Right after start the state names note 0, so a position inside note 0 selects nothing until another
// note has been found.
class MidiFollower {
public:
    qint32 SyncNoteIndex = 0;      // note found by the last call; -1 = none
    qint32 SyncNoteStartTick = 0;  // start tick of the last note the walk passed (clock following)
    qint32 SyncNoteStartMs = 0;    // start time of that note in ms (time-code following)

    // MIDI clock: 24 clocks a beat, so the position is count * 80 ticks. Returns the note to select
    // (found and different from the note found before), nullopt otherwise.
    std::optional<qint32> midiPlay(qint32 clockCount, const NoteArrays& notes);

    // Time code: the position in milliseconds. `tempoAt` gives the tempo in force at a note; each
    // note's own `tempo` option replaces the running tempo on the way. `first` (0 when the caller has
    // none yet) and `last` receive the note found. Returns the note to select, as above.
    std::optional<qint32> getPlayNotes(qint32& first, qint32& last, qint32 timeMs, const NoteArrays& notes,
                                       const std::function<float(qint32)>& tempoAt);
};

}  // namespace tova
