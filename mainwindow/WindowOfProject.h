#pragma once

#include "exchange/ProjectWindow.h"

namespace tova {

class MainWindow;
class ProjectFilesPort;

// The main window as opening, importing and appending files see it: its song, the tempo box, the mode-2
// box, the voice label and picture, the redraws and the project settings command.
class WindowOfProject : public ProjectWindow {
public:
    WindowOfProject(MainWindow& w, ProjectFilesPort& files) : w_(w), files_(files) {}
    Song& song() override;
    void NewProject() override;
    void SetTempoText(const QString& text) override;
    void UpdateTempoStatus(float tempo) override;
    void SetMode2Box(bool on) override;
    void DrawBackground() override;
    void DrawNotes() override;
    void mnProjSetting_Click() override;
    void ShowVoiceName(const QString& name) override;
    void ShowVoicePicture(const QString& path) override;

private:
    MainWindow& w_;
    ProjectFilesPort& files_;
};

}  // namespace tova
