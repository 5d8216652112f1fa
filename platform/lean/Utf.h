#pragma once

#include <string>
#include <string_view>

namespace tova::lean {

// Conversions between UTF-8 (the tools' texts and paths) and UTF-16 (for the parsers that count
// characters as the editor's texts do). An invalid UTF-8 sequence becomes U+FFFD, one per byte that
// cannot start or continue a character; a lone surrogate becomes U+FFFD in UTF-8.
std::u16string toUtf16(std::string_view utf8);
std::string toUtf8(std::u16string_view utf16);
// Whether bytes are valid UTF-8 throughout.
bool isValidUtf8(std::string_view bytes);

}  // namespace tova::lean
