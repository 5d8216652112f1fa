#include "render/NoteRenderParams.h"

#include "core/DefaultEnvelope.h"
#include "platform/Vb.h"
#include "song/LyricText.h"
#include "song/NoteExtension.h"
#include "song/Song.h"

#include <QStringList>

#include <cmath>

namespace tova {
namespace {

const QString kTempoKey = QStringLiteral("tempo");

// The tempo of a `tempo` option text, or false when the option is absent or gives no usable tempo.
bool usableTempo(const QString& text, float& tempo) {
    if (text.isEmpty()) return false;
    const double v = Vb::Val(text);
    if (!(v > 0)) return false;
    tempo = float(v);
    return true;
}

// Whole number nearest to v, halves to even.
double roundEven(double v) { return std::nearbyint(v); }

QString numberText(double v) { return Vb::DoubleText(v); }

// The value text after the first occurrence of `key` in an option list, or a null text.
QString afterKey(const QString& options, const QString& key) {
    const qsizetype p = options.indexOf(key);
    return p < 0 ? QString() : options.mid(p + key.size());
}

}  // namespace

void FindTempoAt(const NoteArrays& notes, float projectTempo, qint32 index, float& tempo) {
    tempo = projectTempo;
    if (index > notes.lastNote()) return;
    for (qint32 j = 0; j <= index; ++j) usableTempo(GetNoteOption(notes.NoteExt.value(j), kTempoKey), tempo);
}

void FindTempoAt(const Song& song, qint32 index, float& tempo) { FindTempoAt(song, song.Tempo, index, tempo); }

void GetNoteTempo(const NoteArrays& notes, qint32 index, float& tempo) {
    if (index < 1 || index > notes.lastNote()) return;
    usableTempo(GetNoteOption(notes.NoteExt.value(index), kTempoKey), tempo);
}

void ParseTempoField(const QString& ext, float& tempo, bool& found) {
    found = false;
    const QStringList f = ext.split(u'\t');
    if (f.size() < 6) return;
    const QString value = afterKey(f[5], QStringLiteral("tempo="));
    if (value.isNull()) return;
    const double v = Vb::Val(value);
    tempo = v > 0 ? float(v) : 120.0f;
    found = true;
}

void ParseNoteParamFields(const QString& ext, float& tempo, float& stp, QString& env) {
    const QStringList f = ext.split(u'\t');
    if (f.size() < 6) return;
    const QString& options = f[5];
    const QString tempoText = afterKey(options, QStringLiteral("tempo="));
    if (!tempoText.isNull()) {
        const double v = Vb::Val(tempoText);
        if (v > 0) tempo = float(v);
    }
    stp = 0;
    const QString stpText = afterKey(options, QStringLiteral("stp="));
    if (!stpText.isNull()) stp = float(Vb::Val(stpText));
    const QString envText = afterKey(options, QStringLiteral("env="));
    if (!envText.isNull()) {
        const qsizetype end = envText.indexOf(OptionSeparator());
        env = end < 0 ? envText : envText.left(end);
    }
}

void SetNoteParamFields(QString& ext, float tempo, float stp, const QString& env) {
    QStringList entries;
    if (tempo != 0) entries << QStringLiteral("tempo=") + Vb::Format(double(tempo), QStringLiteral("0.00"));
    if (stp != 0) entries << QStringLiteral("stp=") + Vb::SingleText(stp);
    if (!env.isEmpty()) entries << QStringLiteral("env=") + env;
    QStringList fields = ext.split(u'\t');
    fields.resize(ExtFieldCount);
    fields[ExtOptions] = entries.join(OptionSeparator());
    ext = fields.join(u'\t');
}

void ParseLengthQ(QString& pitches, float tempo) {
    const qsizetype q = pitches.indexOf(u'Q');
    if (q < 0) return;
    const float hundredths = float(Vb::Int(tempo * 100.0f));
    QString out = pitches.left(q + 1) + Vb::SingleText(hundredths / 100.0f);
    const qsizetype blank = pitches.indexOf(u' ');
    if (blank >= 0) out += pitches.mid(blank);
    pitches = out;
}

void NormalizeEnvelope(QString& env, int32_t length) {
    QStringList v = env.split(u' ');
    if (v.size() < 7) {
        const QStringList given = v;
        v = QStringList(7);
        if (given.size() > 0) v[1] = given[0];
        if (given.size() > 1) v[2] = given[1];
        // The rest, and p1 and p2 when not given, are those of the default envelope.
        const QStringList& d = DefaultEnvelopeValues();
        for (int k : {0, 3, 4, 5, 6}) v[k] = d[k];
        for (int k : {1, 2})
            if (v[k].isEmpty()) v[k] = d[k];
    }
    for (int k = 0; k < 3; ++k)
        if (Vb::Val(v[k]) < 0) v[k] = QStringLiteral("0");

    const double L = length;
    const bool longForm = v.size() > 7;
    // The time values: p1, p2, p3, and in the long form p4, p5 (places 9 and 10).
    QList<int> times{0, 1, 2};
    if (longForm) {
        v.resize(11);
        if (v[7].isEmpty()) v[7] = QStringLiteral("%");
        for (int k : {8, 9})
            if (Vb::Val(v[k]) < 0) v[k] = QStringLiteral("0");
        times << 8 << 9;
    }
    double sum = 0;
    for (int k : times) sum += Vb::Val(v[k]);
    const double total = roundEven(sum);
    if (total > L) {
        auto shortSound = [&](const QString& p2, const QString& p3) {
            v[0] = QStringLiteral("0");
            v[1] = p2;
            v[2] = p3;
            if (longForm) v[8] = v[9] = v[10] = QString();
        };
        if (L <= 10) {
            const QString half = numberText(Vb::Int(L / 2));
            shortSound(half, half);
        } else if (L <= 15) {
            shortSound(QStringLiteral("5"), QStringLiteral("5"));
        } else if (L <= 75) {
            shortSound(QStringLiteral("5"), numberText(Vb::Int((L - 5) / 2)));
        } else if (Vb::Val(v[2]) > total - L) {
            v[2] = numberText(Vb::Val(v[2]) - (total - L));
        } else {
            for (int k : times) v[k] = numberText(Vb::Int(Vb::Val(v[k]) * L / total));
        }
    }
    env = TrimBlanks(v.join(u' '));
}

}  // namespace tova
