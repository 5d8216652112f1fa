#include "core/MessageTable.h"

#include "platform/EventGuard.h"

#include "core/FileHelpers.h"
#include "core/Utf16Text.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/SystemPaths.h"

#include <QFile>

namespace tova {

namespace {

// Fills "{1}".."{4}" in one left-to-right pass over the template, so inserted texts are never
// scanned again.
QString fillPlaceholders(const QString& s, const MessageArg* const args[4]) {
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == u'{' && i + 2 < s.size() && s[i + 2] == u'}') {
            const char16_t d = s[i + 1].unicode();
            if (d >= u'1' && d <= u'4' && args[d - u'1']->given()) {
                out += args[d - u'1']->text();
                i += 2;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

// Without leading and trailing spaces (U+0020 only: TABs and full-width spaces stay).
QString trimSpaces(const QString& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s[b] == u' ') ++b;
    while (e > b && s[e - 1] == u' ') --e;
    return s.mid(b, e - b);
}

}  // namespace

clsMap& MessageTable() {
    static clsMap table;
    return table;
}

namespace {
// The event guard's titles pass through the message table like every text.
QString lookUp(const QString& key) { return GetMessage(key); }
const bool kGuardLookupBound = [] {
    EventGuard::bindMessageLookup(&lookUp);
    return true;
}();
}  // namespace

void LoadMessageTable() {
    clsMap& table = MessageTable();
    table.Clear();
    const QString res = PathText::join(SystemPaths::programFolder(), QStringLiteral("res"));
    if (SafeDir(PathText::join(res, QStringLiteral("message.txt"))).isEmpty()) return;
    QFile f(FileSystem::resolve(PathText::join(res, QStringLiteral("message.txt"))));
    if (!f.open(QIODevice::ReadOnly)) return;
    const QStringList lines = ReadUtf16Lines(f.readAll());
    f.close();
    for (const QString& line : lines) {
        if (line.isEmpty()) continue;
        qsizetype first = 0;
        while (first < line.size() && line[first] == u' ') ++first;
        if (first < line.size() && line[first] == u'#') continue;
        const qsizetype tab = line.indexOf(u'\t');
        if (tab < 0) continue;
        table.add(StripQuotes(trimSpaces(line.left(tab))), StripQuotes(trimSpaces(line.mid(tab + 1))));
    }
}

QString GetMessage(const QString& key, const MessageArg& arg1, const MessageArg& arg2, const MessageArg& arg3,
                   const MessageArg& arg4) {
    QString s = MessageTable().ContainsKey(key) ? MessageTable().Value(key) : key;
    s.replace(QStringLiteral("\\n"), QStringLiteral("\r\n"));
    const MessageArg* const args[4] = {&arg1, &arg2, &arg3, &arg4};
    return fillPlaceholders(s, args);
}

QString StripQuotes(const QString& text) {
    if (text.size() > 2 && text.front() == u'"' && text.back() == u'"') return text.mid(1, text.size() - 2);
    return text;
}

}  // namespace tova
