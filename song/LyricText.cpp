#include "song/LyricText.h"

#include "platform/PathText.h"

namespace tova {

namespace {

bool isAsciiLetter(QChar c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

// Character at a 1-based position; a null character past either end.
QChar charAt(const QString& text, qint32 position) {
    return position >= 1 && position <= text.size() ? text.at(position - 1) : QChar();
}

// The mora made of the first three characters c1, c2, c3: c1 and c2 when c2 is a small kana or a voicing
// mark (and c3 too when it is a small kana), otherwise c1 alone.
QString moraOf(QStringView text) {
    if (text.isEmpty()) return {};
    QString m(text.at(0));
    if (text.size() >= 2 && (IsSmallKana(text.at(1)) || IsVoicingMark(text.at(1)))) {
        m += text.at(1);
        if (text.size() >= 3 && IsSmallKana(text.at(2))) m += text.at(2);
    }
    return m;
}

qsizetype lastSeparator(const QString& text) { return PathText::lastSeparator(text); }

}  // namespace

QString TrimBlanks(const QString& text) {
    qsizetype b = 0, e = text.size();
    while (b < e && text.at(b) == u' ') ++b;
    while (e > b && text.at(e - 1) == u' ') --e;
    return text.mid(b, e - b);
}

bool IsSmallKana(QChar c) {
    static const QString small = QStringLiteral("ぁぃぅぇぉゃゅょァィゥェォャュョ");
    return !c.isNull() && small.contains(c);
}

bool IsVoicingMark(QChar c) { return c == u'゜' || c == u'゛'; }

QString NextLyricMora(const QString& text, qint32& position) {
    const qint32 len = qint32(text.size());
    QString c = charAt(text, position).isNull() ? QString() : QString(charAt(text, position));
    while (c == u" ") {
        ++position;
        const QChar next = charAt(text, position);
        c = next.isNull() ? QString() : QString(next);
    }
    if (c == u"?") {
        ++position;
        const QChar next = charAt(text, position);
        c = QStringLiteral("?") + (next.isNull() ? QString() : QString(next));
    }
    if (position >= len || c.isEmpty()) return c;

    if (c == u"\"") {
        QString token;
        while (position < len) {
            ++position;
            const QChar ch = charAt(text, position);
            if (ch == u'"') break;
            token += ch;
        }
        return token;
    }
    if (isAsciiLetter(c.at(0))) {
        while (position < len && isAsciiLetter(charAt(text, position + 1))) {
            c += charAt(text, position + 1);
            ++position;
        }
        return c;
    }
    const QChar n = charAt(text, position + 1);
    if (IsSmallKana(n) || IsVoicingMark(n)) {
        c += n;
        ++position;
        const QChar after = charAt(text, position + 1);
        if (IsSmallKana(after)) {
            c += after;
            ++position;
        }
    }
    return c;
}

QString GetLyricBase(const QString& alias) {
    QString t = alias;
    if (t.startsWith(u'?')) t.remove(0, 1);
    const qsizetype sep = lastSeparator(t);
    if (sep >= 0) t = t.mid(sep + 1);
    const qsizetype blank = t.lastIndexOf(u' ');
    if (blank >= 0) t = t.mid(blank + 1);
    QStringView v(t);
    if (v.startsWith(u'?')) v = v.mid(1);
    return moraOf(v);
}

QString GetLyricHead(const QString& alias) {
    QString t = alias;
    QString mark;
    if (t.startsWith(u'?')) {
        mark = QStringLiteral("?");
        t.remove(0, 1);
    }
    QString head;
    const qsizetype sep = lastSeparator(t);
    if (sep >= 0) {
        head = t.left(sep + 1);
        t = t.mid(sep + 1);
    }
    const qsizetype blank = t.lastIndexOf(u' ');
    if (blank >= 0) {
        head += t.left(blank + 1);
        t = t.mid(blank + 1);
    }
    return mark + head + moraOf(t);
}

}  // namespace tova
