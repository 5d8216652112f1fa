#include "song/PitchText.h"

#include "core/Settings.h"
#include "platform/Errors.h"
#include "platform/Vb.h"
#include "platform/lean/PitchText.h"

#include <QStringList>

#include <cmath>

#include <limits>

namespace tova {

namespace {

QString numberText(double v) { return Vb::DoubleText(v); }

}  // namespace

const QString& PitchAlphabet() {
    static const QString a = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/");
    return a;
}

QString EncodePitchPair(qint16 value) {
    int v = value;
    if (v >= 2048) v = 2047;
    if (v < -2048) v = -2048;
    if (v < 0) v += 4096;
    const QString& a = PitchAlphabet();
    return QString(a.at(v / 64)) + a.at(v % 64);
}

qint16 DecodePitchPair(QStringView pair) { return qint16(lean::decodePitchPair(pair.toString().toStdU16String())); }

QString EncodePitchList(const QString& list) {
    QString out;
    out.reserve(list.size());
    for (const QString& token : list.split(u' ')) {
        double v = 0;
        try {
            v = Vb::Val(token);
        } catch (const OverflowError&) {
            v = 2047;  // an "&H"/"&O" literal past 32 bits: out of range like any other large value
        }
        if (!(v >= -2048)) v = -2048;  // also catches a NaN
        if (v > 2047) v = 2047;
        out += EncodePitchPair(qint16(std::floor(v + 0.5)));
    }
    return out;
}

QString DecodePitchList(const QString& pairs) {
    return QString::fromStdU16String(lean::decodePitchList(pairs.toStdU16String()));
}

QString EncodePitchRun(const QString& pairs) {
    QString out;
    out.reserve(pairs.size());
    const QStringView all(pairs);
    QStringView previous;
    bool havePrevious = false;
    qsizetype counter = 0;
    for (qsizetype i = 0; i < pairs.size(); i += 2) {
        const QStringView pair = all.mid(i, 2);
        if (havePrevious && pair == previous) {
            ++counter;
            continue;
        }
        if (counter == 1)
            out += previous;
        else if (counter >= 2)
            out += u'#' + QString::number(counter) + u'#';
        counter = 0;
        out += pair;
        previous = pair;
        havePrevious = true;
    }
    if (counter >= 1) out += u'#' + QString::number(counter) + u'#';
    return out;
}

qsizetype PitchValuesForLength(qint64 internalTicks) {
    const qint64 steps = internalTicks <= 0 ? 0 : (internalTicks + 19) / 20;
    return qsizetype(qMin<qint64>(steps + PitchLeadValues, MaxDecodedPitchValues));
}

QString DecodePitchRun(const QString& text, qsizetype maxValues) {
    return QString::fromStdU16String(lean::decodePitchRun(text.toStdU16String(), std::size_t(qMax<qsizetype>(maxValues, 0))));
}

QString EncodePitchText(const QString& field, bool encodingOn) {
    if (!encodingOn) return field;
    const qsizetype blank = field.indexOf(u' ');
    if (blank < 2) return field;  // no blank, or a first token shorter than two characters
    const QString first = field.left(blank);
    const qsizetype q = first.indexOf(u'Q');
    if (q < 0) return field;
    const QString tempo = first.mid(q + 1);
    const QString list = numberText(Vb::Val(first)) + u' ' + field.mid(blank + 1);
    return u'!' + tempo + u' ' + EncodePitchRun(EncodePitchList(list));
}

QString EncodePitchText(const QString& field) { return EncodePitchText(field, settings().EncodePitchData); }

QString DecodePitchText(const QString& text, qsizetype maxValues) {
    return QString::fromStdU16String(lean::decodePitchText(text.toStdU16String(), std::size_t(qMax<qsizetype>(maxValues, 0))));
}

}  // namespace tova
