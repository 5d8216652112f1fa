#include "platform/lean/Numbers.h"

#include "platform/lean/Failure.h"
#include "platform/lean/OwnedLocale.h"
#include "platform/lean/Utf.h"

#include <cfenv>
#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace tova::lean {
namespace {

locale_t cLocale() {
    static const OwnedLocale c(newlocale(LC_ALL_MASK, "C", locale_t(nullptr)));
    return c.get();
}

bool isSkippable(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
char upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

}  // namespace

std::size_t scanDecimal(std::string_view s, std::size_t from, double& out) {
    std::size_t i = from;
    const std::size_t n = s.size();
    std::string buf;
    if (i < n && (s[i] == '+' || s[i] == '-')) buf += s[i++];
    int digits = 0;
    while (i < n && isDigit(s[i])) {
        buf += s[i++];
        ++digits;
    }
    if (i < n && s[i] == '.') {
        buf += '.';
        ++i;
        while (i < n && isDigit(s[i])) {
            buf += s[i++];
            ++digits;
        }
    }
    if (digits == 0) return 0;
    if (i < n && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        std::size_t j = i + 1;
        std::string ex = "e";
        if (j < n && (s[j] == '+' || s[j] == '-')) ex += s[j++];
        int exponentDigits = 0;
        while (j < n && isDigit(s[j])) {
            ex += s[j++];
            ++exponentDigits;
        }
        if (exponentDigits > 0) {
            buf += ex;
            i = j;
        }
    }
    out = strtod_l(buf.c_str(), nullptr, cLocale());
    return i - from;
}

bool radixValue(std::string_view digits, int radix, double& out) {
    if (digits.empty()) return false;
    std::uint64_t v = 0;
    for (const char c : digits) {
        const int d = isDigit(c) ? c - '0' : (upper(c) - 'A' + 10);
        if (d < 0 || d >= radix) return false;
        v = v * std::uint64_t(radix) + std::uint64_t(d);
        if (v > 0xFFFFFFFFull) throw Failure(Failure::Overflow, "オーバーフローしました。");
    }
    if (v <= 0xFFFF && ((radix == 16 && digits.size() <= 4) || (radix == 8 && digits.size() <= 6)))
        out = double(std::int16_t(std::uint16_t(v)));
    else
        out = double(std::int32_t(std::uint32_t(v)));
    return true;
}

double val(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    for (const char c : text)
        if (!isSkippable(c)) s += c;
    if (s.size() >= 2 && s[0] == '&') {
        const char k = upper(s[1]);
        const int radix = k == 'H' ? 16 : (k == 'O' ? 8 : 0);
        if (radix) {
            std::size_t i = 2;
            while (i < s.size()) {
                const char c = upper(s[i]);
                if (!(radix == 16 ? (isDigit(c) || (c >= 'A' && c <= 'F')) : (c >= '0' && c <= '7'))) break;
                ++i;
            }
            double v = 0;
            return radixValue(std::string_view(s).substr(2, i - 2), radix, v) ? v : 0.0;
        }
    }
    double v = 0;
    return scanDecimal(s, 0, v) > 0 ? v : 0.0;
}

double roundHalfEven(double v) {
    const int old = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(v);
    std::fesetround(old);
    return r;
}

std::int16_t cInt(double v) {
    const double r = roundHalfEven(v);
    if (std::isnan(r) || r < -32768.0 || r > 32767.0) throw Failure(Failure::Overflow, "オーバーフローしました。");
    return std::int16_t(r);
}

bool isSpace(char32_t c) {
    return (c >= 9 && c <= 13) || c == 32 || c == 0x85 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) ||
           c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

std::string trimmed(std::string_view text) {
    const std::u16string u = toUtf16(text);
    std::size_t from = 0, to = u.size();
    while (from < to && isSpace(u[from])) ++from;
    while (to > from && isSpace(u[to - 1])) --to;
    if (from == 0 && to == u.size() && isValidUtf8(text)) return std::string(text);
    return toUtf8(std::u16string_view(u).substr(from, to - from));
}

}  // namespace tova::lean
