#pragma once

#include <QString>

namespace tova {

class MainWindow;

// The file side of the main window: opening files, the command line and the voice information.
class ProjectFilesPort {
public:
    virtual ~ProjectFilesPort() = default;
    // Classifies and handles the command line; returns "LOADPROJ", "VOICEDIR" or another code.
    virtual QString ProcessCommandLine(MainWindow& window, const QString& commandLine) = 0;
    // Opens a project file into the main window.
    virtual void OpenFileByType(MainWindow& window, const QString& path) = 0;
    // Shows the voice bank's name and picture.
    virtual void ShowVoiceInfo(MainWindow& window) = 0;
};

}  // namespace tova
