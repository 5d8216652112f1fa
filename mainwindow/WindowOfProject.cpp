#include "mainwindow/WindowOfProject.h"

#include "mainwindow/MainWindow.h"
#include "mainwindow/MainWindowView.h"
#include "mainwindow/ProjectFilesPort.h"

namespace tova {

Song& WindowOfProject::song() { return w_.song; }
void WindowOfProject::NewProject() { w_.NewProject(); }
void WindowOfProject::SetTempoText(const QString& text) { w_.view().setText(QStringLiteral("txtTempo"), text); }
void WindowOfProject::UpdateTempoStatus(float tempo) { w_.UpdateTempoStatus(tempo); }

void WindowOfProject::SetMode2Box(bool on) {
    // The raised lock keeps the box's handler from redrawing or touching the cache.
    w_.Mode2Lock = true;
    if (w_.view().value(QStringLiteral("chkAutoPitchMode2")) != (on ? 1 : 0)) {
        w_.view().setValue(QStringLiteral("chkAutoPitchMode2"), on ? 1 : 0);
        w_.chkAutoPitchMode2_Click();
    }
    w_.song.Mode2 = on;
    w_.Mode2Lock = false;
}

void WindowOfProject::DrawBackground() { w_.DrawBackground(); }
void WindowOfProject::DrawNotes() { w_.DrawNotes(); }
void WindowOfProject::mnProjSetting_Click() { files_.mnProjSetting_Click(w_); }
void WindowOfProject::ShowVoiceName(const QString& name) { w_.view().setText(QStringLiteral("lblVoice"), name); }
void WindowOfProject::ShowVoicePicture(const QString& path) {
    w_.view().setPictureFile(QStringLiteral("Image1"), path);
}

}  // namespace tova
