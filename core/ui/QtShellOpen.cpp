#include "core/ui/QtShellOpen.h"

#include "platform/FileSystem.h"

#include <QDesktopServices>
#include <QUrl>

namespace tova {

bool QtShellOpen::open(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(FileSystem::resolve(path)));
}

}  // namespace tova
