#include "voicebank/OtoIniFiles.h"

#include "core/FileHelpers.h"
#include "core/MessageTable.h"
#include "platform/Cp932.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Vb.h"
#include "platform/Cp932Lines.h"

#include <QHash>
#include <QSaveFile>

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

// One oto.ini into the entries; `prefix` goes before every file name.
void readOtoFile(const QString& path, const QString& prefix, OtoReadResult& out) {
    bool clean = true;
    const QString text = ReadCp932Text(path, &clean);
    if (!clean) out.uncleanFiles << path;
    for (const QStringView line : TextLines(text)) {
        if (line.isEmpty()) continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0 || line.indexOf(u'=', eq + 1) >= 0) continue;
        QString entry = prefix;
        entry += line.left(eq);
        const QStringView rest = line.mid(eq + 1);
        if (!rest.isEmpty()) {
            entry += u'\t';
            const qsizetype start = entry.size();
            entry += rest;
            for (qsizetype k = start; k < entry.size(); ++k)
                if (entry[k] == u',') entry[k] = u'\t';
        }
        out.entries << entry;
    }
}

void listInstead(const QString& folder, const QString& prefix, OtoReadResult& out) {
    for (const QString& f : sampleFiles(folder)) out.entries << prefix + f + u'\t';
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

// One file being written: its lines in code page 932 and the row that first went to it.
struct OutFile {
    QString path;
    QByteArray bytes;
};

}  // namespace

OtoReadResult ReadOtoIni(const QString& voiceFolder, const QString& selector) {
    OtoReadResult out;
    const bool reload = selector == u"RELOAD";
    const QString path = reload ? PathText::join(voiceFolder, kOtoIni) : selector;
    if (!FileExists(path)) listInstead(PathText::folderPart(path), QString(), out);
    else readOtoFile(path, QString(), out);
    if (!reload) return out;
    QStringList files, folders;
    ListFolder(voiceFolder, files, folders);
    for (const QString& d : folders) {
        const QString sub = PathText::join(voiceFolder, d);
        const QString ini = PathText::join(sub, kOtoIni);
        if (FileExists(ini)) readOtoFile(ini, d + u'\\', out);
        else listInstead(sub, d + u'\\', out);
    }
    return out;
}

OtoSaveResult SaveOtoIni(QList<SampleRow>& rows, const QString& base, const QString& target,
                         const QStringList& uncleanFiles) {
    OtoSaveResult result;
    if (base.isEmpty()) {
        result.status = OtoSaveResult::NoFolder;
        return result;
    }
    const QString defaultPath = PathText::join(base, kOtoIni);
    const QString mainPath = target.isEmpty() ? defaultPath : target;
    const bool subFolderMode = PathText::toSlashes(mainPath) == PathText::toSlashes(defaultPath);
    const QString fileName = PathText::filePart(mainPath);

    // The files in the order of their first row; the main file always comes first and is always written.
    QList<OutFile> files{{mainPath, {}}};
    QHash<QString, qsizetype> fileOfFolder;  // resolved sub-folder -> index in files
    QHash<QString, bool> folderExists;       // sub-folder part as written -> it is a folder of the bank

    for (SampleRow& row : rows) {
        QString name = row.text;
        qsizetype file = 0;
        const qsizetype sep = PathText::lastSeparator(name);
        if (subFolderMode && sep >= 0) {
            const QString prefix = name.left(sep + 1);
            auto known = folderExists.constFind(prefix);
            if (known == folderExists.constEnd()) {
                const bool ok = !isAbsoluteName(prefix) && !hasParentStep(prefix) &&
                                FileSystem::isFolder(PathText::join(base, prefix.left(sep)));
                known = folderExists.insert(prefix, ok);
            }
            if (*known) {
                // Spellings of one folder that differ in letter case or separator share its file.
                const QString folder = FileSystem::resolve(PathText::join(base, prefix.left(sep)));
                auto at = fileOfFolder.constFind(folder);
                if (at == fileOfFolder.constEnd()) {
                    at = fileOfFolder.insert(folder, files.size());
                    files.append({PathText::join(folder, fileName), {}});
                }
                file = *at;
                name = name.mid(sep + 1);
            }
        }
        if (row.item(6).isEmpty() && !row.item(5).isEmpty()) row.item(6) = defaultOverlap(row.item(5));

        QString line = name;
        line += u'=';
        bool breaksLine = name.contains(u'=');
        for (int n = 1; n <= 6; ++n) {
            if (n > 1) line += u',';
            line += row.item(n);
            breaksLine = breaksLine || row.item(n).contains(u',') || row.item(n).contains(u'=');
        }
        breaksLine = breaksLine || line.contains(u'\r') || line.contains(u'\n');
        if (breaksLine) {
            // Read back, such a line would be skipped or its values shifted.
            result.status = OtoSaveResult::Refused;
            result.message = GetMessage(QStringLiteral("「{1}」の設定に「=」「,」または改行が含まれています。保存を中止しました。"),
                                        row.text);
            return result;
        }
        if (!Cp932CanHold(line)) {
            result.status = OtoSaveResult::Refused;
            result.message = GetMessage(QStringLiteral("「{1}」の設定にはoto.iniに書けない文字が含まれています。保存を中止しました。"),
                                        row.text);
            return result;
        }
        line += QStringLiteral("\r\n");
        files[file].bytes += Cp932::encode(line);
    }

    QStringList unclean;
    for (const QString& u : uncleanFiles) unclean << FileSystem::resolve(u);
    for (const OutFile& f : files)
        if (unclean.contains(FileSystem::resolve(f.path))) {
            result.status = OtoSaveResult::Refused;
            result.message = GetMessage(
                QStringLiteral("{1}は読み込んだときに文字化けがありました。上書きすると内容が失われるため、保存を中止しました。"), f.path);
            return result;
        }

    // Every file is written out beside its old one first; only when all are complete are they put in place.
    std::vector<std::unique_ptr<QSaveFile>> saves;
    for (const OutFile& f : files) {
        auto save = std::make_unique<QSaveFile>(FileSystem::resolve(f.path));
        if (!save->open(QIODevice::WriteOnly) || save->write(f.bytes) != f.bytes.size()) {
            result.status = OtoSaveResult::Refused;
            result.message = GetMessage(QStringLiteral("{1}を保存できませんでした。"), f.path) + u'\n' + save->errorString();
            for (auto& s : saves) s->cancelWriting();
            save->cancelWriting();
            return result;
        }
        saves.push_back(std::move(save));
    }
    for (size_t i = 0; i < saves.size(); ++i) {
        if (!saves[i]->commit()) {
            result.status = OtoSaveResult::Refused;
            result.message = GetMessage(QStringLiteral("{1}を保存できませんでした。"), files[qsizetype(i)].path) + u'\n' +
                             saves[i]->errorString();
            for (size_t k = i + 1; k < saves.size(); ++k) saves[k]->cancelWriting();
            return result;
        }
        result.written << files[qsizetype(i)].path;
    }
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
