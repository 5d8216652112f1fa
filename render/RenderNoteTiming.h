#pragma once

#include "song/NoteTimingSource.h"

namespace tova {

// Note timing for the pitch-curve computation over the loaded voice bank: the tempo in force at a note
// from the project tempo and the notes' `tempo` options, and the notes' start times from their own
// values or the bank's oto records.
class RenderNoteTiming : public NoteTimingSource {
public:
    explicit RenderNoteTiming(float projectTempo) : projectTempo_(projectTempo) {}

    float FindTempoAt(const NoteArrays& notes, qint32 index) const override;
    float GetNoteStartTime(float tempo, const NoteArrays& notes, qint32 index, float& preutterance, float& overlap,
                           float& stp, float* velocityFactor = nullptr) const override;

private:
    float projectTempo_;
};

}  // namespace tova
