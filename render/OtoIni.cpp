#include "render/OtoIni.h"

#include "core/FileHelpers.h"
#include "core/Settings.h"
#include "platform/FileSetCommit.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Vb.h"
#include "render/AliasLookup.h"
#include "platform/Cp932.h"
#include "platform/Cp932Lines.h"
#include "render/OtoLoadHost.h"

namespace tova {
namespace {

const QString kTab = QStringLiteral("\t");
const QString kCrLf = QStringLiteral("\r\n");

void setStatus(const QString& text) {
    if (OtoLoadHost* host = otoLoadHost()) host->SetOtoStatusText(text);
}

void setEntry(QStringList& table, qsizetype n, const QString& text) {
    if (n < table.size()) table[n] = text;
    else table.append(text);
}

// All names that one directory search returns (the search serves one listing at a time).
QStringList listAll(const QString& pattern, int mask) {
    QStringList names;
    for (QString n = SafeDir(pattern, mask); !n.isEmpty(); n = SafeDir()) names << n;
    return names;
}

// The sub-folders of a folder in listing order, without "." and "..".
QStringList subFolders(const QString& folder) {
    QStringList out;
    for (const QString& n : listAll(PathText::join(folder, QStringLiteral("*.*")), kDirFolders)) {
        if (n == u"." || n == u"..") continue;
        if (FileSystem::isFolder(PathText::join(folder, n))) out << n;
    }
    return out;
}

bool hasOtoIni(const QString& folder) { return FileExists(PathText::join(folder, QStringLiteral("oto.ini"))); }

// A folder without oto.ini: its ".wav" files, or its ".aiff" files when it has none, each stored as
// `prefix` + name + TAB.
void listSamples(const QString& folder, const QString& prefix, QStringList& table, qsizetype& n) {
    QStringList files = listAll(PathText::join(folder, QStringLiteral("*.wav")), kDirFiles);
    if (files.isEmpty()) files = listAll(PathText::join(folder, QStringLiteral("*.aiff")), kDirFiles);
    for (const QString& f : files) {
        setEntry(table, n, prefix + f + kTab);
        ++n;
    }
}

// One oto.ini into the table and the index; `prefix` is "" for the voice folder's own file and the
// sub-folder name followed by "\" for a sub-folder's.
void readOtoFile(const QString& path, const QString& prefix, QStringList& table, clsMap& index, qsizetype& n,
                 QString& report) {
    const QString text = Cp932::decodeMarked(ReadBoundedTextFile(path, kOtoIniBounds));
    const QList<QStringView> lines = TextLines(text);
    index.reserve(index.Keys().size() + 2 * lines.size());  // at most a file and an alias per line
    table.reserve(n + lines.size());
    for (const QStringView line : lines) {
        if (line.isEmpty()) continue;
        // Exactly one "=": file name, then the comma-separated fields.
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0 || line.indexOf(u'=', eq + 1) >= 0) continue;
        QString file = prefix;
        file += line.left(eq);
        const QStringView rest = line.mid(eq + 1);
        if (rest.isEmpty()) {
            setEntry(table, n, file);  // the file alone: an entry without fields, not indexed or checked
        } else {
            const QString number = QString::number(n);
            index.add(file, number);  // the first record of a file keeps the key
            // The entry: file, TAB, the fields with their commas turned into TABs.
            QString entry;
            entry.reserve(file.size() + 1 + rest.size());
            entry += file;
            entry += u'\t';
            const qsizetype start = entry.size();
            entry += rest;
            QChar* d = entry.data();
            for (qsizetype k = start; k < entry.size(); ++k)
                if (d[k] == u',') d[k] = u'\t';
            setEntry(table, n, entry);
            report += CheckOtoEntry(entry);
            const qsizetype comma = rest.indexOf(u',');
            const QStringView alias = comma < 0 ? rest : rest.left(comma);
            if (!alias.isEmpty()) index.add(alias.toString(), number);  // likewise the first of an alias
        }
        ++n;
    }
}

}  // namespace

QStringList& OtoTable() {
    static QStringList table{QString()};
    return table;
}

clsMap& OtoIndex() {
    static clsMap index;
    return index;
}

bool OtoTableIsEmpty() {
    const QStringList& t = OtoTable();
    return t.isEmpty() || (t.size() == 1 && t[0].isEmpty());
}

void LoadOtoIni(const QString& folder) {
    QStringList& table = OtoTable();
    clsMap& index = OtoIndex();
    table = QStringList{QString()};
    index.Clear();
    qsizetype n = 0;
    QString report;
    // No voice folder: no bank (an empty text would otherwise name the current folder).
    if (folder.isEmpty()) return;

    RecoverOtoSave(folder);
    try {
        setStatus(QStringLiteral("loading oto.ini..."));
        if (!hasOtoIni(folder)) listSamples(folder, QString(), table, n);
        else readOtoFile(PathText::join(folder, QStringLiteral("oto.ini")), QString(), table, index, n, report);

        setStatus(QStringLiteral("search folders..."));
        for (const QString& s : subFolders(folder)) {
            const QString sub = PathText::join(folder, s);
            if (!hasOtoIni(sub)) {
                listSamples(sub, s + u'\\', table, n);
            } else {
                setStatus(QStringLiteral("loading ") + s + QStringLiteral("\\oto.ini..."));
                readOtoFile(PathText::join(sub, QStringLiteral("oto.ini")), s + u'\\', table, index, n, report);
            }
        }
    } catch (...) {
        // No half-read bank: a file that could not be read leaves no table at all.
        table = QStringList{QString()};
        index.Clear();
        setStatus(QString());
        throw;
    }
    setStatus(QString());

    if (!report.isEmpty() && !settings().NoOtoReport)
        if (OtoLoadHost* host = otoLoadHost()) host->ShowOtoReport(report);
}

QString OtoSaveJournal(const QString& voiceFolder) {
    return FileSystem::resolve(voiceFolder) + QStringLiteral("/oto.ini.tova-saving");
}

void RecoverOtoSave(const QString& voiceFolder) {
    if (voiceFolder.isEmpty() || !FileSystem::isFolder(voiceFolder)) return;
    const QString folder = FileSystem::resolve(voiceFolder);
    const QString otoIni = QStringLiteral("oto.ini");
    QStringList targets{PathText::join(folder, otoIni)};
    for (const QString& s : subFolders(folder)) targets << PathText::join(PathText::join(folder, s), otoIni);
    FileSetCommit::Recover(OtoSaveJournal(folder), targets);
}

void ClearOtoTable() {
    OtoTable() = QStringList{QString()};
    ResetPrefixMap();
}

QString CheckOtoEntry(const QString& entry) {
    // The first seven fields, as views into the entry (the check runs for every record of a bank).
    QStringView f[7];
    qsizetype count = 0;
    const QStringView all(entry);
    for (qsizetype start = 0; count < 7;) {
        const qsizetype tab = all.indexOf(u'\t', start);
        f[count++] = tab < 0 ? all.mid(start) : all.mid(start, tab - start);
        if (tab < 0) break;
        start = tab + 1;
    }
    if (count < 7) return QString();
    auto line = [&f](const char16_t* label, const char16_t* reason) {
        QString text = QString::fromUtf16(label) + u'"';
        text += f[0];
        return text + u'"' + QString::fromUtf16(reason) + kCrLf;
    };
    if (f[2].isEmpty() && f[3].isEmpty() && f[4].isEmpty() && f[5].isEmpty() && f[6].isEmpty())
        return line(u"情報：", u"は未設定です。");

    auto number = [](QStringView v) { return Vb::Val(QString::fromRawData(v.data(), v.size())); };
    const double consonant = number(f[3]);
    const double pre = number(f[5]);
    const double overlap = number(f[6]);
    QString out;
    if (f[3] == u"0") out += line(u"警告：", u"の固定範囲がゼロです。");
    if (overlap > pre) out += line(u"情報：", u"は先行発声よりオーバーラップが長い。");
    if (pre > consonant) out += line(u"情報：", u"は先行発声が固定範囲の外にあります。");
    return out;
}

QStringList ListVoiceWaves(const QString& folder) {
    QStringList result;
    if (folder.isEmpty()) return result;
    QStringList subs;
    for (const QString& n : listAll(PathText::join(folder, QStringLiteral("*.*")), kDirFolders)) {
        if (n == u"." || n == u"..") continue;
        if (FileSystem::isFolder(PathText::join(folder, n))) {
            subs << n;
            continue;
        }
        const QString lower = n.toLower();
        if (lower.endsWith(QStringLiteral(".wav")) || lower.endsWith(QStringLiteral(".aiff"))) result << n;
    }
    for (const QString& s : subs) {
        const QString sub = PathText::join(folder, s);
        for (const QString& f : listAll(PathText::join(sub, QStringLiteral("*.wav")), kDirFiles)) result << s + u'\\' + f;
        for (const QString& f : listAll(PathText::join(sub, QStringLiteral("*.aiff")), kDirFiles)) result << s + u'\\' + f;
    }
    return result;
}

}  // namespace tova
