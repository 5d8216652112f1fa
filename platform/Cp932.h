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
    // Decodes bytes; an invalid or cut-off sequence becomes U+FFFD. `clean` (when given) is set to
    // false when that happened.
    static QString decode(const QByteArray& bytes, bool* clean = nullptr);
    static QString decode(const char* data, qsizetype size, bool* clean = nullptr);
};

}  // namespace tova
