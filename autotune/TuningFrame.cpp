#include "autotune/TuningFrame.h"

#include "autotune/TuningText.h"
#include "song/NoteArrays.h"

#include <algorithm>

namespace tova {

void RunTwoTempoLoop(float tempo, qint32 first, qint32 last, const NoteArrays& notes,
                     const std::function<void(float, float, qint32)>& pass) {
    float previous = tempo, current = tempo;
    const qint32 end = std::min(last, notes.lastNote());
    for (qint32 i = std::max(first, 0); i <= end; ++i) {
        OwnTempo(notes, i, current);
        pass(previous, current, i);
        previous = current;
    }
}

void RunPitchLoop(float tempo, qint32 first, qint32 last, const NoteArrays& notes,
                  const std::function<void(float, float, float, qint32)>& pass) {
    const qint32 f = std::max(first, 1);
    const qint32 end = std::min(last, notes.lastNote());
    float twoBack = tempo, previous = tempo;
    OwnTempo(notes, f - 1, previous);
    float current = previous;
    for (qint32 i = f; i <= end; ++i) {
        OwnTempo(notes, i, current);
        pass(twoBack, previous, current, i);
        twoBack = previous;
        previous = current;
    }
}

void RunRestoringOnFailure(NoteArrays& notes, const std::function<void()>& passes) {
    const NoteArrays before = notes;
    try {
        passes();
    } catch (...) {
        notes = before;
        throw;
    }
}

}  // namespace tova
