#pragma once

#include "mainwindow/ArchiveInstallerPort.h"

namespace tova {

// The archive installer of the main window: the installer logic with the progress window hung from the
// roll, the status bar, the voice-bank list, the profile dialog and the plug-in menu of that window.
class ProgramArchiveInstaller : public ArchiveInstallerPort {
public:
    void InstallArchive(MainWindow& window, const QString& path) override;
};

}  // namespace tova
