#include "core/BigNumber.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"

#include <algorithm>

namespace tova {
namespace {

constexpr int64_t kBase = 10000;

// Pads a text on the left with "0" to a multiple of four characters.
QString padToGroups(const QString& text) {
    const qsizetype extra = (4 - text.size() % 4) % 4;
    return QString(extra, u'0') + text;
}

int digitValue(QChar c, int radix) {
    const char16_t u = c.unicode();
    int v = -1;
    if (u >= u'0' && u <= u'9') v = u - u'0';
    else if (u >= u'a' && u <= u'z') v = u - u'a' + 10;
    else if (u >= u'A' && u <= u'Z') v = u - u'A' + 10;
    if (v < 0 || v >= radix) throw TypeMismatchError();
    return v;
}

// The digits of n in another radix by repeated short division, the least significant first; zero
// has none.
QList<int32_t> radixDigits(const BigNumber& n, int32_t radix) {
    QList<int32_t> digits;
    BigNumber t = n;
    while (!BigIsZero(t)) {
        int32_t r = 0;
        t = BigDivSmall(t, radix, r);
        digits.append(r);
    }
    return digits;
}

int32_t groupValue(const QString& group, int radix) {
    int32_t v = 0;
    for (QChar c : group) v = v * radix + digitValue(c, radix);
    return v;
}

}  // namespace

bool BigIsZero(const BigNumber& n) {
    return std::all_of(n.begin(), n.end(), [](int32_t d) { return d == 0; });
}

BigNumber BigAddSmall(const BigNumber& n, int32_t k) {
    BigNumber out = n;
    int64_t carry = k;
    for (qsizetype i = 0; carry >= 1; ++i) {
        int64_t v = carry + (i < out.size() ? out[i] : 0);
        if (v >= kBase) {
            carry = v / kBase;
            v %= kBase;
        } else {
            carry = 0;
        }
        if (i < out.size()) out[i] = int32_t(v);
        else out.append(int32_t(v));
    }
    return out;
}

BigNumber BigMulSmall(const BigNumber& n, int32_t m) {
    BigNumber out(n.size(), 0);
    for (qsizetype i = 0; i < n.size(); ++i) {
        int64_t carry = int64_t(n[i]) * m;
        for (qsizetype j = i;; ++j) {
            if (j >= out.size()) out.append(0);
            const int64_t s = out[j] + carry;
            out[j] = int32_t(s % kBase);
            if (s < kBase) break;
            carry = s / kBase;
        }
    }
    return out;
}

BigNumber BigDivSmall(const BigNumber& n, int32_t d, int32_t& remainder) {
    if (d <= 0) throw InvalidCallError();
    BigNumber t = n;
    BigNumber q(n.size(), 0);
    int64_t r = 0;
    for (qsizetype i = n.size() - 1; i >= 0; --i) {
        q[i] = int32_t(t[i] / d);
        r = t[i] % d;
        if (i > 0) t[i - 1] = int32_t(r * kBase + t[i - 1]);
    }
    remainder = int32_t(r);
    if (!BigIsZero(q))
        while (!q.isEmpty() && q.back() == 0) q.removeLast();
    return q;
}

BigNumber BigFromDecimal(const QString& text) {
    if (text.isEmpty()) return BigNumber{0};
    const QString padded = padToGroups(text);
    BigNumber out;
    for (qsizetype g = padded.size() - 4; g >= 0; g -= 4) out.append(groupValue(padded.mid(g, 4), 10));
    return out;
}

QString BigToHex(const BigNumber& n) {
    QString out;
    for (int32_t byte : radixDigits(n, 256)) out.prepend(QString::number(byte, 16).rightJustified(2, u'0'));
    return out;
}

BigNumber BigFromHex(const QString& text) {
    const QString padded = padToGroups(text);
    BigNumber out;
    for (qsizetype g = 0; g < padded.size(); g += 4) {
        if (g > 0) out = BigMulSmall(out, 65536);
        out = BigAddSmall(out, groupValue(padded.mid(g, 4), 16));
    }
    return out;
}

BigNumber BigFromBytes(const QString& text) {
    const QByteArray bytes = Cp932::encode(text);
    BigNumber out;
    for (qsizetype i = bytes.size() - 1; i >= 0; --i)
        out = BigAddSmall(BigMulSmall(out, 256), uint8_t(bytes[i]));
    return out;
}

QString BigToBytes(const BigNumber& n) {
    QByteArray bytes;
    for (int32_t byte : radixDigits(n, 256)) bytes.append(char(byte));
    return Cp932::decode(bytes);
}

QString BigToLetters(const BigNumber& n) {
    QString out;
    for (int32_t letter : radixDigits(n, 26)) out.prepend(QChar(char16_t(u'A' + letter)));
    return out;
}

BigNumber BigFromLetters(const QString& text) {
    BigNumber out;
    for (QChar c : text) {
        if (c == u'-') continue;
        out = BigAddSmall(BigMulSmall(out, 26), int32_t(c.unicode()) - int32_t(u'A'));
    }
    return out;
}

QString EncodeLetterCode(const QString& text) { return BigToLetters(BigFromBytes(text)).toLower(); }

QString DecodeLetterCode(const QString& code) { return BigToBytes(BigFromLetters(code.toUpper())); }

}  // namespace tova
