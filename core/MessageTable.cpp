#include "core/MessageTable.h"

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

}  // namespace

QString GetMessage(const QString& key, const MessageArg& arg1, const MessageArg& arg2, const MessageArg& arg3,
                   const MessageArg& arg4) {
    QString s = key;
    s.replace(QStringLiteral("\\n"), QStringLiteral("\r\n"));
    const MessageArg* const args[4] = {&arg1, &arg2, &arg3, &arg4};
    return fillPlaceholders(s, args);
}

QString StripQuotes(const QString& text) {
    if (text.size() > 2 && text.front() == u'"' && text.back() == u'"') return text.mid(1, text.size() - 2);
    return text;
}

}  // namespace tova
