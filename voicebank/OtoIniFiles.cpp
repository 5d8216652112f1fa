#include "voicebank/OtoIniFiles.h"

#include "core/FileHelpers.h"
#include "core/MessageTable.h"
#include "platform/Cp932.h"
#include "platform/Cp932Lines.h"
#include "platform/FileReplace.h"
#include "platform/FileSetCommit.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Ports.h"
#include "platform/Vb.h"
#include "render/OtoIni.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <numeric>

#include <cmath>
#include <limits>
#include <memory>

namespace tova {
namespace {

const QString kOtoIni = QStringLiteral("oto.ini");

// The sample files of a folder: its ".wav" files, or its ".aiff" files when it has none.
QStringList sampleFiles(const QString& folder) {
    QStringList files = FileSystem::list(folder, QStringLiteral("*.wav"), false);
    if (files.isEmpty()) files = FileSystem::list(folder, QStringLiteral("*.aiff"), false);
    return files;
}

// The key under which a sample name is compared with the names of other entries: letter case and the
// kind of separator do not matter (the file-system layer opens such names alike).
QString nameKey(const QString& name) { return PathText::toSlashes(name).toLower(); }

// One oto.ini into the entries; `prefix` goes before every file name.
void readOtoFile(const QString& path, const QString& prefix, OtoReadResult& out) {
    KeptTextFile file = KeptTextFile::read(path, kOtoIniBounds);
    const int index = int(out.files.size());
    for (qsizetype i = 0; i < file.lines.size(); ++i) {
        const QString& line = file.lines[i].text;
        if (line.isEmpty()) continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0 || line.indexOf(u'=', eq + 1) >= 0) continue;
        QString entry = prefix;
        entry += QStringView(line).left(eq);
        const QStringView rest = QStringView(line).mid(eq + 1);
        if (!rest.isEmpty()) {
            entry += u'\t';
            const qsizetype start = entry.size();
            entry += rest;
            for (qsizetype k = start; k < entry.size(); ++k)
                if (entry[k] == u',') entry[k] = u'\t';
        }
        out.entries << entry;
        out.origins << OtoOrigin{index, int(i), line.left(eq)};
    }
    out.files << std::move(file);
}

void listInstead(const QString& folder, const QString& prefix, OtoReadResult& out) {
    QSet<QString> named;
    for (const QString& e : out.entries) named.insert(nameKey(e.left(e.indexOf(u'\t'))));
    for (const QString& f : sampleFiles(folder)) {
        if (named.contains(nameKey(prefix + f))) continue;
        out.entries << prefix + f + u'\t';
        out.origins << OtoOrigin{};
    }
}

bool isAbsoluteName(const QString& name) {
    return name.startsWith(u'/') || name.startsWith(u'\\') || name.contains(u':');
}

bool hasParentStep(const QString& name) {
    for (const QString& part : PathText::toSlashes(name).split(u'/'))
        if (part == u"..") return true;
    return false;
}

// The overlap a row without one is saved with: half the rounded pre-utterance.
QString defaultOverlap(const QString& preutterance) {
    const double rounded = std::nearbyint(Vb::Val(preutterance));  // the default rounding: halves to even
    constexpr double kLimit = 9.0e18;
    if (!(std::fabs(rounded) < kLimit)) return Vb::DoubleText(std::trunc(rounded / 2));
    return QString::number(static_cast<qint64>(rounded) / 2);
}

// The line of an entry: the name as its file writes it, "=", the six values and any fields after them.
QString entryLine(const QString& name, const SampleRow& row, const QStringList& extra = {}) {
    QString line = name;
    line += u'=';
    for (int n = 1; n <= 6; ++n) {
        if (n > 1) line += u',';
        line += row.item(n);
    }
    for (const QString& e : extra) line += u',' + e;
    return line;
}

// Why a line cannot be written (empty when it can): a text that would break it, or characters its file
// cannot hold.
QString lineRefusal(const SampleRow& row, const QString& name, const QString& line, const KeptTextFile& file) {
    bool breaksLine = name.contains(u'=');
    for (int n = 1; n <= 6; ++n) breaksLine = breaksLine || row.item(n).contains(u',') || row.item(n).contains(u'=');
    breaksLine = breaksLine || line.contains(u'\r') || line.contains(u'\n');
    if (breaksLine)  // read back, such a line would be skipped or its values shifted
        return GetMessage(QStringLiteral("「{1}」の設定に「=」「,」または改行が含まれています。保存を中止しました。"), row.text);
    if (!file.canHold(line))
        return GetMessage(QStringLiteral("「{1}」の設定にはoto.iniに書けない文字が含まれています。保存を中止しました。"), row.text);
    return QString();
}

bool hasValues(const SampleRow& row) {
    for (int n = 1; n <= 6; ++n)
        if (!row.item(n).isEmpty()) return true;
    return false;
}

void fillOverlap(SampleRow& row) {
    if (row.item(6).isEmpty() && !row.item(5).isEmpty()) row.item(6) = defaultOverlap(row.item(5));
}

OtoSaveResult refused(const QString& message) {
    OtoSaveResult r;
    r.status = OtoSaveResult::Refused;
    r.message = message;
    return r;
}

// Every row into one new file under its full name.
OtoSaveResult saveAllRowsTo(QList<SampleRow>& rows, const QString& target) {
    QList<int> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const OtoOrigin& x = rows[a].origin;
        const OtoOrigin& y = rows[b].origin;
        const bool xr = x.line >= 0, yr = y.line >= 0;
        if (xr != yr) return xr;
        if (!xr) return false;
        return x.file != y.file ? x.file < y.file : x.line < y.line;
    });
    KeptTextFile file;
    file.path = target;
    for (const int i : order) {
        SampleRow& row = rows[i];
        fillOverlap(row);
        const QString line = entryLine(row.text, row);
        const QString why = lineRefusal(row, row.text, line, file);
        if (!why.isEmpty()) return refused(why);
        file.append(line);
    }
    QString reason;
    if (!ReplaceFile(target, file.bytes(), &reason))
        return refused(GetMessage(QStringLiteral("{1}を保存できませんでした。"), target) + u'\n' + reason);
    OtoSaveResult r;
    r.written << target;
    return r;
}

}  // namespace

OtoReadResult ReadOtoIni(const QString& voiceFolder, const QString& selector) {
    OtoReadResult out;
    const bool reload = selector == u"RELOAD";
    const QString path = reload ? PathText::join(voiceFolder, kOtoIni) : selector;
    if (!FileExists(path)) listInstead(PathText::folderPart(path), QString(), out);
    else readOtoFile(path, QString(), out);
    if (reload) ReadOtoSubFolders(voiceFolder, out);
    return out;
}

void ReadOtoSubFolders(const QString& voiceFolder, OtoReadResult& out) {
    QStringList files, folders;
    ListFolder(voiceFolder, files, folders);
    for (const QString& d : folders) {
        const QString sub = PathText::join(voiceFolder, d);
        const QString ini = PathText::join(sub, kOtoIni);
        if (FileExists(ini)) readOtoFile(ini, d + u'\\', out);
        else listInstead(sub, d + u'\\', out);
    }
}

OtoSaveResult SaveOtoIni(QList<SampleRow>& rows, const QString& base, const QString& target,
                         const QList<KeptTextFile>& read) {
    OtoSaveResult result;
    if (base.isEmpty()) {
        result.status = OtoSaveResult::NoFolder;
        return result;
    }
    const QString defaultPath = PathText::join(base, kOtoIni);
    const QString mainPath = target.isEmpty() ? defaultPath : target;
    if (PathText::toSlashes(mainPath) != PathText::toSlashes(defaultPath)) return saveAllRowsTo(rows, mainPath);

    QList<KeptTextFile> files = read;
    QList<QSet<qsizetype>> kept(files.size());  // per file: the lines whose entry still has its row
    struct Replace {
        int file;
        qsizetype line;
        QString text;
    };
    QList<Replace> replaces;
    for (SampleRow& row : rows) {
        const OtoOrigin& o = row.origin;
        if (o.line < 0 || o.file < 0 || o.file >= files.size() || o.line >= files[o.file].lines.size()) continue;
        kept[o.file].insert(o.line);
        const KeptTextFile::Line& line = files[o.file].lines[o.line];
        const qsizetype eq = line.text.indexOf(u'=');
        // Split as the reader splits: a TAB in the line separates fields as a comma does.
        QString rest = line.text.mid(eq + 1);
        rest.replace(u'\t', u',');
        const QStringList fields = rest.split(u',');
        bool same = true;
        for (int n = 1; n <= 6 && same; ++n) same = row.item(n) == (n <= fields.size() ? fields[n - 1] : QString());
        if (same) continue;
        if (!line.clean)
            return refused(GetMessage(
                QStringLiteral("{1}は読み込んだときに文字化けがありました。上書きすると内容が失われるため、保存を中止しました。"),
                files[o.file].path));
        fillOverlap(row);
        const QString text = entryLine(o.name, row, fields.mid(6));
        const QString why = lineRefusal(row, o.name, text, files[o.file]);
        if (!why.isEmpty()) return refused(why);
        replaces.append({o.file, o.line, text});
    }
    for (const Replace& r : replaces) files[r.file].setLine(r.line, r.text);
    // The lines of entries whose rows were removed go; lines that gave no entry stay.
    for (qsizetype f = 0; f < files.size(); ++f)
        for (qsizetype i = files[f].lines.size() - 1; i >= 0; --i) {
            const QString& text = files[f].lines[i].text;
            const qsizetype eq = text.indexOf(u'=');
            // A lone "=" gives an empty entry, which the list shows no row for.
            if (eq >= 0 && text.indexOf(u'=', eq + 1) < 0 && text != u"=" && !kept[f].contains(i)) files[f].removeLine(i);
        }

    // Rows no line gave, appended to their files.
    const auto fileOf = [&](const QString& path) {
        const QString resolved = FileSystem::resolve(path);
        for (qsizetype f = 0; f < files.size(); ++f)
            if (FileSystem::resolve(files[f].path) == resolved) return int(f);
        files << KeptTextFile::read(path, kOtoIniBounds);
        return int(files.size() - 1);
    };
    for (SampleRow& row : rows) {
        const OtoOrigin& o = row.origin;
        if (o.line >= 0 && o.file >= 0 && o.file < read.size()) continue;
        int file = -1;
        QString name = row.text;
        if (o.file >= 0 && o.file < read.size()) {
            file = o.file;
            name = o.name;
        } else {
            if (!hasValues(row)) continue;  // a sample found in the folder and left without settings
            const qsizetype sep = PathText::toSlashes(name).indexOf(u'/');
            if (sep > 0) {
                const QString folder = name.left(sep);
                if (!isAbsoluteName(folder) && folder != u".." && folder != u"." &&
                    FileSystem::isFolder(PathText::join(base, folder))) {
                    file = fileOf(PathText::join(PathText::join(base, folder), kOtoIni));
                    name = name.mid(sep + 1);
                }
            }
            if (file < 0) file = fileOf(defaultPath);
        }
        fillOverlap(row);
        const QString text = entryLine(name, row);
        const QString why = lineRefusal(row, name, text, files[file]);
        if (!why.isEmpty()) return refused(why);
        files[file].append(text);
    }

    RecoverOtoSave(base);  // a set another save left half done is settled before the disk is compared
    QList<const KeptTextFile*> changed;
    for (const KeptTextFile& f : files)
        if (f.changed()) changed << &f;
    for (const KeptTextFile* f : changed)
        if (!MayOverwrite(*f)) return refused(QString());
    if (changed.isEmpty()) return result;

    FileSetCommit set(OtoSaveJournal(base));
    for (const KeptTextFile* f : changed) set.add(FileSystem::resolve(f->path), f->bytes());
    QString error;
    if (!set.commit(&error))
        return refused(GetMessage(QStringLiteral("{1}を保存できませんでした。"), defaultPath) + u'\n' + error);
    for (const KeptTextFile* f : changed) result.written << f->path;
    return result;
}

void ListFolder(const QString& folder, QStringList& files, QStringList& folders) {
    // Two listings tell files from folders by the folder's own records, without looking at each entry.
    files = FileSystem::list(folder, QStringLiteral("*.*"), false);
    const QSet<QString> isFile(files.cbegin(), files.cend());
    folders.clear();
    for (const QString& n : FileSystem::list(folder, QStringLiteral("*.*"), true))
        if (n != u"." && n != u".." && !isFile.contains(n)) folders << n;
}

QString SampleFilePath(const QString& voiceFolder, const QString& name) {
    if (name.isEmpty() || isAbsoluteName(name) || hasParentStep(name)) return QString();
    return PathText::join(voiceFolder, name);
}

QString FrqFilePath(const QString& samplePath) {
    QString p = samplePath + QStringLiteral(".frq");
    if (p.endsWith(QStringLiteral(".wav.frq"))) p.replace(p.size() - 8, 8, QStringLiteral("_wav.frq"));
    return p;
}

QString FrqMark(const QString& voiceFolder, const QString& name, const QString& none) {
    const QString sample = SampleFilePath(voiceFolder, name);
    if (sample.isEmpty()) return none;
    return FileSystem::isFile(FrqFilePath(sample)) ? QStringLiteral("○") : none;
}

QString FrqMarks::mark(const QString& name, const QString& none) {
    const QString sample = SampleFilePath(folder_, name);
    if (sample.isEmpty()) return none;
    const QString table = FrqFilePath(sample);
    const qsizetype sep = PathText::lastSeparator(table);
    const QString folderPart = table.left(sep);
    auto it = tables_.find(folderPart);
    if (it == tables_.end()) {
        QSet<QString> names;
        for (const QString& n : FileSystem::list(folderPart, QStringLiteral("*.frq"), false)) names.insert(n.toLower());
        it = tables_.insert(folderPart, names);
    }
    return it->contains(table.mid(sep + 1).toLower()) ? QStringLiteral("○") : none;
}

QString RowSortKey(const QString& name) {
    uint code = 0;
    if (!name.isEmpty()) {
        const qsizetype len = name.size() > 1 && name[0].isHighSurrogate() ? 2 : 1;
        const QByteArray b = Cp932::encode(name.left(len));
        for (const char c : b) code = (code << 8) | uchar(c);
    }
    return QStringLiteral("%1").arg(code & 0xFFFF, 4, 16, QLatin1Char('0')).toUpper() + name;
}

bool Cp932CanHold(const QString& text) {
    // An unmapped character becomes "?"; byte 3F is never the second byte of a double-byte character,
    // so the text fits exactly when the encoding holds no more "?" than the text.
    const QByteArray b = Cp932::encode(text);
    return b.count('?') == text.count(u'?');
}

}  // namespace tova
