#pragma once

#include <QByteArray>
#include <QString>

namespace tova {

// The system's ANSI code page: Japanese code page 932 (Shift_JIS with the Windows extensions).
// Byte 5C is the backslash here (never the yen sign), so Windows paths survive a round trip.
class Cp932 {
public:
    // Encodes text; every character the code page cannot hold becomes "?" (63), one per character.
    static QByteArray encode(const QString& text);
    // The same; `exact` (when given) is set to false when a character became "?".
    static QByteArray encode(const QString& text, bool* exact);
    // Decodes bytes; an invalid or cut-off sequence becomes U+FFFD. `clean` (when given) is set to
    // false when that happened.
    static QString decode(const QByteArray& bytes, bool* clean = nullptr);
    static QString decode(const char* data, qsizetype size, bool* clean = nullptr);

    // Text that must never lose a character (files we write, arguments to our own tool libraries):
    // code page 932 when every character fits, byte for byte as `encode` gives it; otherwise UTF-8
    // after the mark EF BB BF.
    static QByteArray encodeMarked(const QString& text);
    // The reverse: bytes starting with EF BB BF are UTF-8 (the mark is skipped), any others CP932.
    static QString decodeMarked(const QByteArray& bytes, bool* clean = nullptr);
    static QString decodeMarked(const char* data, qsizetype size, bool* clean = nullptr);
    static bool isMarked(const char* data, qsizetype size);
};

}  // namespace tova
