#include "render/RenderLeftovers.h"

#include "platform/FileSystem.h"
#include "platform/PathText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <functional>
#include <signal.h>

namespace tova {

namespace {

bool allDigits(QStringView s) {
    if (s.isEmpty() || s.size() > 10) return false;
    for (QChar c : s)
        if (c < u'0' || c > u'9') return false;
    return true;
}

// A process id names a running process (or one of another user, which counts as running).
bool running(qint64 pid) {
    if (pid <= 0 || pid > 0x7fffffff) return false;
    return ::kill(pid_t(pid), 0) == 0 || errno != ESRCH;
}

bool isNoteFile(const QString& name) {
    static const QString head = QStringLiteral("temp$$$");
    if (!name.startsWith(head) || !name.endsWith(QStringLiteral(".wav"))) return false;
    const QStringView middle = QStringView(name).mid(head.size(), name.size() - head.size() - 4);
    return middle.isEmpty() || allDigits(middle);
}

int removeIn(const QString& folder, const std::function<bool(const QString&)>& ours) {
    const QString onDisk = FileSystem::resolve(folder.isEmpty() ? QStringLiteral(".") : folder);
    if (!QFileInfo(onDisk).isDir()) return 0;
    int removed = 0;
    const QStringList names =
        QDir(onDisk).entryList({QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    for (const QString& name : names) {
        qint64 pid = 0;
        const QString target = RenderLeftovers::TargetOf(name, &pid);
        if (target.isEmpty() || !ours(target) || running(pid)) continue;
        const QString path = QDir(onDisk).filePath(name);
        const QFileInfo info(path);
        if (!info.isFile() || info.isSymLink()) continue;
        if (QFile::remove(path)) ++removed;
    }
    return removed;
}

}  // namespace

QString RenderLeftovers::TargetOf(const QString& fileName, qint64* processId) {
    if (!fileName.endsWith(QStringLiteral(".tmp"))) return QString();
    const QStringView stem = QStringView(fileName).chopped(4);
    const qsizetype dash = stem.lastIndexOf(u'-');
    if (dash < 0 || !allDigits(stem.mid(dash + 1))) return QString();
    const qsizetype dot = stem.left(dash).lastIndexOf(u'.');
    if (dot <= 0 || !allDigits(stem.mid(dot + 1, dash - dot - 1))) return QString();
    if (processId) *processId = stem.mid(dot + 1, dash - dot - 1).toLongLong();
    return stem.left(dot).toString();
}

int RenderLeftovers::Remove(const QString& output, const QStringList& noteFolders, const QString& cacheFolder) {
    int removed = 0;
    if (!output.isEmpty()) {
        const QString name = PathText::filePart(output);
        const QString folder = PathText::folderPart(output);
        removed += removeIn(folder, [&](const QString& target) {
            return target == name || target == name + QStringLiteral(".whd") || target == name + QStringLiteral(".dat");
        });
    }
    for (const QString& folder : noteFolders) removed += removeIn(folder, isNoteFile);
    if (!cacheFolder.isEmpty())
        removed += removeIn(cacheFolder, [](const QString& target) {
            return target.endsWith(QStringLiteral(".wav")) || target.endsWith(QStringLiteral(".render"));
        });
    return removed;
}

}  // namespace tova
