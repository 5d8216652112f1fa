#include "render/CacheFiles.h"

#include "core/Md5.h"
#include "core/NoteNames.h"
#include "core/MessageTable.h"
#include "core/Processes.h"
#include "core/Settings.h"
#include "platform/Cp932.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Ports.h"
#include "platform/Vb.h"
#include "render/AliasLookup.h"
#include "song/ProjectPaths.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace tova {

namespace {

// The cache files of a folder that match a pattern, as full paths on disk.
QStringList listCacheFiles(const QString& folder, const QString& pattern) {
    QStringList paths;
    if (folder.isEmpty()) return paths;
    const QString onDisk = FileSystem::resolve(folder);
    for (const QString& name : FileSystem::list(onDisk, pattern, false)) {
        if (IsCacheFileName(name)) paths << PathText::join(onDisk, name);
    }
    return paths;
}

void removeFile(const QString& path) { QFile::remove(path); }  // failures (in use, gone) are ignored

}  // namespace

QString TempCacheFolder() {
    if (TempFolder.isEmpty()) return {};
    return PathText::join(TempFolder, CacheFolderFor(QStringLiteral("temp")));
}

QString CacheFolderOrTemp(const QString& folder) { return folder.isEmpty() ? TempCacheFolder() : folder; }

bool IsCacheFileName(const QString& name) {
    qsizetype digits = 0;
    while (digits < name.size() && name.at(digits) >= u'0' && name.at(digits) <= u'9') ++digits;
    if (digits == 0 || digits >= name.size() || name.at(digits) != u'_') return false;
    return name.size() >= digits + 1 + 4 && name.endsWith(QStringLiteral(".wav"), Qt::CaseInsensitive);
}

QString CacheArgsDigest(const QStringList& tool2Args) {
    // The bytes as our files hold them: code page 932, or the marked UTF-8 of a text it cannot hold, so
    // two folders that differ only in such characters never share a cached rendering.
    return QString::fromLatin1(Md5::hex(Md5::digest(Cp932::encodeMarked(tool2Args.join(u'\t'))))).left(8);
}

QString CacheFileName(int32_t noteIndex, const QString& sampleName, const QString& noteName, float requiredLength,
                      const QString& argsDigest) {
    QString sample = sampleName;
    sample.replace(u'\\', u'_').replace(u'/', u'_');
    return QString::number(noteIndex) + u'_' + sample + u'_' + noteName + u'_' + Vb::SingleText(requiredLength) +
           u'_' + argsDigest + QStringLiteral(".wav");
}

QString FindNoteCacheFile(const QString& folder, int32_t noteIndex, const QString& lyric, int32_t noteNum) {
    const QString cacheFolder = CacheFolderOrTemp(folder);
    if (cacheFolder.isEmpty()) return {};
    const QString name = lyric.startsWith(u'?') ? lyric.mid(1) : lyric;
    const QString noteName = NoteNumToName(noteNum);
    auto find = [&](const QString& sample) {
        const QStringList found = listCacheFiles(
            cacheFolder, QString::number(noteIndex) + u'_' + sample + u'_' + noteName + QStringLiteral("_*.wav"));
        return found.isEmpty() ? QString() : found.front();
    };
    auto looked = [](QString sample) {
        FindOtoAlias(sample);
        return sample.replace(u'\\', u'_');
    };
    QString path = find(name);
    if (path.isEmpty()) path = find(looked(name));
    if (path.isEmpty()) path = find(looked(ApplyPrefixMap(noteNum, name)));
    return path;
}

void DeleteNoteCacheFiles(const QString& folder, int32_t noteIndex) {
    for (const QString& path : listCacheFiles(CacheFolderOrTemp(folder), QString::number(noteIndex) + QStringLiteral("_*.wav")))
        removeFile(path);
}

QHash<int32_t, QStringList> NoteCacheFilesByIndex(const QString& folder) {
    QHash<int32_t, QStringList> byIndex;
    for (const QString& path : listCacheFiles(CacheFolderOrTemp(folder), QStringLiteral("*.wav"))) {
        // "<index>_*.wav": the digits before the first "_" as QString::number writes the index.
        const QString name = PathText::filePart(path);
        const qsizetype bar = name.indexOf(u'_');
        bool ok = false;
        const int32_t index = bar > 0 ? name.left(bar).toInt(&ok) : 0;
        if (ok && QString::number(index) == name.left(bar)) byIndex[index] << path;
    }
    return byIndex;
}

void DeleteListedNoteCacheFiles(const QHash<int32_t, QStringList>& listed, int32_t noteIndex) {
    for (const QString& path : listed.value(noteIndex)) removeFile(path);
}

void DeleteVoiceCacheFiles(const QString& folder, const QString& sampleName) {
    QString s = sampleName;
    s.replace(u'\\', u'_').replace(u'/', u'_');
    const QString inside = u'_' + s + u'_';
    const QString leading = s + u'_';
    for (const QString& path : listCacheFiles(folder, QStringLiteral("*.*"))) {
        const QString name = PathText::filePart(path);
        if (name.contains(inside) || name.startsWith(leading)) removeFile(path);
    }
}

void DeleteWavFiles(const QString& folder) {
    for (const QString& path : listCacheFiles(folder, QStringLiteral("*.wav"))) removeFile(path);
}

void DeleteExpiredCacheFiles(const QString& folder) {
    if (folder.isEmpty()) return;
    const QDateTime limit = QDateTime::currentDateTime().addDays(-qint64(settings().CacheDeleteInterval));
    for (const QString& path : listCacheFiles(folder, QStringLiteral("*.*"))) {
        if (QFileInfo(path).lastModified() < limit) removeFile(path);
    }
}

void TrimCacheToSize(const QString& folder) {
    // Megabytes in bytes; 64-bit so that large limits and folders above 2 GiB compare correctly.
    const qint64 limit = qint64(settings().CacheDeleteSize) * 1024 * 1024;
    if (folder.isEmpty() || limit < 1) return;

    // Oldest first: the modification time as "YYYYMMDDHHNNSS" followed by the path, with the size.
    QList<QPair<QString, qint64>> ordering;
    qint64 total = 0;
    for (const QString& path : listCacheFiles(folder, QStringLiteral("*.*"))) {
        const QFileInfo info(path);
        ordering.append({info.lastModified().toString(QStringLiteral("yyyyMMddHHmmss")) + path, info.size()});
        total += info.size();
    }
    if (total <= limit) return;
    std::sort(ordering.begin(), ordering.end());
    for (const auto& [key, size] : ordering) {
        removeFile(key.mid(14));
        total -= size;
        if (total < limit) break;
    }
}

void DeleteCacheFiles(const QString& cacheFolder) {
    for (const QString& path : listCacheFiles(CacheFolderOrTemp(cacheFolder), QStringLiteral("*.*")))
        removeFile(path);
}

void ConfirmDeleteCache(const QString& cacheFolder) {
    if (Ports::msgBox(GetMessage(QStringLiteral("キャッシュファイルを全て削除します。")), MsgButtons::OKCancel,
                      MsgIcon::Question) == MsgResult::OK)
        DeleteCacheFiles(cacheFolder);
}

void CleanCacheOnExit(const QString& projectCacheFolder) {
    const QString temp = TempCacheFolder();
    if (!temp.isEmpty() && FileSystem::isFolder(temp)) {
        // The temporary cache belongs to this instance alone: every wave in it goes, then the folder.
        for (const QString& name : FileSystem::list(temp, QStringLiteral("*.wav"), false))
            removeFile(PathText::join(temp, name));
        QDir().rmdir(temp);
    }
    if (projectCacheFolder.isEmpty()) return;
    const Settings& s = settings();
    if (s.CacheDeleteOnUnload)
        DeleteWavFiles(projectCacheFolder);
    else if (s.CacheDeleteBySize)
        TrimCacheToSize(projectCacheFolder);
    else if (s.CacheDeleteByDate && s.CacheDeleteInterval >= 1)
        DeleteExpiredCacheFiles(projectCacheFolder);
}

}  // namespace tova
