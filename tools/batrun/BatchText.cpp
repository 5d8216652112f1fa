#include "tools/batrun/BatchText.h"

#include "tools/batrun/BatchLineError.h"

namespace tova {
namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

}  // namespace

QList<BatchToken> batchTokens(const QString& line, qsizetype from) {
    QList<BatchToken> tokens;
    qsizetype i = from;
    const qsizetype n = line.size();
    while (true) {
        while (i < n && isBlank(line[i])) ++i;
        if (i >= n) break;
        BatchToken t;
        bool quoted = false;
        while (i < n && (quoted || !isBlank(line[i]))) {
            const QChar c = line[i];
            t.raw += c;
            if (c == u'"')
                quoted = !quoted;
            else
                t.text += c;
            ++i;
        }
        t.end = i;
        tokens.append(t);
    }
    return tokens;
}

QString batchRest(const QString& line, qsizetype from) {
    qsizetype i = from;
    while (i < line.size() && isBlank(line[i])) ++i;
    return line.mid(i);
}

QStringList batchSplitOutsideQuotes(const QString& text, const QString& separators) {
    QStringList parts;
    QString cur;
    bool quoted = false;
    for (QChar c : text) {
        if (c == u'"') quoted = !quoted;
        if (!quoted && separators.contains(c)) {
            parts.append(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    parts.append(cur);
    return parts;
}

QString batchExpand(const QString& line, const std::function<QString(const QString&)>& variable,
                    const QStringList& arguments, qsizetype limit) {
    QString out;
    out.reserve(line.size());
    const qsizetype n = line.size();
    qsizetype i = 0;
    while (i < n) {
        if (out.size() > limit)
            throw BatchLineError(QStringLiteral("a line holds at most %1 characters once expanded").arg(limit));
        const QChar c = line[i];
        if (c != u'%') {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 < n && line[i + 1] == u'%') {
            out += u'%';
            i += 2;
            continue;
        }
        if (i + 1 < n && line[i + 1] >= u'0' && line[i + 1] <= u'9') {
            const int k = line[i + 1].unicode() - u'0';
            if (k < arguments.size()) out += arguments[k];
            i += 2;
            continue;
        }
        const qsizetype close = line.indexOf(u'%', i + 1);
        if (close < 0) {
            ++i;  // a lone "%" is dropped
            continue;
        }
        out += variable(line.mid(i + 1, close - i - 1));
        i = close + 1;
    }
    if (out.size() > limit)
        throw BatchLineError(QStringLiteral("a line holds at most %1 characters once expanded").arg(limit));
    return out;
}

}  // namespace tova
