#pragma once

#include "song/NoteTimingSource.h"

#include <QList>

namespace tova {

// Note timing for the pitch-curve computation over the loaded voice bank: the tempo in force at a note
// from the project tempo and the notes' `tempo` options, and the notes' start times from their own
// values or the bank's oto records.
//
// The tempos of a song are worked out once, on the first question about it, so that rendering a long
// song stays linear: the notes' `tempo` options must not change while one object is in use (make one per
// render or edit).
class RenderNoteTiming : public NoteTimingSource {
public:
    explicit RenderNoteTiming(float projectTempo) : projectTempo_(projectTempo) {}

    float FindTempoAt(const NoteArrays& notes, qint32 index) const override;
    float GetNoteStartTime(float tempo, const NoteArrays& notes, qint32 index, float& preutterance, float& overlap,
                           float& stp, float* velocityFactor = nullptr) const override;

private:
    float projectTempo_;
    mutable const NoteArrays* tempoSong_ = nullptr;
    mutable QList<float> tempos_;  // tempo in force at each note of tempoSong_
};

}  // namespace tova
