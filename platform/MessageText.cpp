#include "platform/MessageText.h"

namespace tova {

QString BoundedMessageText(const QString& text) {
    const QStringView all(text);
    const QChar ellipsis(u'…');
    QString out;
    qsizetype lines = 0;
    for (qsizetype start = 0; start <= all.size();) {
        // A line ends at CR LF, CR or LF, as the box breaks it.
        qsizetype end = start;
        while (end < all.size() && all[end] != u'\r' && all[end] != u'\n') ++end;
        if (lines == kMessageLines) {
            out += ellipsis;
            break;
        }
        if (lines > 0) out += u'\n';
        const QStringView line = all.mid(start, end - start);
        if (line.size() <= kMessageLineChars) {
            out += line;
        } else {
            const qsizetype head = (kMessageLineChars - 1) / 2;
            const qsizetype tail = kMessageLineChars - 1 - head;
            out += line.left(head);
            out += ellipsis;
            out += line.right(tail);
        }
        ++lines;
        if (end == all.size()) break;
        start = end + (all[end] == u'\r' && end + 1 < all.size() && all[end + 1] == u'\n' ? 2 : 1);
    }
    return out;
}

}  // namespace tova
