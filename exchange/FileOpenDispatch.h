#pragma once

#include <QString>
#include <QStringList>

namespace tova {

class ProjectWindow;
class VoiceBankAccess;

// Opening a file as the project: a new project is started, a reader is chosen by the file's extension
// (".wsq" the older form and ".bat" a render batch, both in any letter case; anything else a project
// file), the cache folder is derived from the file's name, the voice bank is shown, and the project
// settings dialog opens when the tool paths or the voice folder do not check out. The main window calls
// it for the open command, the recent files, the recovery copy and the command line.
class FileOpenDispatch {
public:
    FileOpenDispatch(ProjectWindow& window, VoiceBankAccess& voices);

    // Opens a file as the project. A path wrapped in double quotes is taken without them. A path that is
    // no regular file (missing, a folder, a pipe, a device) is refused with a message before the project
    // changes: false.
    bool OpenFileByType(const QString& path);
    // Reads a project file into the project fields and makes its paths usable (voice folder forms,
    // tool paths, output and cache relative to the project's folder), then loads its voice bank. Values
    // the reader refused or cut, and text that did not decode, are listed in one message.
    void LoadProjectFile(const QString& path);
    // Reads an older ".wsq" file (a Standard MIDI File whose first track holds the project's settings as
    // text lines) as the project. A file the MIDI reader refuses gives "ファイル形式が正しくありません" and
    // an empty project.
    void OpenWsqProject(const QString& path);
    // Reads a render batch file as the project.
    void ReadBatchNotes(const QString& path);
    // Shows the voice bank's name and picture, or "原音ありません" without a voice folder.
    void ShowVoiceInfo();

private:
    ProjectWindow& window_;
    VoiceBankAccess& voices_;
};

}  // namespace tova
