#include "song/PitchCurves.h"

#include "platform/Vb.h"
#include "song/NoteExtension.h"
#include "song/NoteTimingSource.h"

#include <algorithm>
#include <cmath>

namespace tova {

namespace {

// Blank-separated fields as the classic split gives them: the empty text has no field, and two blanks
// in a row make an empty field.
QStringList splitFields(const QString& text, QChar separator = u' ') {
    if (text.isEmpty()) return {};
    return text.split(separator);
}

double val(const QString& text) { return Vb::Val(text); }

// A number as the lists write it; never "-0". Whole numbers (nearly every entry) take the short way.
QString numText(double v) {
    if (v == std::floor(v) && std::fabs(v) < 1e15) return QString::number(qint64(v));
    return Vb::DoubleText(v + 0.0);
}

// A note's length in ms at a tempo (1920 internal ticks a beat).
double lengthMs(qint32 ticks, float tempo) { return double(ticks) * 31.25 / double(tempo); }

// Entry 0 of a list: its number, "Q" and the tempo.
QString tempoEntry(const QString& entry, float tempo) {
    return numText(val(entry)) + u'Q' + Vb::SingleText(tempo);
}

// One note's mode-2 curve on the time axis of the note being computed.
struct Mode2Curve {
    bool present = false;
    QStringList widths, heights, shapes;  // heights and shapes padded to the widths
    double offset = 0;                    // added to every point height (cents)
    double startHeight = 0;               // value at the start of segment 0 (cents)
    double x = 0;                         // start of the current segment (ms)
    qsizetype index = 0;                  // current segment; == count once past the last one
    double width = 0;                     // width of the current segment (ms)

    qsizetype count() const { return widths.size(); }
    double widthAt(qsizetype j) const { return j < count() ? val(widths.at(j)) : 0.0; }
    double heightAt(qsizetype j) const { return val(heights.at(j)) * 10.0 + offset; }

    // Reads a note's four options.
    void read(const QString& ext) {
        present = true;
        widths = splitFields(GetNoteOption(ext, QStringLiteral("PBW")));
        heights = splitFields(GetNoteOption(ext, QStringLiteral("PBY")));
        shapes = splitFields(GetNoteOption(ext, QStringLiteral("PBM")));
        heights.resize(widths.size());
        shapes.resize(widths.size());
    }

    // Places the curve at `start`, skips the segments that end before t = 0 and fixes the current width.
    void place(double start) {
        x = start;
        index = 0;
        while (index < count() && x + widthAt(index) < 0) {
            x += widthAt(index);
            ++index;
        }
        width = widthAt(index);
        if (width <= 0) width = 0.01;
    }

    enum Where { Before, Within, Gap, Ended };

    // Where t lies, after moving on at most one segment. `Gap` is the guard width of a curve without a
    // segment left: nothing is written there.
    Where locate(double t) {
        if (t < x) return Before;
        if (x + width < t && index + 1 < count()) {
            x += width;
            ++index;
            width = widthAt(index);
        }
        if (x + width >= t) return index < count() ? Within : Gap;
        return Ended;
    }
    bool pastLast() const { return index + 1 >= count(); }

    // The curve's value at t within the current segment.
    double valueAt(double t) const {
        static const float pi = float(4.0 * std::atan(1.0));
        static const float halfPi = pi / 2;
        const double a = index == 0 ? startHeight : heightAt(index - 1);
        const double b = heightAt(index);
        // A later segment of no width is already complete where it starts.
        if (width <= 0) return b;
        const double u = (t - x) / width;
        const QString& shape = shapes.at(index);
        double g;
        if (shape == u"s")
            g = u;
        else if (shape == u"r")
            g = std::sin(u * double(halfPi));
        else if (shape == u"j")
            g = 1.0 - std::cos(u * double(halfPi));
        else
            g = (1.0 - std::cos(u * double(pi))) / 2.0;
        return a + (b - a) * g;
    }
};

// Start height of a note's own curve (cents, relative to the note): 0 for the first note; after a rest
// the `PBS` y (when the curve starts before the pre-utterance); otherwise the previous note's pitch.
double ownStartHeight(const NoteArrays& notes, qint32 n, float pre) {
    if (n == 0) return 0;
    if (IsRestLyric(notes.Lyrics.at(n - 1))) {
        const QStringList pbs = splitFields(GetNoteOption(notes.NoteExt.at(n), QStringLiteral("PBS")), u';');
        const double x = pbs.size() > 0 ? val(pbs.at(0)) : 0.0;
        const double y = pbs.size() > 1 ? val(pbs.at(1)) : 0.0;
        return x < double(pre) ? y * 10.0 : 0.0;
    }
    return double(notes.NoteNums.at(n - 1) - notes.NoteNums.at(n)) * 100.0;
}

double pbsX(const QString& ext) {
    const QStringList pbs = splitFields(GetNoteOption(ext, QStringLiteral("PBS")), u';');
    return pbs.isEmpty() ? 0.0 : val(pbs.at(0));
}

void addTo(QString& entry, double amount) { entry = numText(val(entry) + amount); }

}  // namespace

float PitchStepMs(float tempo) {
    // At least one sample: a tempo from a damaged file (above about 55,000) would otherwise make the
    // step zero and every division by it fail.
    const double samples = std::max(Vb::Int(60.0 / 96.0 / double(tempo) * 44100.0 + 0.5), 1.0);
    return float(samples / 44100.0 * 1000.0);
}

QStringList MakeMode2Pitches(float tempo, float tempoPrev, float tempoPrev2, qint32 i, NoteArrays& notes,
                             const NoteTimingSource& timing) {
    const float step = PitchStepMs(tempo);
    if (IsRestLyric(notes.Lyrics.at(i))) return {};

    // This note.
    Mode2Curve own;
    own.read(notes.NoteExt.at(i));
    const double len = lengthMs(notes.Lengths.at(i), tempo);
    float pre = 0, ovl = 0, stp = 0;
    timing.GetNoteStartTime(tempoPrev, notes, i, pre, ovl, stp);
    own.startHeight = ownStartHeight(notes, i, pre);
    const double noteStart = double(pre) + double(stp);
    own.place(noteStart + pbsX(notes.NoteExt.at(i)));

    // What is left of the previous sung note's curve (heights relative to that note).
    Mode2Curve prev;
    if (i >= 1 && !IsRestLyric(notes.Lyrics.at(i - 1))) {
        prev.read(notes.NoteExt.at(i - 1));
        const double lenPrev = lengthMs(notes.Lengths.at(i - 1), tempoPrev);
        float preP = 0, ovlP = 0, stpP = 0;
        timing.GetNoteStartTime(tempoPrev2, notes, i - 1, preP, ovlP, stpP);
        prev.startHeight = ownStartHeight(notes, i - 1, preP);
        prev.place(noteStart - lenPrev + pbsX(notes.NoteExt.at(i - 1)));
    }

    // The beginning of the next sung note's curve, converted to this note's pitch.
    Mode2Curve next;
    float preNext = 0, ovlNext = 0;
    if (i + 1 < notes.noteCount() && !IsRestLyric(notes.Lyrics.at(i + 1))) {
        next.read(notes.NoteExt.at(i + 1));
        float stpNext = 0;
        timing.GetNoteStartTime(tempo, notes, i + 1, preNext, ovlNext, stpNext);
        next.offset = double(notes.NoteNums.at(i + 1) - notes.NoteNums.at(i)) * 100.0;
        next.startHeight = 0;
        next.place(noteStart + len + pbsX(notes.NoteExt.at(i + 1)));
    }

    // Only what the renderer can use.
    const double total = std::min(len + double(stp) + double(pre) - double(preNext) + double(ovlNext), MaxRenderedNoteMs);
    const qint64 last = qint64(Vb::Int(total / double(step) + 0.5)) + 1;
    QStringList list(qsizetype(std::max<qint64>(last, 0) + 1));

    for (qint64 k = 0; k <= last && double(k - 1) * double(step) <= total; ++k) {
        const double t = double(step) * double(k);
        QString& entry = list[k];

        switch (own.locate(t)) {
        case Mode2Curve::Before: entry = numText(own.startHeight); break;
        case Mode2Curve::Within: entry = numText(std::floor(own.valueAt(t))); break;
        default: break;  // after the curve nothing is written
        }

        if (prev.present) {
            switch (prev.locate(t)) {
            case Mode2Curve::Before: addTo(entry, prev.startHeight); break;
            case Mode2Curve::Within: addTo(entry, std::floor(prev.valueAt(t))); break;
            default: break;
            }
        }

        if (next.present) {
            switch (next.locate(t)) {
            case Mode2Curve::Within: addTo(entry, std::floor(next.valueAt(t))); break;
            case Mode2Curve::Ended:
                if (next.pastLast()) addTo(entry, next.offset);
                break;
            default: break;
            }
        }
    }

    list[0] = tempoEntry(list.at(0), tempo);
    SetNoteOption(notes.NoteExt[i], QStringLiteral("pitches"), list.join(u' '));
    return list;
}

void ApplyPitchAndVibrato(float tempo, float tempoPrev, qint32 k, NoteArrays& notes, const NoteTimingSource& timing,
                          const QString& mode) {
    if (IsRestLyric(notes.Lyrics.at(k))) return;
    const double step = PitchStepMs(tempo);
    const bool reset = mode == VibratoMode::Reset;
    const bool adding = mode == VibratoMode::Override || mode == VibratoMode::ThisOnly || mode == VibratoMode::NextOnly;

    // The next note: its tempo, step, timing, pitch list and lead-in count.
    const bool hasNext = k + 1 < notes.noteCount();
    float tempoNext = tempo;
    double stepNext = step;
    float preNext = 0, ovlNext = 0, stpNext = 0;
    QStringList nextList;
    qint64 leadIn = -1;
    if (hasNext) {
        const QString own = GetNoteOption(notes.NoteExt.at(k + 1), QStringLiteral("tempo"));
        // A tempo of 0 or less cannot time anything: it counts as absent.
        if (!own.isEmpty() && val(own) > 0) tempoNext = float(val(own));
        stepNext = PitchStepMs(tempoNext);
        timing.GetNoteStartTime(tempo, notes, k + 1, preNext, ovlNext, stpNext);
        nextList = splitFields(GetNoteOption(notes.NoteExt.at(k + 1), QStringLiteral("pitches")));
        leadIn = qint64(std::ceil(std::min(double(preNext) + double(stpNext), MaxRenderedNoteMs) / stepNext));
    }

    float pre = 0, ovl = 0, stp = 0;
    timing.GetNoteStartTime(tempoPrev, notes, k, pre, ovl, stp);
    QStringList list = splitFields(GetNoteOption(notes.NoteExt.at(k), QStringLiteral("pitches")));
    // A list longer than the renderer can use (stored by an older version) is cut to what it uses.
    const qsizetype usable = qsizetype(std::ceil(MaxRenderedNoteMs / step)) + 2;
    if (list.size() > usable) list.resize(usable);
    const QStringList vbr = splitFields(GetNoteOption(notes.NoteExt.at(k), QStringLiteral("VBR")));
    if (vbr.size() < 7) return;
    const double pi = 4.0 * std::atan(1.0);
    double cycle = val(vbr.at(1));
    if (cycle == 0) cycle = 200;
    const double omega = 2.0 * pi / cycle;
    const double depth = val(vbr.at(2));
    const double phase = val(vbr.at(5)) * 2.0 * pi / 100.0;
    const double height = val(vbr.at(6)) * 0.01;
    const double expr = std::clamp(vbr.size() > 7 ? val(vbr.at(7)) * 0.02 : 0.0, -2.0, 2.0);

    const double len = lengthMs(notes.Lengths.at(k), tempo);
    const double noteEnd = len + double(pre) + double(stp);
    const double total = std::min(len + double(pre) + double(stp) - double(preNext) + double(ovlNext), MaxRenderedNoteMs);
    const double vibStart = (1.0 - val(vbr.at(0)) / 100.0) * len + double(stp) + double(pre);
    const double vibLength = len * val(vbr.at(0)) / 100.0;

    if (step * double(list.size() - 1) < total) {
        const qint64 target = qint64(std::ceil(total / step));
        while (list.size() <= target) list.append(QString());
    }
    if (list.isEmpty()) return;
    QStringList expression(list.size());

    // Fade lengths in whole ms, at least 1 and at most the vibrato's length. They also shape the part
    // that reaches into the next note when the vibrato is too short to be applied to the note itself.
    auto fade = [vibLength](double percent) {
        double f = std::nearbyint(vibLength * percent / 100.0);
        if (f > vibLength) f = std::nearbyint(vibLength);
        if (f < 1) f = 1;
        return f;
    };
    const double fadeIn = fade(val(vbr.at(3)));
    const double fadeOut = fade(val(vbr.at(4)));

    auto inVibrato = [&](double t) { return vibStart <= t && t <= noteEnd; };
    auto vibrato = [&](double t) {
        double g = 1;
        if (t < vibStart + fadeIn)
            g = (t - vibStart) / fadeIn;
        else if (t >= noteEnd - fadeOut)
            g = (noteEnd - t) / fadeOut;
        return (std::sin(omega * (t - vibStart) - phase) + height) * depth * g;
    };
    auto applied = [&](const QString& entry, double v) {
        return numText(Vb::Int((adding ? val(entry) : 0.0) + v + 0.5));
    };

    if (vibLength > 50 && mode != VibratoMode::NextOnly) {
        for (qsizetype j = 0; j < list.size(); ++j) {
            const double t = step * double(j);
            expression[j] = QStringLiteral("0");
            if (reset) {
                list[j] = QStringLiteral("0");
                continue;
            }
            if (inVibrato(t)) {
                const double v = vibrato(t);
                list[j] = applied(list.at(j), v);
                expression[j] = numText(Vb::Int(v * expr + 0.5));
            } else if (list.at(j).isEmpty()) {
                list[j] = QStringLiteral("0");
            }
        }
        list[0] = tempoEntry(list.at(0), tempo);
        SetNoteOption(notes.NoteExt[k], QStringLiteral("pitches"), list.join(u' '));
        SetNoteOption(notes.NoteExt[k], QStringLiteral("expression"),
                      expr != 0 && !reset ? expression.join(u' ') : QString());
    }

    if (mode != VibratoMode::ThisOnly && leadIn > 0) {
        while (nextList.size() <= leadIn) nextList.append(QString());
        for (qint64 j = 0; j <= leadIn; ++j) {
            const double t = stepNext * double(j) + noteEnd - double(stpNext) - double(preNext);
            if (reset)
                nextList[j] = QStringLiteral("0");
            else if (inVibrato(t))
                nextList[j] = applied(nextList.at(j), vibrato(t));
            else if (nextList.at(j).isEmpty())
                nextList[j] = QStringLiteral("0");
        }
        nextList[0] = tempoEntry(nextList.at(0), tempoNext);
        SetNoteOption(notes.NoteExt[k + 1], QStringLiteral("pitches"), nextList.join(u' '));
    }
}

void ComputeNotePitch(qint32 i, NoteArrays& notes, const NoteTimingSource& timing) {
    const float tempo = timing.FindTempoAt(notes, i);
    const float tempoPrev = i >= 1 ? timing.FindTempoAt(notes, i - 1) : tempo;
    const float tempoPrev2 = i >= 2 ? timing.FindTempoAt(notes, i - 2) : tempo;
    SetNoteOption(notes.NoteExt[i], QStringLiteral("pitches"), QString());
    MakeMode2Pitches(tempo, tempoPrev, tempoPrev2, i, notes, timing);
    if (i >= 1 && !IsRestLyric(notes.Lyrics.at(i - 1)))
        ApplyPitchAndVibrato(tempoPrev, tempoPrev2, i - 1, notes, timing, VibratoMode::NextOnly);
    ApplyPitchAndVibrato(tempo, tempoPrev, i, notes, timing, VibratoMode::ThisOnly);
}

}  // namespace tova
