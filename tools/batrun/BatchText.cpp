#include "tools/batrun/BatchText.h"

#include "platform/lean/Utf.h"
#include "tools/batrun/BatchLineError.h"

#include <locale.h>
#include <wctype.h>

namespace tova {
namespace {

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }

locale_t unicodeLocale() {
    static const locale_t l = [] {
        locale_t u = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
        return u ? u : newlocale(LC_CTYPE_MASK, "C", locale_t(nullptr));
    }();
    return l;
}

// One UTF-16 unit in the other case (one for one: no letter becomes two).
char16_t upperUnit(char16_t c) {
    if (c < 0x80) return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c;
    if (c >= 0xD800 && c <= 0xDFFF) return c;
    const wint_t u = towupper_l(wint_t(c), unicodeLocale());
    return u <= 0xFFFF ? char16_t(u) : c;
}

char16_t lowerUnit(char16_t c) {
    if (c < 0x80) return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
    if (c >= 0xD800 && c <= 0xDFFF) return c;
    const wint_t u = towlower_l(wint_t(c), unicodeLocale());
    return u <= 0xFFFF ? char16_t(u) : c;
}

BatchString tooLongAfterExpansion(std::size_t limit) {
    return u"a line holds at most " + batchNumber(static_cast<long long>(limit)) + u" characters once expanded";
}

}  // namespace

std::string batchUtf8(const BatchString& text) { return lean::toUtf8(text); }
BatchString batchText(const std::string& utf8) { return lean::toUtf16(utf8); }

BatchString batchNumber(long long n) {
    const std::string digits = std::to_string(n);
    return BatchString(digits.begin(), digits.end());
}

BatchString batchUpper(BatchString text) {
    for (char16_t& c : text) c = upperUnit(c);
    return text;
}

BatchString batchLower(BatchString text) {
    for (char16_t& c : text) c = lowerUnit(c);
    return text;
}

bool batchEqualNoCase(const BatchString& a, const BatchString& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && lowerUnit(a[i]) != lowerUnit(b[i])) return false;
    return true;
}

bool batchStartsWith(const BatchString& text, const BatchString& start) { return text.rfind(start, 0) == 0; }

bool batchEndsWithNoCase(const BatchString& text, const BatchString& end) {
    return text.size() >= end.size() && batchEqualNoCase(text.substr(text.size() - end.size()), end);
}

std::vector<BatchToken> batchTokens(const BatchString& line, std::size_t from) {
    std::vector<BatchToken> tokens;
    std::size_t i = from;
    const std::size_t n = line.size();
    while (true) {
        while (i < n && isBlank(line[i])) ++i;
        if (i >= n) break;
        BatchToken t;
        bool quoted = false;
        while (i < n && (quoted || !isBlank(line[i]))) {
            const char16_t c = line[i];
            t.raw += c;
            if (c == u'"')
                quoted = !quoted;
            else
                t.text += c;
            ++i;
        }
        t.end = i;
        tokens.push_back(t);
    }
    return tokens;
}

BatchString batchRest(const BatchString& line, std::size_t from) {
    std::size_t i = from;
    while (i < line.size() && isBlank(line[i])) ++i;
    return i < line.size() ? line.substr(i) : BatchString();
}

BatchStrings batchSplitOutsideQuotes(const BatchString& text, const BatchString& separators) {
    BatchStrings parts;
    BatchString cur;
    bool quoted = false;
    for (const char16_t c : text) {
        if (c == u'"') quoted = !quoted;
        if (!quoted && separators.find(c) != BatchString::npos) {
            parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    parts.push_back(cur);
    return parts;
}

BatchString batchExpand(const BatchString& line, const std::function<BatchString(const BatchString&)>& variable,
                        const BatchStrings& arguments, std::size_t limit) {
    BatchString out;
    out.reserve(line.size());
    const std::size_t n = line.size();
    std::size_t i = 0;
    while (i < n) {
        if (out.size() > limit) throw BatchLineError(tooLongAfterExpansion(limit));
        const char16_t c = line[i];
        if (c != u'%') {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 < n && line[i + 1] == u'%') {
            out += u'%';
            i += 2;
            continue;
        }
        if (i + 1 < n && line[i + 1] >= u'0' && line[i + 1] <= u'9') {
            const std::size_t k = std::size_t(line[i + 1] - u'0');
            if (k < arguments.size()) out += arguments[k];
            i += 2;
            continue;
        }
        const std::size_t close = line.find(u'%', i + 1);
        if (close == BatchString::npos) {
            ++i;  // a lone "%" is dropped
            continue;
        }
        out += variable(line.substr(i + 1, close - i - 1));
        i = close + 1;
    }
    if (out.size() > limit) throw BatchLineError(tooLongAfterExpansion(limit));
    return out;
}

}  // namespace tova
