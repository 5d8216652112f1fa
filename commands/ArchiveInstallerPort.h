#pragma once

#include <QString>

namespace tova {

class EditContext;

// The installer of voice banks and plug-ins from ".zip" and ".tvz" archives.
class ArchiveInstallerPort {
public:
    virtual ~ArchiveInstallerPort() = default;
    virtual void InstallArchive(EditContext& window, const QString& path) = 0;
};

}  // namespace tova
