#include "autotune/AutoVibrato.h"

#include "autotune/TuningText.h"
#include "platform/Vb.h"
#include "song/NoteArrays.h"
#include "song/PitchCurves.h"
#include "song/NoteExtension.h"
#include "song/NoteTimingSource.h"

#include <cmath>

namespace tova {

void ApplyAutoVibrato(float prevTempo, float tempo, qint32 i, NoteArrays& notes, const NoteTimingSource& timing,
                      const VibratoSettings& s) {
    if (i < 0 || i > notes.lastNote()) return;
    // 1. threshold (dialog)
    if (!s.OneClick && s.Limit * 4 > notes.Lengths.at(i)) return;
    // 2. random phase (one-click), drawn for every note
    double phase = 0;
    if (s.OneClick && s.Random) phase = s.Random() * 8 * std::atan(1.0);
    // 3. - 6.
    const float step = PitchStepMs(tempo);
    float preN = 0, ovlN = 0, stpN = 0, preI = 0, ovlI = 0, stpI = 0;
    if (i + 1 <= notes.lastNote()) timing.GetNoteStartTime(tempo, notes, i + 1, preN, ovlN, stpN);
    timing.GetNoteStartTime(prevTempo, notes, i, preI, ovlI, stpI);
    const float lenMs = float(notes.Lengths.at(i) * 31.25 / tempo);
    // 7. - 9.
    QStringList f = SplitNoteExt(notes.NoteExt.at(i));
    QStringList P = f.at(ExtPitches).isEmpty() ? QStringList() : f.at(ExtPitches).split(u' ');
    const float noteMs = lenMs + preI - preN + ovlN;
    const double cycle = s.Cycle == 0 ? 200.0 : s.Cycle;
    const double pi = 4 * std::atan(1.0);
    const double w = 2 * pi * step / cycle;
    const double offset = s.OneClick ? 0.0 : s.UpDownRate / 10.0;
    // 10. rests
    if (IsExactRest(notes.Lyrics.at(i))) return;
    // 11. cover the sound with points
    qint32 n = qint32(P.size()) - 1;
    if (step * float(n) < noteMs) {
        n = qint32(std::fmin(Nearest(double(noteMs) / step + 1), 1e7));
        while (P.size() < n + 1) P.append(QString());
        n = qint32(P.size()) - 1;
    }
    // 12. - 14.
    const float stable = noteMs - ovlI - ovlN;
    const float start = float((1 - s.Share / 100) * stable);
    const float vibLen = float(stable * s.Share / 100);
    if (s.OneClick ? 2 * double(vibLen) < cycle : vibLen <= 100) return;
    const double fade = vibLen < 400 ? Nearest(vibLen / 2.0) : 200.0;
    // 15. the points
    const bool add = s.OneClick || s.Ride;
    for (qint32 j = 0; j <= n; ++j) {
        const float t = step * float(j);
        if (t < ovlI + start || t > noteMs - ovlN) {
            if (P.at(j).isEmpty()) P[j] = QStringLiteral("0");
            continue;
        }
        double e = 1;
        if (t <= ovlI + start + fade) {
            e = (t - ovlI - start) / fade;
        } else if (t >= noteMs - ovlN - fade) {
            e = (noteMs - ovlN - t) / fade;
        }
        const double sine = std::sin(w * j - phase);
        const double v = add ? Vb::Int(Vb::Val(P.at(j)) + (offset + sine) * s.Depth * e + 0.5)
                             : Vb::Int((sine + offset) * s.Depth * e + 0.5);
        P[j] = WholeText(v);
    }
    // 16. - 17.
    P[0] = StampedFirstPoint(P.at(0), tempo);
    f[ExtPitches] = P.join(u' ');
    QString ext = JoinNoteExt(f);
    // 18. the vibrato's parameters
    const QString fadePercent = WholeText(Vb::Int(fade / vibLen * 100));
    const QStringList vbr{Vb::DoubleText(s.Share),
                          Vb::DoubleText(cycle),
                          Vb::DoubleText(s.Depth),
                          fadePercent,
                          fadePercent,
                          s.OneClick ? Vb::DoubleText(phase * 15.9154943091895) : QStringLiteral("50"),
                          s.OneClick ? QStringLiteral("0") : QString::number(s.UpDownRate * 10),
                          QStringLiteral("0")};
    SetNoteOption(ext, QStringLiteral("VBR"), vbr.join(u' '));
    notes.NoteExt[i] = ext;
}

void ReadVibratoOptions(const OmakaseVibratoChoice& c, VibratoSettings& s) {
    static const double lengths[] = {33, 50, 66, 75, 95};
    static const double cycles[] = {130, 170, 222, 291};
    static const double depths[] = {10, 20, 50, 70};
    if (c.length >= 0 && c.length < 5) s.Share = lengths[c.length];
    if (c.speed >= 0 && c.speed < 4) s.Cycle = cycles[c.speed];
    if (c.depth >= 0 && c.depth < 4) s.Depth = depths[c.depth];
    s.OneClick = true;
    s.Ride = true;
}

}  // namespace tova
