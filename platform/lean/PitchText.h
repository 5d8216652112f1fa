#pragma once

#include <cstddef>
#include <string>

namespace tova::lean {

// The compressed pitch text of a note as the render calls carry it: "!" tempo, a blank, then pairs
// of symbols of a 64-letter alphabet (one 12-bit value each, two's complement), where "#n#" repeats
// the pair before it n more times. Decoded it is the plain list "v0Q<tempo> v1 v2 ...". The same
// reading as tova::DecodePitchText gives the editor; texts are UTF-16 as there.
inline constexpr std::size_t kMaxDecodedPitchValues = std::size_t(1) << 20;
std::u16string decodePitchText(const std::u16string& text, std::size_t maxValues = kMaxDecodedPitchValues);

}  // namespace tova::lean
