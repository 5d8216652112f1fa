#include "song/NoteExtension.h"

#include "song/OptionList.h"

namespace tova {

namespace {

// Key of an option entry: the text before its first "=" (the whole entry when it has none).
QStringView entryKey(QStringView entry) {
    const qsizetype eq = entry.indexOf(u'=');
    return eq < 0 ? entry : entry.left(eq);
}

// Value of an option entry: the text between its first and a second "=".
QStringView entryValue(QStringView entry) {
    const qsizetype eq = entry.indexOf(u'=');
    if (eq < 0) return {};
    const QStringView rest = entry.mid(eq + 1);
    const qsizetype eq2 = rest.indexOf(u'=');
    return eq2 < 0 ? rest : rest.left(eq2);
}

QStringList splitList(const QString& list) {
    if (list.isEmpty()) return {};
    return list.split(OptionSeparator());
}

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Position of the flag and length of the flag text (letter plus its number); -1 when absent.
qsizetype findFlag(const QString& flags, const QString& letter, qsizetype& length) {
    length = 0;
    if (letter.isEmpty()) return -1;
    const qsizetype at = flags.indexOf(letter);
    if (at < 0) return -1;
    qsizetype p = at + 1;
    if (p < flags.size() && (flags.at(p) == u'+' || flags.at(p) == u'-' || isDigit(flags.at(p)))) {
        ++p;
        while (p < flags.size() && isDigit(flags.at(p))) ++p;
    }
    length = p - at;
    return at;
}

}  // namespace

QStringList SplitNoteExt(const QString& ext) {
    QStringList f = ext.split(u'\t');
    f.resize(ExtFieldCount);
    return f;
}

QString JoinNoteExt(QStringList fields) {
    fields.resize(ExtFieldCount);
    return fields.join(u'\t');
}

QString NoteExtField(const QString& ext, int index) {
    if (index < 0 || index >= ExtFieldCount) return {};
    qsizetype start = 0;
    for (int i = 0; i < index; ++i) {
        const qsizetype tab = ext.indexOf(u'\t', start);
        if (tab < 0) return {};
        start = tab + 1;
    }
    const qsizetype end = ext.indexOf(u'\t', start);
    return ext.mid(start, end < 0 ? -1 : end - start);
}

QString GetListValue(const QString& list, const QString& key) {
    if (list.isEmpty()) return {};
    const QStringView all(list);
    qsizetype start = 0;
    for (;;) {
        const qsizetype sep = list.indexOf(OptionSeparator(), start);
        const QStringView entry = all.mid(start, sep < 0 ? -1 : sep - start);
        if (entryKey(entry) == key) return entryValue(entry).toString();
        if (sep < 0) return {};
        start = sep + OptionSeparator().size();
    }
}

QString GetNoteOption(const QString& ext, const QString& key) {
    return GetListValue(NoteExtField(ext, ExtOptions), key);
}

void SetListValue(QString& list, const QString& key, const QString& value) {
    OptionList options(list);
    options.set(key, value);
    list = options.text();
}

void SetNoteOption(QString& ext, const QString& key, const QString& value) {
    QStringList f = SplitNoteExt(ext);
    SetListValue(f[ExtOptions], key, value);
    ext = JoinNoteExt(f);
}

QString GetNoteAtEntries(const QString& ext) {
    QString out;
    for (const QString& e : splitList(NoteExtField(ext, ExtOptions)))
        if (e.startsWith(u'@')) out += e + QStringLiteral("\r\n");
    return out;
}

QString GetNoteAtKeys(const QString& ext) {
    QString out;
    for (const QString& e : splitList(NoteExtField(ext, ExtOptions)))
        if (e.startsWith(u'@')) out += entryKey(e).toString() + QStringLiteral("=\r\n");
    return out;
}

void SetNotePreOverlap(QString& ext, const QString& pre, const QString& overlap) {
    QStringList f = SplitNoteExt(ext);
    QStringList parts = f[ExtTiming].split(u':');
    parts.resize(3);
    parts[0] = pre;
    parts[1] = overlap;
    f[ExtTiming] = parts.join(u':');
    ext = JoinNoteExt(f);
}

void SetNoteIntensityModFlags(QString& ext, qint16 intensity, qint16 modulation, const QString& flags) {
    QStringList f = SplitNoteExt(ext);
    f[ExtIntensity] = QString::number(intensity);
    f[ExtModulation] = QString::number(modulation);
    f[ExtFlags] = flags;
    ext = JoinNoteExt(f);
}

QString GetFlagValue(const QString& flags, const QString& letter) {
    qsizetype length = 0;
    const qsizetype at = findFlag(flags, letter, length);
    if (at < 0) return {};
    return flags.mid(at + 1, length - 1);
}

QString CutFlag(QString& flags, const QString& letter) {
    qsizetype length = 0;
    const qsizetype at = findFlag(flags, letter, length);
    if (at < 0) return {};
    const QString cut = flags.mid(at, length);
    flags.remove(at, length);
    return cut;
}

}  // namespace tova
