#pragma once

#include <QList>
#include <QString>

#include <cstdint>

namespace tova {

// A large non-negative integer in base-10000 digits, element 0 the least significant. An empty array
// or one of zero digits is zero; high zero digits do not change the value. Every routine returns a new
// number and keeps no state.
using BigNumber = QList<int32_t>;

// "Small" factors and divisors: a digit times the factor, and a remainder times 10000 plus a digit,
// stay within 32 bits (the program uses 26, 256 and 65536).

bool BigIsZero(const BigNumber& n);
// n + k; a k of 0 or less adds nothing.
BigNumber BigAddSmall(const BigNumber& n, int32_t k);
// n × m; the result keeps the length of n, plus one digit when the product needs it.
BigNumber BigMulSmall(const BigNumber& n, int32_t m);
// n ÷ d (d > 0, else InvalidCallError) with the remainder; the quotient loses its high zero digits,
// except that a zero quotient keeps them all.
BigNumber BigDivSmall(const BigNumber& n, int32_t d, int32_t& remainder);

// From decimal digits (the empty text gives one zero digit); another character is a TypeMismatchError.
BigNumber BigFromDecimal(const QString& text);
// Lower-case hexadecimal, two digits per byte, most significant first, no leading "00"; zero gives "".
QString BigToHex(const BigNumber& n);
// From hexadecimal digits (either case); another character is a TypeMismatchError.
BigNumber BigFromHex(const QString& text);
// The text's code-page-932 bytes read as a little-endian number.
BigNumber BigFromBytes(const QString& text);
// The number's bytes, least significant first, decoded from code page 932; zero gives "" (so zero
// bytes at the end of a text do not come back).
QString BigToBytes(const BigNumber& n);
// Base 26 in the letters "A" ("0") to "Z", most significant first; zero gives "".
QString BigToLetters(const BigNumber& n);
// From letters, every "-" removed; a character below "A" counts as "A", one above "Z" adds 26 or more.
BigNumber BigFromLetters(const QString& text);

// The letter code of a text: its code-page bytes as a base-26 numeral in the letters "a" to "z", so
// that any text can stand in a file name. DecodeLetterCode accepts either case and ignores "-".
QString EncodeLetterCode(const QString& text);
QString DecodeLetterCode(const QString& code);

}  // namespace tova
