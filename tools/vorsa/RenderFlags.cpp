#include "tools/vorsa/RenderFlags.h"

#include "platform/lean/Numbers.h"
#include "platform/lean/Utf.h"

#include <algorithm>
#include <cmath>

namespace tova::vorsa {

namespace {

// Decimal digits: the ASCII ones and their full-width forms (which a flags text typed in Japanese
// may hold; they count as a number that reads as 0).
bool isDigit(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'\uFF10' && c <= u'\uFF19'); }

}  // namespace

RenderFlags RenderFlags::parse(const std::string& utf8) {
    const std::u16string text = lean::toUtf16(utf8);
    RenderFlags flags;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        const char16_t letter = text[i++];
        if (!((letter >= u'A' && letter <= u'Z') || (letter >= u'a' && letter <= u'z'))) continue;
        // The number that follows: an optional sign, then digits and a decimal point.
        const std::size_t start = i;
        if (i < n && (text[i] == u'+' || text[i] == u'-')) ++i;
        while (i < n && (isDigit(text[i]) || text[i] == u'.')) ++i;
        const std::u16string number = text.substr(start, i - start);
        const bool hasNumber = std::any_of(number.begin(), number.end(), isDigit);
        if (!hasNumber) i = start;  // a lone sign belongs to nothing
        const double value = hasNumber ? lean::val(lean::toUtf8(number)) : 0.0;
        switch (letter) {
        case u'g':
            flags.formantShift = hasNumber ? std::clamp(value, -100.0, 100.0) : 0.0;
            break;
        case u'B':
            flags.breathiness = hasNumber ? std::clamp(value, 0.0, 100.0) : 50.0;
            break;
        case u'Y':
            flags.consonantVolume = hasNumber ? std::clamp(value, 0.0, 100.0) : 100.0;
            break;
        case u'N':
            flags.formantsFollowPitch = true;
            break;
        case u'G':
            flags.remakeTable = true;
            break;
        default:
            break;
        }
    }
    return flags;
}

double RenderFlags::formantFactor() const { return std::pow(2.0, formantShift / 200.0); }

}  // namespace tova::vorsa
