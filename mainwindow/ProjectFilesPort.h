#pragma once

#include <QString>
#include <QStringList>

namespace tova {

class EditContext;

// The file side of the main window: opening files, the command line and dropped files, the voice
// information, the File menu and project commands, and the unload at the end of the program.
class ProjectFilesPort {
public:
    virtual ~ProjectFilesPort() = default;
    // Classifies and handles the command line; returns "LOADPROJ", "VOICEDIR" or another code.
    virtual QString ProcessCommandLine(EditContext& window, const QString& commandLine) = 0;
    // Opens a project file into the main window; false when the path was refused (no regular file) and
    // the project in hand stayed.
    virtual bool OpenFileByType(EditContext& window, const QString& path) = 0;
    // Shows the voice bank's name and picture.
    virtual void ShowVoiceInfo(EditContext& window) = 0;

    // The File menu and the project commands.
    virtual void mnNew_Click(EditContext& window) = 0;
    virtual void mnOpen_Click(EditContext& window) = 0;
    virtual void mnSave_Click(EditContext& window) = 0;
    virtual void mnSaveAt_Click(EditContext& window) = 0;
    virtual void mnHistory_Click(EditContext& window, int index) = 0;
    virtual void mnAppendLoad_Click(EditContext& window) = 0;
    virtual void mnImport_Click(EditContext& window) = 0;
    // Also the click on the voice label.
    virtual void mnProjSetting_Click(EditContext& window) = 0;
    virtual void mnOptions_Click(EditContext& window) = 0;
    // Files dropped on the window, the roll or the keyboard strip: the first one is handled as the
    // command line is.
    virtual void Form_OLEDragDrop(EditContext& window, const QStringList& files) = 0;
    // The unload handler: the save question, then settings, hooks, devices and temporary files. True
    // when the window stays open (the user cancelled, or the save did not happen).
    virtual bool Form_Unload(EditContext& window) = 0;
};

}  // namespace tova
