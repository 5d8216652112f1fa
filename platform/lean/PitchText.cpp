#include "platform/lean/PitchText.h"

#include "platform/lean/Failure.h"
#include "platform/lean/Numbers.h"
#include "platform/lean/Utf.h"

#include <algorithm>
#include <limits>

namespace tova::lean {
namespace {

constexpr std::u16string_view kAlphabet = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int symbolDigit(char16_t c) {
    const std::size_t at = kAlphabet.find(c);
    return at == std::u16string_view::npos ? -1 : int(at);
}

}  // namespace

int decodePitchPair(std::u16string_view pair) {
    const int d1 = pair.size() >= 1 ? symbolDigit(pair[0]) : 0;
    const int d2 = pair.size() >= 2 ? symbolDigit(pair[1]) : 0;
    int v = 64 * d1 + d2;
    if (v >= 2048) v -= 4096;
    return int(std::int16_t(v));
}

std::u16string decodePitchRun(std::u16string_view text, std::size_t maxValues) {
    std::u16string out;
    const std::size_t maxChars = std::min(maxValues, kMaxDecodedPitchValues) * 2;
    std::u16string_view last;
    std::size_t pos = 0;
    while (text.size() >= 1 && pos < text.size() - 1) {
        if (text[pos] != u'#') {
            last = text.substr(pos, 2);
            if (out.size() + 2 > maxChars) break;
            out += last;
            pos += 2;
            continue;
        }
        const std::size_t close = text.find(u'#', pos + 1);
        // A count too large for a number (a long "&O" or "&H" text) repeats as far as the limit goes.
        double count = 0;
        try {
            count = val(toUtf8(text.substr(pos + 1, close == std::u16string_view::npos ? std::u16string_view::npos
                                                                                       : close - pos - 1)));
        } catch (const Failure&) {
            count = std::numeric_limits<double>::infinity();
        }
        if (count >= 1 && !last.empty()) {
            const std::size_t room = (maxChars - out.size()) / last.size();
            const std::size_t n = count > double(room) ? room : std::size_t(count);
            for (std::size_t k = 0; k < n; ++k) out += last;
            if (double(n) < count) break;
        }
        if (close == std::u16string_view::npos) break;
        pos = close + 1;
    }
    return out;
}

std::u16string decodePitchList(std::u16string_view pairs) {
    std::u16string out;
    for (std::size_t i = 0; i < pairs.size(); i += 2) {
        if (i > 0) out += u' ';
        for (const char c : std::to_string(decodePitchPair(pairs.substr(i, 2)))) out += char16_t(c);
    }
    return out;
}

std::u16string decodePitchText(const std::u16string& text, std::size_t maxValues) {
    const std::size_t blank = text.find(u' ');
    if (blank == std::u16string::npos || blank < 2) return text;  // none, or among the first two characters
    if (text[0] != u'!') return text;
    const std::u16string tempo = text.substr(1, blank - 1);
    std::u16string list = decodePitchList(decodePitchRun(std::u16string_view(text).substr(blank + 1), maxValues));
    const std::size_t firstBlank = list.find(u' ');
    if (firstBlank != std::u16string::npos && firstBlank >= 1)
        list.insert(firstBlank, u"Q" + tempo);
    else
        list += u"Q" + tempo;
    return list;
}

}  // namespace tova::lean
