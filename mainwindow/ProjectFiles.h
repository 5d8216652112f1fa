#pragma once

#include "mainwindow/ProjectFilesPort.h"

#include <QString>

namespace tova {

class AppendLoadPort;
class ArchiveInstallerPort;
class ImportPort;
class MainWindow;
class OptionsDialogPort;
class ProjectSettingsDialogPort;
class VoiceBankAccess;

// The file commands and the life cycle of the main window's project: opening files by type (project
// files, render batches), the command line and dropped files, the File menu (new, open, save, save as,
// recent files, append-load, import), the project settings and options commands, the window caption's
// project, and the unload at the end of the program with its save question and clean-up.
//
// A project is saved to its own file only when that file is a project file (".tvx", any letter case) or
// a render batch (".bat"); any other file, such as an older ".wsq" form, is never overwritten: saving
// goes through Save As.
class ProjectFiles : public ProjectFilesPort {
public:
    // The services the commands call. `voices` and `projectSettings` are needed; a missing worker of a
    // later part (options, append-load, import, installer) makes its command say that it is not
    // available yet.
    struct Services {
        VoiceBankAccess* voices = nullptr;
        ProjectSettingsDialogPort* projectSettings = nullptr;
        OptionsDialogPort* options = nullptr;
        AppendLoadPort* appendLoad = nullptr;
        ImportPort* import = nullptr;
        ArchiveInstallerPort* installer = nullptr;
    };
    explicit ProjectFiles(const Services& services);

    // ---- ProjectFilesPort ----
    QString ProcessCommandLine(EditContext& window, const QString& commandLine) override;
    bool OpenFileByType(EditContext& window, const QString& path) override;
    void ShowVoiceInfo(EditContext& window) override;
    void mnNew_Click(EditContext& window) override;
    void mnOpen_Click(EditContext& window) override;
    void mnSave_Click(EditContext& window) override;
    void mnSaveAt_Click(EditContext& window) override;
    void mnHistory_Click(EditContext& window, int index) override;
    void mnAppendLoad_Click(EditContext& window) override;
    void mnImport_Click(EditContext& window) override;
    void mnProjSetting_Click(EditContext& window) override;
    void mnOptions_Click(EditContext& window) override;
    void Form_OLEDragDrop(EditContext& window, const QStringList& files) override;
    bool Form_Unload(EditContext& window) override;

    // ---- the procedures behind them ----
    // Offers a folder holding "oto.ini" or "あ.wav" as the project's voice bank, used where it lies;
    // true when the user accepted it.
    bool UseVoiceFolder(MainWindow& window, const QString& folder);
    // The question whether to save a modified project (Yes, No, Cancel); false when the command is to
    // end: Cancel, or Yes and the save did not happen. A failing write raises its error.
    bool AskSaveChanges(MainWindow& window);
    // Saves to the project's file, or asks for a name; true when saved.
    bool SaveProject(MainWindow& window);
    // Asks for a name and saves there; true when saved.
    bool SaveProjectAs(MainWindow& window);
    // Writes the project file at `path`: the cache folder follows the file's name, paths are stored
    // relative to where they lie; the project is then no longer modified.
    void WriteProject(MainWindow& window, const QString& path);

    // True after an unload that the user cancelled (or whose save did not happen).
    bool UnloadCancelled = false;

private:
    Services s_;
};

}  // namespace tova
