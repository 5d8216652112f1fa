#include "mainwindow/CommandLinePath.h"

#include "core/FileHelpers.h"
#include "platform/FileSystem.h"

namespace tova {

QString CommandLineExtension(const QString& path) {
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot < 0 ? QString() : path.mid(dot).toLower();
}

CommandLinePathKind ClassifyCommandLinePath(const QString& path) {
    if (path.contains(u'*') || path.contains(u'?')) return CommandLinePathKind::Missing;
    if (SafeDir(path, kDirFolders).isEmpty()) return CommandLinePathKind::Missing;
    const QString ext = CommandLineExtension(path);
    if (ext == u".tvx") return CommandLinePathKind::Project;
    if (ext == u".zip") return CommandLinePathKind::ZipArchive;
    if (ext == u".tvz") return CommandLinePathKind::TvzArchive;
    return FileSystem::isFolder(path) ? CommandLinePathKind::Folder : CommandLinePathKind::OtherFile;
}

}  // namespace tova
