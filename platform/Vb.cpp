#include "platform/Vb.h"

#include "platform/Errors.h"
#include "platform/lean/Failure.h"
#include "platform/lean/Numbers.h"

#include <QStringList>

#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace tova {
namespace {

// The number readings of the Qt-free core, its overflow raised as the runtime's error.
template <class Read>
auto reading(Read read) {
    try {
        return read();
    } catch (const lean::Failure& e) {
        if (e.number() == lean::Failure::Overflow) throw OverflowError();
        throw;
    }
}

double parseOrMismatch(const QString& text) {
    double v = 0;
    if (!Vb::TryParse(text, v)) throw TypeMismatchError();
    return v;
}

// Plain or exponent text with at most `precision` significant digits.
QString numberText(double v, int precision, double plainLimit) {
    if (v == 0 || std::isnan(v)) return QStringLiteral("0");
    if (std::isinf(v)) return v > 0 ? QStringLiteral("1.#INF") : QStringLiteral("-1.#INF");
    char buf[64];
    // The "%.*e" text of printf in the C locale, whatever locale the program runs in.
    char* const bufEnd = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, precision - 1).ptr;
    std::string s(buf, bufEnd);
    const auto epos = s.find('e');
    std::string mant = s.substr(0, epos);
    int exp = std::stoi(s.substr(epos + 1));
    bool neg = mant[0] == '-';
    if (neg) mant.erase(0, 1);
    std::string digits;
    for (char c : mant) if (c != '.') digits += c;
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    std::string out;
    double rounded = 0;
    std::from_chars(buf, bufEnd, rounded);
    const double a = std::fabs(rounded);
    if (a >= 1e-4 && a < plainLimit) {
        if (exp >= 0) {
            std::string ip = digits.substr(0, std::min<size_t>(digits.size(), size_t(exp) + 1));
            while (int(ip.size()) < exp + 1) ip += '0';
            std::string fp = digits.size() > size_t(exp) + 1 ? digits.substr(size_t(exp) + 1) : std::string();
            out = ip + (fp.empty() ? "" : "." + fp);
        } else {
            out = "0." + std::string(size_t(-exp - 1), '0') + digits;
        }
    } else {
        out = digits.substr(0, 1);
        if (digits.size() > 1) out += "." + digits.substr(1);
        char eb[16];
        std::snprintf(eb, sizeof eb, "E%c%02d", exp < 0 ? '-' : '+', std::abs(exp));
        out += eb;
    }
    if (neg) out = "-" + out;
    return QString::fromStdString(out);
}

// ---- Format ----

struct Section {
    QString prefix, suffix;
    int intZeros = 0;      // "0" placeholders before the point
    int intPlaces = 0;     // all placeholders before the point
    int fracZeros = 0;     // "0" placeholders after the point
    int fracPlaces = 0;    // all placeholders after the point
    bool point = false;
    bool grouping = false;
    bool percent = false;
};

Section parseSection(const QString& p) {
    Section s;
    bool seenDigit = false;
    bool afterPoint = false;
    QString pending;  // literals seen after a placeholder; they become the suffix if no placeholder follows
    for (int i = 0; i < p.size(); ++i) {
        QChar c = p[i];
        auto literal = [&](const QString& t) {
            if (!seenDigit) s.prefix += t; else pending += t;
        };
        if (c == u'0' || c == u'#') {
            seenDigit = true;
            s.suffix += pending;  // literals between placeholders keep their order at the end
            pending.clear();
            if (afterPoint) { ++s.fracPlaces; if (c == u'0') s.fracZeros = s.fracPlaces; }
            else { ++s.intPlaces; if (c == u'0' || s.intZeros > 0) ++s.intZeros; }
        } else if (c == u'.') {
            if (!afterPoint) { afterPoint = true; s.point = true; seenDigit = true; s.suffix += pending; pending.clear(); }
            else literal(QStringLiteral("."));
        } else if (c == u',') {
            if (seenDigit && !afterPoint) s.grouping = true; else literal(QStringLiteral(","));
        } else if (c == u'%') {
            s.percent = true;
            literal(QStringLiteral("%"));
        } else if (c == u'\\' && i + 1 < p.size()) {
            literal(QString(p[++i]));
        } else if (c == u'"') {
            int j = p.indexOf(u'"', i + 1);
            if (j < 0) j = int(p.size());
            literal(p.mid(i + 1, j - i - 1));
            i = j;
        } else {
            literal(QString(c));
        }
    }
    s.suffix += pending;
    return s;
}

// Decimal digits of |v| rounded half away from zero to `frac` fraction digits, taken from the
// 15 significant digits of the value (so 1.005 with two places gives 1.01, as users expect).
void roundedDigits(double a, int frac, std::string& intPart, std::string& fracPart) {
    intPart.clear();
    fracPart.clear();
    if (a == 0) { fracPart.assign(size_t(frac), '0'); return; }
    char buf[64];
    // The "%.14e" text of printf in the C locale.
    std::string s(buf, std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, 14).ptr);
    auto epos = s.find('e');
    int exp = std::stoi(s.substr(epos + 1));
    std::string digits;
    for (size_t i = 0; i < epos; ++i) if (s[i] != '.') digits += s[i];
    int pointPos = exp + 1;  // digits before the decimal point
    int keep = pointPos + frac;
    if (keep < 0) { fracPart.assign(size_t(frac), '0'); return; }
    if (keep < int(digits.size())) {
        bool up = digits[size_t(keep)] >= '5';
        digits.resize(size_t(keep));
        if (up) {
            int k = keep - 1;
            while (k >= 0 && digits[size_t(k)] == '9') { digits[size_t(k)] = '0'; --k; }
            if (k >= 0) ++digits[size_t(k)];
            else { digits.insert(digits.begin(), '1'); ++pointPos; ++keep; }
        }
    } else {
        digits.append(size_t(keep - int(digits.size())), '0');
    }
    if (pointPos > 0) {
        intPart = digits.substr(0, size_t(pointPos));
        fracPart = digits.substr(size_t(pointPos));
    } else {
        fracPart = std::string(size_t(-pointPos), '0') + digits;
        fracPart = fracPart.substr(0, size_t(frac));
    }
    size_t nz = intPart.find_first_not_of('0');
    intPart = nz == std::string::npos ? std::string() : intPart.substr(nz);
}

QString applySection(double a, const Section& s) {
    if (s.percent) a *= 100.0;
    std::string ip, fp;
    roundedDigits(a, s.fracPlaces, ip, fp);
    while (int(fp.size()) > s.fracZeros && !fp.empty() && fp.back() == '0') fp.pop_back();
    while (int(ip.size()) < s.intZeros) ip.insert(ip.begin(), '0');
    if (s.grouping && ip.size() > 3) {
        std::string g;
        int cnt = 0;
        for (int i = int(ip.size()) - 1; i >= 0; --i) {
            g.insert(g.begin(), ip[size_t(i)]);
            if (++cnt % 3 == 0 && i > 0) g.insert(g.begin(), ',');
        }
        ip = g;
    }
    // The digits (and group separators) are ASCII.
    QString out;
    out.reserve(s.prefix.size() + qsizetype(ip.size()) + 1 + qsizetype(fp.size()) + s.suffix.size());
    out += s.prefix;
    out += QLatin1StringView(ip.data(), qsizetype(ip.size()));
    if (s.point) {
        out += u'.';
        out += QLatin1StringView(fp.data(), qsizetype(fp.size()));
    }
    out += s.suffix;
    return out;
}

bool roundsToZero(double a, const Section& s) {
    std::string ip, fp;
    roundedDigits(s.percent ? a * 100.0 : a, s.fracPlaces, ip, fp);
    return ip.empty() && fp.find_first_not_of('0') == std::string::npos;
}

}  // namespace

double Vb::Val(const QString& text) {
    return reading([&] { return lean::val(text.toStdString()); });
}

bool Vb::TryParse(const QString& text, double& out) {
    const std::string s = text.trimmed().toStdString();
    if (s.empty()) return false;
    if (s.size() > 2 && s[0] == '&') {
        const char k = char(s[1] & ~0x20);
        const int radix = k == 'H' ? 16 : (k == 'O' ? 8 : 0);
        if (!radix) return false;
        try {
            return lean::radixValue(std::string_view(s).substr(2), radix, out);
        } catch (const lean::Failure&) {
            return false;
        }
    }
    double v = 0;
    const std::size_t used = lean::scanDecimal(s, 0, v);
    if (used == 0 || used != s.size()) return false;
    out = v;
    return true;
}

bool Vb::IsNumeric(const QString& text) {
    double v;
    return TryParse(text, v) && std::isfinite(v);
}

int16_t Vb::CInt(double v) {
    double r = lean::roundHalfEven(v);
    if (std::isnan(r) || r < -32768.0 || r > 32767.0) throw OverflowError();
    return int16_t(r);
}

int32_t Vb::CLng(double v) {
    double r = lean::roundHalfEven(v);
    if (std::isnan(r) || r < -2147483648.0 || r > 2147483647.0) throw OverflowError();
    return int32_t(r);
}

uint8_t Vb::CByte(double v) {
    double r = lean::roundHalfEven(v);
    if (std::isnan(r) || r < 0 || r > 255.0) throw OverflowError();
    return uint8_t(r);
}

float Vb::CSng(double v) {
    if (std::isfinite(v) && std::fabs(v) > 3.402823466e38) throw OverflowError();
    return float(v);
}

int16_t Vb::CInt(const QString& text) { return CInt(parseOrMismatch(text)); }
int32_t Vb::CLng(const QString& text) { return CLng(parseOrMismatch(text)); }
float Vb::CSng(const QString& text) { return CSng(parseOrMismatch(text)); }
double Vb::CDbl(const QString& text) { return parseOrMismatch(text); }

double Vb::Int(double v) { return std::floor(v); }
double Vb::Fix(double v) { return std::trunc(v); }

QString Vb::SingleText(float v) { return numberText(double(v), 7, 1e7); }
QString Vb::DoubleText(double v) { return numberText(v, 15, 1e15); }

QString Vb::Hex(qint64 v) {
    if (v < 0) v = qint64(uint32_t(int32_t(v)));
    return QString::number(v, 16).toUpper();
}

QString Vb::Format(double v, const QString& pattern) {
    // A value that is not a number or infinite has no digits to lay out: its plain text.
    if (pattern.isEmpty() || !std::isfinite(v)) return DoubleText(v);
    // Split at ";" outside quotes.
    QStringList parts;
    QString cur;
    bool quoted = false;
    // Without a ";" the whole pattern is the one section and needs no scan.
    const qsizetype scanLength = pattern.contains(u';') ? pattern.size() : 0;
    if (scanLength == 0) cur = pattern;
    for (int i = 0; i < scanLength; ++i) {
        QChar c = pattern[i];
        if (c == u'"') quoted = !quoted;
        if (c == u'\\' && i + 1 < pattern.size()) { cur += c; cur += pattern[++i]; continue; }
        if (c == u';' && !quoted) { parts << cur; cur.clear(); continue; }
        cur += c;
    }
    parts << cur;
    const double a = std::fabs(v);
    Section pos = parseSection(parts[0]);
    if (parts.size() >= 3 && (v == 0 || roundsToZero(a, pos))) {
        if (!parts[2].isEmpty()) return applySection(0, parseSection(parts[2]));
    }
    if (v < 0 && parts.size() >= 2 && !parts[1].isEmpty()) {
        Section neg = parseSection(parts[1]);
        return applySection(a, neg);
    }
    QString body = applySection(a, pos);
    if (v < 0 && !roundsToZero(a, pos)) body.prepend(u'-');
    return body;
}

}  // namespace tova
