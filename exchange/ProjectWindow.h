#pragma once

#include <QString>

namespace tova {

class Song;

// What opening a file as the project, reading a render batch and appending notes need of the main
// window: the song it owns and the controls that show it. The main window implements it; tests give
// a fake window.
class ProjectWindow {
public:
    virtual ~ProjectWindow() = default;

    // The song of the window: note arrays, project settings, selection, modified flag, undo history.
    virtual Song& song() = 0;
    // Resets the project to a new, empty one (name, tempo, voice folder, tool paths, undo history).
    virtual void NewProject() = 0;
    // The tempo box `txtTempo`.
    virtual void SetTempoText(const QString& text) = 0;
    // Shows a tempo in the tempo box and the status bar.
    virtual void UpdateTempoStatus(float tempo) = 0;
    // Sets the mode-2 check box from code, without running its click handler.
    virtual void SetMode2Box(bool on) = 0;
    virtual void DrawBackground() = 0;
    virtual void DrawNotes() = 0;
    // Opens the project settings dialog as its menu command does.
    virtual void mnProjSetting_Click() = 0;
    // The voice label `lblVoice` and the voice picture `Image1` (an empty path clears the picture).
    virtual void ShowVoiceName(const QString& name) = 0;
    virtual void ShowVoicePicture(const QString& path) = 0;
};

}  // namespace tova
