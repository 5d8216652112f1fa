#include "render/NoteTiming.h"

#include "platform/Vb.h"
#include "render/AliasLookup.h"
#include "song/NoteExtension.h"

#include <cmath>

namespace tova {

float GetNoteOtoTiming(const QString& ext, int32_t noteNum, const QString& lyric, float& preutterance,
                       float& overlap) {
    double velocity = 100;
    if (IsRestLyric(lyric)) {
        preutterance = 0;
        overlap = 0;
    } else {
        QStringList timing = NoteExtField(ext, ExtTiming).split(u':');
        timing.resize(std::max<qsizetype>(timing.size(), 3));
        const QString& preText = timing[0];
        const QString& overlapText = timing[1];
        if (preText.isEmpty() || overlapText.isEmpty()) LookupNoteOto(noteNum, lyric, preutterance, overlap);
        if (!preText.isEmpty()) preutterance = float(Vb::Val(preText));
        if (!overlapText.isEmpty()) overlap = float(Vb::Val(overlapText));
        if (!timing[2].isEmpty()) velocity = Vb::Val(timing[2]);
    }
    const double factor = std::pow(2.0, 1.0 - velocity * 0.01);
    preutterance = float(preutterance * factor);
    overlap = float(overlap * factor);
    return float(factor);
}

float AdjustPreutterance(float prevLength, float& preutterance, float& overlap, float& shift, bool prevIsRest) {
    const float limit = prevIsRest ? prevLength : prevLength * 0.5f;
    const float d = preutterance - overlap;
    if (!(d > limit)) return 0;
    const float r = limit / d;
    const float newPre = r * preutterance;
    const float reduction = preutterance - newPre;
    shift = shift + reduction;
    preutterance = newPre;
    overlap = r * overlap;
    return reduction;
}

float GetNoteStartTime(float tempo, const QList<qint32>& noteNums, const QList<qint32>& lengths,
                       const QStringList& lyrics, const QStringList& noteExt, qint32 i, float& preutterance,
                       float& overlap, float& stp, float* velocityFactor) {
    const QString ext = noteExt.value(i);
    const float factor = GetNoteOtoTiming(ext, noteNums.value(i), lyrics.value(i), preutterance, overlap);
    stp = float(Vb::Val(GetNoteOption(ext, QStringLiteral("stp"))) * factor);
    const float p0 = preutterance;
    if (i >= 1 && preutterance > overlap) {
        const float lp = float(lengths.value(i - 1) * 31.25 / tempo);
        const float room = IsRestLyric(lyrics.value(i - 1)) ? lp : lp * 0.5f;
        const float d = preutterance - overlap;
        if (d > room) {
            const float s = room / d;
            preutterance = preutterance * s;
            overlap = overlap * s;
            stp = stp + p0 - preutterance;
        }
    }
    if (velocityFactor) *velocityFactor = factor;
    return p0 - preutterance;
}

float GetNoteStartTime(float tempo, const NoteArrays& notes, qint32 i, float& preutterance, float& overlap,
                       float& stp, float* velocityFactor) {
    return GetNoteStartTime(tempo, notes.NoteNums, notes.Lengths, notes.Lyrics, notes.NoteExt, i, preutterance,
                            overlap, stp, velocityFactor);
}

}  // namespace tova
