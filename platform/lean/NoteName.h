#pragma once

#include <cstdint>
#include <string_view>

namespace tova::lean {

// Note names as the tools read them: "C4", "A#3", "Db5", "F♯2" (letters case-sensitive). The number
// is 12 for C1 and counts semitones; the frequency of note number n is 2^((n - 12) / 12) times the
// frequency of C1.
inline constexpr double kNoteRefFreq = 65.4063913251497;

// The number of a note name (UTF-16): the pitch class from the first one or two characters (a key
// that its table lacks counts as C), the octave from the rest read leniently and rounded half to even.
// -1 for an empty name; a Failure (overflow) when the number leaves the 16-bit range.
std::int16_t noteNameToNum(std::u16string_view name);
double noteNumToFreq(double n);

}  // namespace tova::lean
