#include "render/RenderLeftovers.h"

#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/lean/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <functional>

namespace tova {

namespace {

bool allDigits(QStringView s) {
    if (s.isEmpty() || s.size() > 10) return false;
    for (QChar c : s)
        if (c < u'0' || c > u'9') return false;
    return true;
}

bool isNoteFile(const QString& name) {
    static const QString head = QStringLiteral("temp$$$");
    if (!name.startsWith(head) || !name.endsWith(QStringLiteral(".wav"))) return false;
    const QStringView middle = QStringView(name).mid(head.size(), name.size() - head.size() - 4);
    return middle.isEmpty() || allDigits(middle);
}

// The file writer's own cleaning, with the same rules as at a save: the writer gone (its process id
// runs no more, or was given to a process started later) and the file not locked by a writer.
int removeIn(const QString& folder, const std::function<bool(const QString&)>& ours) {
    const QString onDisk = FileSystem::resolve(folder.isEmpty() ? QStringLiteral(".") : folder);
    if (!QFileInfo(onDisk).isDir()) return 0;
    return lean::Files::removeLeftovers(QFile::encodeName(onDisk).toStdString(), [&](const std::string& target) {
        return ours(QFile::decodeName(QByteArray::fromStdString(target)));
    });
}

}  // namespace

QString RenderLeftovers::TargetOf(const QString& fileName, qint64* processId) {
    std::string target;
    long long pid = 0;
    if (!lean::Files::temporaryTarget(QFile::encodeName(fileName).toStdString(), &target, &pid)) return QString();
    if (processId) *processId = pid;
    return QFile::decodeName(QByteArray::fromStdString(target));
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
