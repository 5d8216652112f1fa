#include "song/PitchText.h"

#include "core/Settings.h"
#include "platform/Errors.h"
#include "platform/Vb.h"

#include <QStringList>

#include <cmath>

#include <limits>

namespace tova {

namespace {

int symbolDigit(QChar c) { return int(PitchAlphabet().indexOf(c)); }

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

qint16 DecodePitchPair(QStringView pair) {
    const int d1 = pair.size() >= 1 ? symbolDigit(pair.at(0)) : 0;
    const int d2 = pair.size() >= 2 ? symbolDigit(pair.at(1)) : 0;
    int v = 64 * d1 + d2;
    if (v >= 2048) v -= 4096;
    return qint16(v);
}

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
    QString out;
    out.reserve(pairs.size() * 3);
    const QStringView all(pairs);
    for (qsizetype i = 0; i < pairs.size(); i += 2) {
        out += u' ';
        out += QString::number(DecodePitchPair(all.mid(i, 2)));
    }
    if (!out.isEmpty()) out.remove(0, 1);
    return out;
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
    QString out;
    const qsizetype maxChars = qBound<qsizetype>(0, maxValues, MaxDecodedPitchValues) * 2;
    out.reserve(qMin(text.size(), maxChars));
    const QStringView all(text);
    QStringView last;
    qsizetype pos = 0;
    while (pos < text.size() - 1) {
        if (text.at(pos) != u'#') {
            last = all.mid(pos, 2);
            if (out.size() + 2 > maxChars) break;
            out += last;
            pos += 2;
            continue;
        }
        const qsizetype close = text.indexOf(u'#', pos + 1);
        // A count too large for a number (a long "&O" or "&H" text) repeats as far as the limit goes.
        double count = 0;
        try {
            count = Vb::Val(text.mid(pos + 1, close < 0 ? -1 : close - pos - 1));
        } catch (const OverflowError&) {
            count = std::numeric_limits<double>::infinity();
        }
        if (count >= 1 && !last.isEmpty()) {
            const qsizetype room = (maxChars - out.size()) / last.size();
            const qsizetype n = count > double(room) ? room : qsizetype(count);
            for (qsizetype k = 0; k < n; ++k) out += last;
            if (n < count) break;
        }
        if (close < 0) break;
        pos = close + 1;
    }
    return out;
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
    const qsizetype blank = text.indexOf(u' ');
    if (blank < 2) return text;  // none, or among the first two characters
    if (text.at(0) != u'!') return text;
    const QString tempo = text.mid(1, blank - 1);
    QString list = DecodePitchList(DecodePitchRun(text.mid(blank + 1), maxValues));
    const qsizetype firstBlank = list.indexOf(u' ');
    if (firstBlank >= 1)
        list.insert(firstBlank, u'Q' + tempo);
    else
        list += u'Q' + tempo;
    return list;
}

}  // namespace tova
