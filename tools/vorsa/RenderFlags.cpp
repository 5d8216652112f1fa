#include "tools/vorsa/RenderFlags.h"

#include "platform/Vb.h"

#include <algorithm>
#include <cmath>

namespace tova::vorsa {

RenderFlags RenderFlags::parse(const QString& text) {
    RenderFlags flags;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const QChar letter = text.at(i++);
        if (!((letter >= u'A' && letter <= u'Z') || (letter >= u'a' && letter <= u'z'))) continue;
        // The number that follows: an optional sign, then digits and a decimal point.
        const qsizetype start = i;
        if (i < n && (text.at(i) == u'+' || text.at(i) == u'-')) ++i;
        while (i < n && (text.at(i).isDigit() || text.at(i) == u'.')) ++i;
        const QString number = text.mid(start, i - start);
        const bool hasNumber = std::any_of(number.begin(), number.end(), [](QChar c) { return c.isDigit(); });
        if (!hasNumber) i = start;  // a lone sign belongs to nothing
        const double value = hasNumber ? Vb::Val(number) : 0.0;
        switch (letter.unicode()) {
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
