#pragma once

#include "mainwindow/PlaybackPort.h"
#include "render/RenderWindow.h"

#include <QPointer>

#include <memory>

namespace tova {

class DirectRenderer;
class Form1;
class MainWindow;
class MciPort;
class PlaybackCommands;
class RenderBatchFiles;
class RenderCommands;
class QtRenderProgress;
class frmShowRunning;

// Rendering and playback on the main window: the render commands (generate, batch run, selection
// render) and the playback commands and timers over the window's song, controls, play cursor, wait
// window and progress window. The form owns one and hands it its menu items, buttons and timers.
class RenderBinding : public RenderWindow, public PlaybackPort {
public:
    // `mci` is the multimedia layer to play through; null plays through the program's own.
    RenderBinding(Form1& form, MainWindow& window, MciPort* mci);
    ~RenderBinding() override;

    RenderCommands& commands() { return *commands_; }
    PlaybackCommands& playback() { return *playback_; }

    // ---- RenderWindow ----
    void SetWindowEnabled(bool on) override;
    void SetRenderControlsEnabled(bool on) override;
    void DrawBackground() override;
    void DrawNotes() override;
    void ScrollToTick(qint32& note, double lead) override;
    void HidePlayCursor() override;
    void FocusRoll() override;
    void SetMidiNoteTimerEnabled(bool on) override;
    void SetPlayTimerEnabled(bool on) override;
    void ShowRunningWindow() override;
    void UnloadRunningWindow() override;
    RenderProgress& Progress() override;
    void SetMissingSampleMark(qint32 noteIndex, bool missing) override;

    // ---- PlaybackPort: the timers of the window ----
    void tmrPlaying_Timer(EditContext& window) override;
    void tmrMidiNote_Timer(EditContext& window) override;

private:
    // Starts or stops the window's timer of that name.
    void switchTimer(const QString& name, bool on);

    Form1& form_;
    MainWindow& window_;
    std::unique_ptr<MciPort> ownMci_;
    std::unique_ptr<QtRenderProgress> progress_;
    std::unique_ptr<RenderBatchFiles> writer_;
    std::unique_ptr<DirectRenderer> direct_;
    std::unique_ptr<RenderCommands> commands_;
    std::unique_ptr<PlaybackCommands> playback_;
    QPointer<frmShowRunning> running_;
};

}  // namespace tova
