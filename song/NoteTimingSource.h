#pragma once

#include "song/NoteArrays.h"

#include <QString>

namespace tova {

// What the pitch-curve computation needs of the voice lookup: the tempo in force at a note and where a
// note's sample starts against the note. The render subsystem implements it over the loaded voice bank
// and the project tempo.
class NoteTimingSource {
public:
    virtual ~NoteTimingSource() = default;

    // The tempo (beats per minute) in force at note `index`: the project tempo, replaced by the `tempo`
    // options of the notes up to and including it.
    virtual float FindTempoAt(const NoteArrays& notes, qint32 index) const = 0;

    // The effective pre-utterance, overlap and start point (ms) of note `index`, scaled by the note's
    // consonant velocity factor and shrunk to fit the previous note at `tempo` (the tempo in force at the
    // previous note). Returns how much the pre-utterance was shortened; `velocityFactor`, when given,
    // receives the consonant velocity factor.
    virtual float GetNoteStartTime(float tempo, const NoteArrays& notes, qint32 index, float& preutterance,
                                   float& overlap, float& stp, float* velocityFactor = nullptr) const = 0;
};

}  // namespace tova
