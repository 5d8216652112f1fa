#pragma once

#include <QString>
#include <cstdint>

namespace tova {

// Number semantics of the classic runtime that the program's file formats and texts were built on.
// Locale-independent: "." is always the decimal point.
class Vb {
public:
    // Leading number of a text, leniently: blanks, tabs and line feeds are skipped anywhere, reading
    // stops at the first character that cannot continue a number; "&H1F" and "&O17" are hexadecimal
    // and octal. No number gives 0.
    static double Val(const QString& text);

    // Strict parse: the whole text (blanks around it allowed) must be a number (decimal with optional
    // sign, fraction and exponent, or "&H"/"&O"). False when it is not.
    static bool TryParse(const QString& text, double& out);
    // Whether a typed text is a number: TryParse succeeds and the value is finite ("1e999" is not a
    // number here, whatever its parse gives). Every input box asks this before it takes a number.
    static bool IsNumeric(const QString& text);

    // Conversions that round halves to even and raise OverflowError outside the target range.
    static int16_t CInt(double v);
    static int32_t CLng(double v);
    static uint8_t CByte(double v);
    static float CSng(double v);
    // The same from text: a text that is not a number raises TypeMismatchError.
    static int16_t CInt(const QString& text);
    static int32_t CLng(const QString& text);
    static float CSng(const QString& text);
    static double CDbl(const QString& text);

    static double Int(double v);  // toward minus infinity
    static double Fix(double v);  // toward zero

    // The text of a Single (at most 7 significant digits) and of a Double (at most 15): no trailing
    // zeros, "0.5" with its leading zero, "-" for negatives. Magnitudes from 1E-4 up to (but not
    // including) 1E7 (Single) or 1E15 (Double) are written plainly, others as "1.5E+07" / "1E-05".
    static QString SingleText(float v);
    static QString DoubleText(double v);
    // An integer's text.
    static QString IntText(qint64 v) { return QString::number(v); }
    // Upper-case hexadecimal of a 32-bit value (negative values as their two's complement).
    static QString Hex(qint64 v);

    // The numeric format patterns: up to three ";"-separated sections (positive; negative; zero),
    // "0" and "#" digit placeholders, "." decimal point, "," thousands grouping, "%" (value times
    // 100), literal characters ("+", "-", quoted text, "\x"). Rounds halves away from zero on the
    // decimal digits of the value. A one-section pattern writes "-" before a negative value.
    static QString Format(double v, const QString& pattern);
};

}  // namespace tova
