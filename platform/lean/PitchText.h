#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tova::lean {

// The compressed pitch text of a note as the render calls carry it: "!" tempo, a blank, then pairs
// of symbols of a 64-letter alphabet (one 12-bit value each, two's complement), where "#n#" repeats
// the pair before it n more times. Decoded it is the plain list "v0Q<tempo> v1 v2 ...". The same
// reading as tova::DecodePitchText gives the editor; texts are UTF-16 as there.
inline constexpr std::size_t kMaxDecodedPitchValues = std::size_t(1) << 20;
std::u16string decodePitchText(const std::u16string& text, std::size_t maxValues = kMaxDecodedPitchValues);
// Its two steps: the runs of "#n#" repeated out (at most `maxValues` pairs), and the pairs as the
// blank-separated list of their values.
std::u16string decodePitchRun(std::u16string_view text, std::size_t maxValues = kMaxDecodedPitchValues);
std::u16string decodePitchList(std::u16string_view pairs);
// The value of one pair (a missing symbol counts as 0, one outside the alphabet as -1).
int decodePitchPair(std::u16string_view pair);

}  // namespace tova::lean
