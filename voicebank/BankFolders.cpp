#include "voicebank/BankFolders.h"

#include "platform/FileSystem.h"
#include "platform/PathText.h"

#include <QFileInfo>

namespace tova {

QStringList DirectSubFolders(const QString& folder) {
    QStringList out;
    for (const QString& name : FileSystem::list(folder, QStringLiteral("*"), true)) {
        if (name == u"." || name == u"..") continue;
        const QFileInfo info(PathText::join(folder, name));
        if (info.isDir() && !info.isSymLink()) out << name;
    }
    return out;
}

}  // namespace tova
