#include "commands/ParameterTextTokens.h"

#include "platform/Vb.h"
#include "song/NoteExtension.h"

namespace tova {

namespace {

// A marked list as three parts.
QStringList listParts(const QString& list) {
    QStringList parts = list.split(u',');
    if (parts.size() < 3) return SplitFlags(list);
    return parts.mid(0, 3);
}

}  // namespace

QStringList SplitFlags(const QString& flags) {
    QStringList parts(3);
    QString s = flags;
    const qsizetype p = s.indexOf(u'B');
    if (p >= 0) {
        parts[0] = QStringLiteral("B") + Vb::DoubleText(Vb::Val(s.mid(p + 1)));
        qsizetype q = p + 1;
        while (q < s.size() && s.at(q) >= u'0' && s.at(q) <= u'9') ++q;
        s = s.left(p) + s.mid(q);
    }
    if (s.contains(u'N')) {
        parts[1] = QStringLiteral("N");
        s.remove(u'N');
    }
    parts[2] = s.remove(u',');
    return parts;
}

QString ProcessMarkedListA(const QString& baseFlags, const QString& list) {
    QStringList parts = SplitFlags(baseFlags);
    const QStringList marked = listParts(list);
    for (int k = 0; k < 3; ++k)
        if (marked.at(k) != u"*") parts[k] = marked.at(k);
    return parts.join(QString());
}

QString ProcessMarkedListB(const QString& list, const QString& flags) {
    QStringList marked = listParts(list);
    const QStringList parts = SplitFlags(flags);
    for (int k = 0; k < 3; ++k)
        if (parts.at(k) != marked.at(k)) marked[k] = QStringLiteral("*");
    return marked.join(u',');
}

void SplitTempoString(QString& text, QString& out) {
    out.clear();
    const qsizetype p = text.indexOf(QStringLiteral("tempo="));
    if (p < 0) return;
    const qsizetype q = text.indexOf(OptionSeparator(), p);
    if (q >= 0) {
        out = text.mid(p, q - p);
        text.remove(p, q + OptionSeparator().size() - p);
    } else {
        out = text;
        text.clear();
    }
}

}  // namespace tova
