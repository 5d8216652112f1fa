#include "render/RenderNoteTiming.h"

#include "render/NoteRenderParams.h"
#include "render/NoteTiming.h"

namespace tova {

float RenderNoteTiming::FindTempoAt(const NoteArrays& notes, qint32 index) const {
    if (index < 0 || index > notes.lastNote()) return projectTempo_;
    if (tempoSong_ != &notes || tempos_.size() != notes.noteCount()) {
        // Note by note: each note's own tempo replaces the one in force before it.
        tempos_.resize(notes.noteCount());
        float tempo = projectTempo_;
        tova::FindTempoAt(notes, projectTempo_, 0, tempo);
        tempos_[0] = tempo;
        for (qint32 i = 1; i < notes.noteCount(); ++i) {
            GetNoteTempo(notes, i, tempo);
            tempos_[i] = tempo;
        }
        tempoSong_ = &notes;
    }
    return tempos_.at(index);
}

float RenderNoteTiming::GetNoteStartTime(float tempo, const NoteArrays& notes, qint32 index, float& preutterance,
                                         float& overlap, float& stp, float* velocityFactor) const {
    return tova::GetNoteStartTime(tempo, notes, index, preutterance, overlap, stp, velocityFactor);
}

}  // namespace tova
