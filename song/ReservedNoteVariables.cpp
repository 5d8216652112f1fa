#include "song/ReservedNoteVariables.h"

#include "song/NoteExtension.h"

#include <QStringList>

namespace tova {

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

QStringView trimmedBlanks(QStringView s) {
    while (!s.isEmpty() && isBlank(s.front())) s = s.mid(1);
    while (!s.isEmpty() && isBlank(s.back())) s.chop(1);
    return s;
}

}  // namespace

bool IsReservedNoteVariable(QStringView name) {
    const QStringView n = trimmedBlanks(name);
    if (n.isEmpty()) return false;
    // The render batch's own programs, batches and paths.
    static const char16_t* const exact[] = {
        u"tool", u"vorsa", u"helper", u"output", u"oto", u"cachedir", u"temp",
        // The batch runner's program search and temporary folders.
        u"PATH", u"PATHEXT", u"COMSPEC", u"TMP", u"TMPDIR", u"HOME",
        // What the loader and the C library read from the environment of a started program.
        u"GCONV_PATH", u"LOCPATH", u"NLSPATH", u"HOSTALIASES", u"RESOLV_HOST_CONF", u"TZDIR", u"IFS",
        u"ENV", u"BASH_ENV"};
    for (const char16_t* e : exact)
        if (n.compare(QStringView(e), Qt::CaseInsensitive) == 0) return true;
    for (const char16_t* prefix : {u"LD_", u"GLIBC_", u"MALLOC_"})
        if (n.startsWith(QStringView(prefix), Qt::CaseInsensitive)) return true;
    return false;
}

bool SetsReservedNoteVariable(QStringView entry) {
    if (!entry.startsWith(u'@')) return false;
    const qsizetype eq = entry.indexOf(u'=');
    return IsReservedNoteVariable(entry.mid(1, eq < 0 ? -1 : eq - 1));
}

QStringList RemoveReservedNoteVariables(QString& options) {
    QStringList removed;
    if (!options.contains(u'@')) return removed;
    const QStringList entries = options.split(OptionSeparator());
    QStringList kept;
    kept.reserve(entries.size());
    for (const QString& entry : entries) {
        if (SetsReservedNoteVariable(entry))
            removed << entry.section(u'=', 0, 0);
        else
            kept << entry;
    }
    if (!removed.isEmpty()) options = kept.join(OptionSeparator());
    return removed;
}

}  // namespace tova
