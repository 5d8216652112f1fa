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

    // Whether every character of `text` has a CP932 byte sequence.
    static bool canEncode(const QString& text);

    // Text of our own files and tool arguments: CP932 (byte for byte what `encode` gives) when the
    // code page holds every character; otherwise the whole text in UTF-8 after the byte-order mark
    // EF BB BF (no CP932 text starts with those bytes), so no character is ever lost as "?".
    static QByteArray encodeMarked(const QString& text);
    // Reads such text: after EF BB BF the rest is UTF-8; otherwise CP932, except that text which does
    // not decode cleanly as CP932 but is valid UTF-8 is read as UTF-8 (files saved on this desktop).
    // `clean` (when given) is false when the chosen decoding met invalid bytes.
    static QString decodeMarked(const QByteArray& bytes, bool* clean = nullptr);
    static QString decodeMarked(const char* data, qsizetype size, bool* clean = nullptr);
    // Whether the bytes start with the mark EF BB BF.
    static bool isMarked(const char* data, qsizetype size);
    // The byte-order mark that announces UTF-8 text.
    static QByteArray utf8Mark() { return QByteArrayLiteral("\xEF\xBB\xBF"); }
};

}  // namespace tova
