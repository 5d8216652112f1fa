#include "render/RenderNoteTiming.h"

#include "render/NoteRenderParams.h"
#include "render/NoteTiming.h"

namespace tova {

float RenderNoteTiming::FindTempoAt(const NoteArrays& notes, qint32 index) const {
    float tempo = projectTempo_;
    tova::FindTempoAt(notes, projectTempo_, index, tempo);
    return tempo;
}

float RenderNoteTiming::GetNoteStartTime(float tempo, const NoteArrays& notes, qint32 index, float& preutterance,
                                         float& overlap, float& stp, float* velocityFactor) const {
    return tova::GetNoteStartTime(tempo, notes, index, preutterance, overlap, stp, velocityFactor);
}

}  // namespace tova
