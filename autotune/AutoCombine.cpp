#include "autotune/AutoCombine.h"

#include "autotune/TuningText.h"
#include "core/DefaultEnvelope.h"
#include "platform/Vb.h"
#include "song/LyricText.h"
#include "song/NoteArrays.h"
#include "song/NoteExtension.h"
#include "song/NoteTimingSource.h"

#include <algorithm>
#include <cmath>

namespace tova {

namespace {

// What a previous note without an envelope is given before its tail is set.
const QString kPrevDefaultEnvelope = QStringLiteral("0 5 0 0 100 100 100 %");

// A list holds a lyric's base when the base occurs in its text; an empty base is held by any list
// that is not empty.
bool holds(const QString& list, const QString& base) { return !list.isEmpty() && list.contains(base); }

// The second character of the lyric is a blank (a prefixed alias such as "a あ"): never joined.
bool blankSecond(const QString& lyric) { return lyric.size() >= 2 && lyric.at(1) == u' '; }

double intensityOf(const QString& field) { return field.isEmpty() ? 100.0 : Nearest(Vb::Val(field)); }

// The next note's effective pre-utterance and overlap at `tempo`; 0 for the last note.
void nextTiming(float tempo, qint32 i, const NoteArrays& notes, const NoteTimingSource& timing, float& pre,
                float& ovl) {
    pre = ovl = 0;
    float stp = 0;
    if (i < notes.lastNote()) timing.GetNoteStartTime(tempo, notes, i + 1, pre, ovl, stp);
}

// Note p's envelope tail for a joint of width `ww` ms.
void setPreviousTail(QString& ext, double ww, bool onlyWhenLonger) {
    QStringList e = EnvelopeSlots(GetNoteOption(ext, QStringLiteral("env")), kPrevDefaultEnvelope);
    if (!onlyWhenLonger || Vb::Val(e.at(8)) < ww) {
        if (Vb::Val(e.at(6)) == 0) e[6] = e.at(5);
        if (ww - Vb::Val(e.at(8)) < Vb::Val(e.at(2))) e[2] = WholeText(Vb::Int(Vb::Val(e.at(2)) - ww + Vb::Val(e.at(8))));
        e[8] = WholeText(onlyWhenLonger ? ww : Vb::Int(ww + 0.5));
    }
    SetNoteOption(ext, QStringLiteral("env"), JoinEnvelopeSlots(e));
}

void jointDialog(float prevTempo, float tempo, qint32 i, NoteArrays& notes, const NoteTimingSource& timing,
                 CombineSettings& s) {
    const qint32 p = i - 1;
    if (!s.Enabled || blankSecond(notes.Lyrics.at(i)) || i < 1 || IsRestLyric(notes.Lyrics.at(p))) return;
    const double prevInt = intensityOf(NoteExtField(notes.NoteExt.at(p), ExtIntensity));
    QStringList f = SplitNoteExt(notes.NoteExt.at(i));
    QStringList timingParts = f.at(ExtTiming).split(u':');
    while (timingParts.size() < 3) timingParts.append(QString());
    const QString velocity = timingParts.at(2);
    const float vf = Vb::IsNumeric(velocity) ? float(std::pow(2.0, 1 - Vb::Val(velocity) / 100)) : 1.0f;
    const float t1 = float(notes.Lengths.at(p) * 31.25 / prevTempo);
    float t2 = float(notes.Lengths.at(i) * 31.25 / tempo);
    float nextPre = 0, nextOvl = 0;
    nextTiming(tempo, i, notes, timing, nextPre, nextOvl);
    t2 = t2 - nextPre + nextOvl;
    double sv = -Vb::Val(s.Start);
    double w = Vb::Val(s.Width);
    if (sv > w) {
        sv = w;
        s.Start = Vb::SingleText(float(-w));
    }
    if (float(sv * vf) > t1) sv = t1 / vf;
    if (float((w - sv) * vf) > t2) w = t2 / vf + sv;
    timingParts[0] = WholeText(Vb::Int(sv));
    timingParts[1] = WholeText(Vb::Int(w));
    f[ExtTiming] = timingParts.mid(0, 3).join(u':');
    QStringList env = EnvelopeSlots(GetPropValue(f.at(ExtOptions), QStringLiteral("env")), DefaultEnvelope());
    env[0] = WholeText(Vb::Int(vf * w + 0.5));
    env[3] = QStringLiteral("100");
    SetPropValue(f[ExtOptions], QStringLiteral("env"), JoinEnvelopeSlots(env));
    if (s.VolNext) {
        const double r = std::clamp(Vb::Val(s.Per), 0.0, 2.0);
        const double vol = std::clamp(Vb::Int(r * prevInt + 0.5), 0.0, 200.0);
        f[ExtIntensity] = WholeText(vol);
    }
    notes.NoteExt[i] = JoinNoteExt(f);
    setPreviousTail(notes.NoteExt[p], float(Vb::Val(s.Width) * vf), false);
}

void typeOneEnvelope(float prevTempo, float tempo, qint32 i, NoteArrays& notes, const NoteTimingSource& timing,
                     const CombineSettings& s) {
    float nextPre = 0, nextOvl = 0;
    nextTiming(tempo, i, notes, timing, nextPre, nextOvl);
    if (!s.Env1) return;
    QStringList f = SplitNoteExt(notes.NoteExt.at(i));
    float pre = 0, ovl = 0, stp = 0;
    timing.GetNoteStartTime(prevTempo, notes, i, pre, ovl, stp);
    QStringList env = EnvelopeSlots(GetPropValue(f.at(ExtOptions), QStringLiteral("env")), DefaultEnvelope());
    const float L = float(notes.Lengths.at(i) * 31.25 / tempo) - nextPre + nextOvl;
    env[0] = QStringLiteral("5");
    env[1] = pre > 5 ? Vb::SingleText(pre - 5) : QStringLiteral("0");
    env[2] = float(L - pre) < 35 ? WholeText(Vb::Fix(Nearest(L - pre) / 2)) : QStringLiteral("35");
    env[3] = Vb::DoubleText(Vb::Val(s.E1st));
    env[4] = Vb::DoubleText(Vb::Val(s.E1top));
    env[5] = Vb::DoubleText(Vb::Val(s.E1mid));
    SetPropValue(f[ExtOptions], QStringLiteral("env"), JoinEnvelopeSlots(env));
    notes.NoteExt[i] = JoinNoteExt(f);
}

void otherEnvelope(float prevTempo, float tempo, qint32 i, NoteArrays& notes, const NoteTimingSource& timing,
                   const CombineSettings& s) {
    if (!s.EnvOther) return;
    float nextPre = 0, nextOvl = 0;
    nextTiming(tempo, i, notes, timing, nextPre, nextOvl);
    float pre = 0, ovl = 0, stp = 0;
    timing.GetNoteStartTime(prevTempo, notes, i, pre, ovl, stp);
    const float L = float(notes.Lengths.at(i) * 31.25 / tempo) - nextPre + nextOvl;
    QStringList f = SplitNoteExt(notes.NoteExt.at(i));
    QStringList env = EnvelopeSlots(GetPropValue(f.at(ExtOptions), QStringLiteral("env")), DefaultEnvelope());
    env[0] = Vb::SingleText(pre);
    env[1] = L > 280 ? QStringLiteral("70") : WholeText(Vb::Fix(Nearest(L) / 4));
    env[3] = Vb::DoubleText(Vb::Val(s.EOtop));
    env[4] = Vb::DoubleText(Vb::Val(s.EOmid));
    env[5] = Vb::DoubleText(Vb::Val(s.EObtm));
    SetPropValue(f[ExtOptions], QStringLiteral("env"), JoinEnvelopeSlots(env));
    notes.NoteExt[i] = JoinNoteExt(f);
}

}  // namespace

void ApplyAutoCombine(float prevTempo, float tempo, qint32 i, NoteArrays& notes, const NoteTimingSource& timing,
                      CombineSettings& s) {
    if (i < 0 || i > notes.lastNote()) return;
    const QString lyric = notes.Lyrics.at(i);
    const QString base = GetLyricBase(lyric);
    if (holds(s.Targets, base)) {
        jointDialog(prevTempo, tempo, i, notes, timing, s);
    } else if (holds(s.Target2, base) && !TrimBlanks(lyric).isEmpty()) {
        typeOneEnvelope(prevTempo, tempo, i, notes, timing, s);
    } else {
        otherEnvelope(prevTempo, tempo, i, notes, timing, s);
    }
}

void ReadCombineOptions(const bool vowels[6], const QString& others, int strength, OmakaseCombineSettings& s) {
    static const char16_t* captions[] = {u"あ", u"い", u"う", u"え", u"お", u"ん"};
    s.Targets.clear();
    for (int k = 0; k < 6; ++k)
        if (vowels[k]) s.Targets += QString::fromUtf16(captions[k]) + QLatin1Char(',');
    s.Targets += others;
    switch (strength) {
    case 0: s.Start = -75, s.Width = 150, s.Rate = 0.95f; break;
    case 1: s.Start = -50, s.Width = 100, s.Rate = 0.97f; break;
    case 2: s.Start = -25, s.Width = 50, s.Rate = 0.99f; break;
    default: break;
    }
}

void ApplyOmakaseCombine(float prevTempo, float tempo, qint32 i, NoteArrays& notes, const NoteTimingSource& timing,
                         const OmakaseCombineSettings& s) {
    Q_UNUSED(timing);
    if (i < 1 || i > notes.lastNote()) return;
    const qint32 p = i - 1;
    const QString lyric = notes.Lyrics.at(i);
    const QString base = GetLyricBase(lyric);
    if (base.isEmpty() || !holds(s.Targets, base) || blankSecond(lyric) || IsExactRest(notes.Lyrics.at(p))) return;
    const float t1 = float(notes.Lengths.at(p) * 31.25 / prevTempo);
    const float t2 = float(notes.Lengths.at(i) * 31.25 / tempo);
    const double start = Nearest(float(t1 / 2) < -s.Start ? -Vb::Int(t1 / 2.0) : double(s.Start));
    const double pre = -start;
    const double width =
        Nearest(float(t2 / 2) < s.Width + s.Start ? Vb::Int(t2 / 2.0) - double(s.Start) : double(s.Width));
    QStringList f = SplitNoteExt(notes.NoteExt.at(i));
    QStringList timingParts = f.at(ExtTiming).split(u':');
    while (timingParts.size() < 3) timingParts.append(QString());
    const QString velocity = timingParts.at(2);
    const float vf = velocity.isEmpty() ? 1.0f : float(std::pow(2.0, 1 - Vb::Val(velocity) / 100));
    f[ExtTiming] = WholeText(pre) + QLatin1Char(':') + WholeText(width) + QLatin1Char(':') + velocity;
    QStringList env = EnvelopeSlots(GetPropValue(f.at(ExtOptions), QStringLiteral("env")), DefaultEnvelope());
    const double ww = Vb::Int(vf * width + 0.5);
    env[0] = WholeText(ww);
    env[1] = QStringLiteral("0");
    env[3] = QStringLiteral("100");
    SetPropValue(f[ExtOptions], QStringLiteral("env"), JoinEnvelopeSlots(env));
    // The rate is taken from its text, so that 100 x 0.95 is 95 and not 94.99... cut to 94.
    const double curInt = intensityOf(f.at(ExtIntensity));
    const bool nextJoins = i < notes.lastNote() && holds(s.Targets, GetLyricBase(notes.Lyrics.at(i + 1)));
    f[ExtIntensity] = WholeText(nextJoins ? curInt : Vb::Int(curInt * Vb::Val(Vb::SingleText(s.Rate))));
    notes.NoteExt[i] = JoinNoteExt(f);
    setPreviousTail(notes.NoteExt[p], ww, true);
}

}  // namespace tova
