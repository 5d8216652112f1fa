#pragma once

#include "commands/ArchiveInstallerPort.h"

namespace tova {

// The archive installer of the main window: the installer logic with the window's progress window
// (hung from the roll), its status bar, voice-bank list, profile dialog and plug-in menu.
class ProgramArchiveInstaller : public ArchiveInstallerPort {
public:
    void InstallArchive(EditContext& window, const QString& path) override;
};

}  // namespace tova
