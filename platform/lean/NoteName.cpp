#include "platform/lean/NoteName.h"

#include "platform/lean/Failure.h"
#include "platform/lean/Numbers.h"
#include "platform/lean/Utf.h"

#include <cmath>
#include <limits>

namespace tova::lean {
namespace {

// Pitch-class tables: two characters per class from C upwards, a natural written as its letter and
// a blank; the naturals alone, each letter at its semitone's place.
constexpr std::u16string_view kSharps = u"C C#D D#E F F#G G#A A#B ";
constexpr std::u16string_view kFlats = u"C DbD EbE F GbG AbA BbB ";
constexpr std::u16string_view kSharpSigns = u"C C♯D D♯E F F♯G G♯A A♯B ";
constexpr std::u16string_view kFlatSigns = u"C D♭D E♭E F G♭G A♭A B♭B ";
constexpr std::u16string_view kNaturals = u"C   D   E F   G   A   B ";

}  // namespace

std::int16_t noteNameToNum(std::u16string_view name) {
    if (name.empty()) return -1;
    const char16_t second = name.size() > 1 ? name[1] : u'\0';
    std::u16string_view table = kNaturals;
    if (second == u'b') table = kFlats;
    else if (second == u'♭') table = kFlatSigns;
    else if (second == u'#') table = kSharps;
    else if (second == u'♯') table = kSharpSigns;
    const std::size_t keyLength = table == kNaturals ? 1 : 2;
    const std::size_t found = table.find(name.substr(0, keyLength));  // case-sensitive
    // A key that its table does not hold counts as C (position 0 and 1 both give class 0).
    const std::int64_t pitchClass = found == std::u16string_view::npos ? 0 : std::int64_t(found / 2);
    const std::int64_t octave = cInt(val(toUtf8(name.substr(std::min(keyLength, name.size())))));
    const std::int64_t result = pitchClass + 12 * octave - 12;
    if (result < std::numeric_limits<std::int16_t>::min() || result > std::numeric_limits<std::int16_t>::max())
        throw Failure(Failure::Overflow, "オーバーフローしました。");
    return std::int16_t(result);
}

double noteNumToFreq(double n) { return std::pow(2.0, (n - 12.0) / 12.0) * kNoteRefFreq; }

}  // namespace tova::lean
