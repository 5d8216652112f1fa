#include "render/CrossFade.h"

#include "core/DefaultEnvelope.h"
#include "core/NoteNames.h"
#include "core/WaveFiles.h"
#include "platform/Vb.h"
#include "render/CacheFiles.h"
#include "render/NoteTiming.h"
#include "song/LyricText.h"
#include "song/NoteExtension.h"

#include <QVector>

#include <cmath>

namespace tova {

namespace {

// Milliseconds as a whole number of samples at 44100 Hz (halves to even).
qint64 msToSamples(double ms) { return qint64(std::nearbyint(ms * 0.001 * 44100.0)); }

QStringList envelopeValues(const QString& ext) {
    QString env = GetNoteOption(ext, QStringLiteral("env"));
    if (env.isEmpty()) env = DefaultEnvelope();
    QStringList values = env.split(u' ');
    // A shortened envelope is completed with the default's values at the places it lacks, so that the
    // pair still gets a whole envelope (a volume never comes out empty).
    const QStringList& standard = DefaultEnvelopeValues();
    while (values.size() < standard.size()) values.append(standard.at(values.size()));
    return values;
}

// The values joined by single blanks, without leading and trailing blanks.
QString joinValues(const QStringList& values) { return TrimBlanks(values.join(u' ')); }

}  // namespace

bool OptimiseCrossFade(const QString& cacheFolder, float tempoPrev, float tempo, float /*tempoNext*/, int32_t i,
                       NoteArrays& notes) {
    if (i < 0 || i >= notes.lastNote()) return false;

    const QString fileA = FindNoteCacheFile(cacheFolder, i, notes.Lyrics.at(i), notes.NoteNums.at(i));
    if (fileA.isEmpty()) return false;
    const QString fileB = FindNoteCacheFile(cacheFolder, i + 1, notes.Lyrics.at(i + 1), notes.NoteNums.at(i + 1));
    if (fileB.isEmpty()) return false;
    WaveHeader header;
    QVector<qint16> a, b;
    if (ReadWaveFile(header, a, fileA) == 0) return false;
    if (ReadWaveFile(header, b, fileB) == 0) return false;

    float preA = 0, ovlA = 0, stpA = 0, factorA = 1;
    GetNoteStartTime(tempoPrev, notes, i, preA, ovlA, stpA, &factorA);
    float preB = 0, ovlB = 0, stpB = 0, factorB = 1;
    const float cutB = GetNoteStartTime(tempo, notes, i + 1, preB, ovlB, stpB, &factorB);
    if (ovlB < 10) return false;

    const double lengthA = double(notes.Lengths.at(i)) * 31.25 / double(tempo);
    // Where note i + 1's sample starts inside note i's rendering, where note i + 1's rendering is first
    // used, the crossfade length and note i's pitch period, all in samples.
    const qint64 posA = msToSamples(double(stpA) + double(preA) + lengthA - double(preB));
    qint64 startB = msToSamples(stpB);
    const qint64 n = msToSamples(ovlB);
    const qint64 period = qint64(std::nearbyint(44100.0 / NoteNumToFreq(notes.NoteNums.at(i))));

    QVector<double> weight(n + 1);
    const double pi = 4.0 * std::atan(1.0);
    for (qint64 j = 0; j <= n; ++j) weight[j] = 0.5 - 0.5 * std::cos(double(j) * pi / double(n));

    // Search half a period on either side of the current start point when there is room before it.
    if (double(period) / 2.0 < double(startB - msToSamples(cutB))) startB -= qint64(std::nearbyint(period / 2.0));

    qint64 bestLag = -1;
    double bestScore = 0;
    for (qint64 d = 0; d <= period; ++d) {
        double num = 0, den = 0;
        for (qint64 j = 0; j <= n; ++j) {
            const qint64 ia = posA + j, ib = startB + d + j;
            if (ia < 0 || ia >= a.size() || ib < 0 || ib >= b.size()) continue;  // outside a file: never read
            const double sa = a.at(ia), sb = b.at(ib);
            num += sa * sb * weight.at(j);
            den += std::fabs(sa - sb) * weight.at(j);
        }
        const double score = num / (den + 0.001);
        if (score > bestScore) {
            bestScore = score;
            bestLag = d;
        }
    }
    if (bestLag < 0) return true;

    // Back to the note's own start point: without the part absorbed from a shortened pre-utterance and
    // before note i + 1's own velocity scaling.
    const double stp = (double(startB + bestLag) / 44100.0 * 1000.0 - double(cutB)) / double(factorB);
    SetNoteOption(notes.NoteExt[i + 1], QStringLiteral("stp"), Vb::Format(stp, QStringLiteral("0.0##")));
    return true;
}

void SetCrossFadeEnvelope(int32_t i, QStringList& noteExt, float fadeLength, bool longForm) {
    if (i < 0 || i >= noteExt.size() - 1 || fadeLength < 10) return;
    QStringList a = envelopeValues(noteExt.at(i));
    QStringList b = envelopeValues(noteExt.at(i + 1));
    const QString fade = Vb::SingleText(fadeLength);
    if (!longForm) {
        a[2] = fade;  // p3: the fade-out
        a[6] = QStringLiteral("0");
        if (a.size() >= 9) a[8] = QStringLiteral("0");
        b[0] = QStringLiteral("0");
        b[1] = fade;  // p2: the fade-in
        b[3] = QStringLiteral("0");
        if (b.size() >= 11) b[9] = b[10] = QString();
    } else {
        a.resize(9);
        a[2] = QStringLiteral("5");
        a[5] = QStringLiteral("100");
        a[6] = QStringLiteral("100");
        a[7] = QStringLiteral("%");
        a[8] = fade;  // p4: the fade-out after the overlap marker
        b[0] = fade;
        b[1] = QStringLiteral("5");
        b[3] = QStringLiteral("100");
    }
    SetNoteOption(noteExt[i], QStringLiteral("env"), joinValues(a));
    SetNoteOption(noteExt[i + 1], QStringLiteral("env"), joinValues(b));
}

}  // namespace tova
