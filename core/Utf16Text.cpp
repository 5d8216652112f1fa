#include "core/Utf16Text.h"

namespace tova {

QStringList ReadUtf16Lines(const QByteArray& bytes) {
    QStringList lines;
    QString cur;
    bool afterCr = false;
    const qsizetype units = bytes.size() / 2;
    for (qsizetype i = 0; i < units; ++i) {
        const char16_t u = char16_t(uchar(bytes[2 * i]) | (uchar(bytes[2 * i + 1]) << 8));
        if (u == 0xFEFF) continue;
        if (u == u'\n' && afterCr) {
            afterCr = false;
            continue;
        }
        afterCr = u == u'\r';
        if (u == u'\r' || u == u'\n') {
            lines << cur;
            cur.clear();
        } else {
            cur += QChar(u);
        }
    }
    if (!cur.isEmpty()) lines << cur;
    return lines;
}

QByteArray Utf16FileBytes(const QStringList& lines) {
    QByteArray out("\xFF\xFE", 2);
    auto put = [&out](char16_t u) {
        out += char(u & 0xFF);
        out += char(u >> 8);
    };
    for (const QString& line : lines) {
        for (QChar c : line) put(c.unicode());
        put(u'\r');
        put(u'\n');
    }
    return out;
}

}  // namespace tova
