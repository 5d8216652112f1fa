#pragma once

#include "platform/Vb.h"
#include "song/NoteArrays.h"
#include "song/NoteExtension.h"
#include "song/NoteTimingSource.h"

#include <QList>

#include <cmath>

namespace tova::test {

// Note timing without a voice bank: pre-utterance and overlap are the note's own values (field 0),
// scaled by the velocity factor; the start point is the `stp` option, scaled likewise; nothing is
// fitted to the previous note. The tempo at a note follows the `tempo` options from `projectTempo`.
// Records the tempo each start time was asked with.
class FakeNoteTiming : public NoteTimingSource {
public:
    float projectTempo = 120;
    mutable QList<QPair<qint32, float>> startTimeCalls;  // (note, tempo)

    float FindTempoAt(const NoteArrays& notes, qint32 index) const override {
        float tempo = projectTempo;
        if (index > notes.lastNote()) return tempo;
        for (qint32 n = 0; n <= index; ++n) {
            const QString t = GetNoteOption(notes.NoteExt.at(n), QStringLiteral("tempo"));
            if (!t.isEmpty()) tempo = float(Vb::Val(t));
        }
        return tempo;
    }

    float GetNoteStartTime(float tempo, const NoteArrays& notes, qint32 index, float& pre, float& ovl, float& stp,
                           float* velocityFactor = nullptr) const override {
        startTimeCalls.append({index, tempo});
        const QStringList parts = NoteExtField(notes.NoteExt.at(index), ExtTiming).split(u':');
        const QString vel = parts.value(2);
        const double factor = std::pow(2.0, 1.0 - (vel.isEmpty() ? 100.0 : Vb::Val(vel)) / 100.0);
        if (IsRestLyric(notes.Lyrics.at(index))) {
            pre = ovl = 0;
        } else {
            pre = float(Vb::Val(parts.value(0)) * factor);
            ovl = float(Vb::Val(parts.value(1)) * factor);
        }
        stp = float(Vb::Val(GetNoteOption(notes.NoteExt.at(index), QStringLiteral("stp"))) * factor);
        if (velocityFactor) *velocityFactor = float(factor);
        return 0;
    }
};

}  // namespace tova::test
