#include "platform/MessageText.h"

namespace tova {

namespace {

// How much of the end of a line too long to show is kept: half the line's room, or more, so that a
// file named in the line keeps its folder and its name with the words after them ("…\sub\oto.ini」の…").
qsizetype lineTail(QStringView line) {
    const qsizetype half = kMessageLineChars - 1 - (kMessageLineChars - 1) / 2;
    const qsizetype most = kMessageLineChars - 1 - 20;  // the start of the line keeps 20 characters
    qsizetype separators = 0;
    for (qsizetype i = line.size() - 1; i >= 0 && line.size() - i <= most; --i) {
        if (line[i] != u'/' && line[i] != u'\\') continue;
        if (line.size() - i > half) return line.size() - i;
        if (++separators == 2) break;
    }
    return half;
}

}  // namespace

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
            qsizetype tail = lineTail(line);
            qsizetype head = kMessageLineChars - 1 - tail;
            // No character beyond the first plane is cut in two.
            if (head > 0 && line[head - 1].isHighSurrogate()) --head;
            if (tail > 0 && line[line.size() - tail].isLowSurrogate()) --tail;
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
