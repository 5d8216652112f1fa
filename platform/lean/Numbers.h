#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tova::lean {

// The number texts of the classic runtime, without Qt: the same readings as tova::Vb gives (which
// calls these), locale-independent ("." is always the decimal point). Texts are UTF-8; only ASCII
// characters ever make up a number.

// Leading number of a text, leniently: blanks, tabs, line feeds and carriage returns are skipped
// anywhere, reading stops at the first character that cannot continue a number; "&H1F" and "&O17"
// are hexadecimal and octal. No number gives 0. Hexadecimal or octal beyond 32 bits throws a
// Failure (overflow).
double val(std::string_view text);

// A decimal number (optional sign, digits, fraction, exponent "E"/"D") at `from`: the number of bytes
// used, 0 when there is none.
std::size_t scanDecimal(std::string_view text, std::size_t from, double& out);
// The value of "&H"/"&O" digits: 16-bit two's complement when it fits in four hexadecimal (six
// octal) digits, 32-bit otherwise. False for an empty text or a character that is no such digit;
// beyond 32 bits throws a Failure (overflow).
bool radixValue(std::string_view digits, int radix, double& out);

// Round half to even, as the runtime's integer conversions do.
double roundHalfEven(double v);
// CInt: the nearest 16-bit integer (halves to even); a Failure (overflow) outside its range.
std::int16_t cInt(double v);

// Whitespace trimmed from both ends (the characters a Unicode text calls space).
std::string trimmed(std::string_view text);
bool isSpace(char32_t c);

}  // namespace tova::lean
