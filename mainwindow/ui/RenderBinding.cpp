#include "mainwindow/ui/RenderBinding.h"

#include "core/ui/frmShowRunning.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/ui/Form1.h"
#include "render/DirectRenderer.h"
#include "render/PlaybackCommands.h"
#include "render/RenderBatchFiles.h"
#include "render/RenderCommands.h"
#include "render/SystemMci.h"
#include "render/ui/QtRenderProgress.h"

#include <QTimer>
#include <QWidget>

namespace tova {

RenderBinding::RenderBinding(Form1& form, MainWindow& window, MciPort* mci) : form_(form), window_(window) {
    if (!mci) {
        ownMci_ = std::make_unique<SystemMci>();
        mci = ownMci_.get();
    }
    progress_ = std::make_unique<QtRenderProgress>(form.controlAs<QWidget>(QStringLiteral("Picture2")), &form);
    writer_ = std::make_unique<RenderBatchFiles>(window.song, this);
    direct_ = std::make_unique<DirectRenderer>(window.song, *this);
    commands_ = std::make_unique<RenderCommands>(window.song, *this, *writer_, *direct_);
    playback_ = std::make_unique<PlaybackCommands>(window.song, *this, window, *mci, *commands_);
}

RenderBinding::~RenderBinding() {
    if (running_) delete running_.data();
}

void RenderBinding::SetWindowEnabled(bool on) { form_.QMainWindow::setEnabled(on); }

void RenderBinding::SetRenderControlsEnabled(bool on) {
    for (const char* name : {"mnGenerate", "btnPlay", "mnPlayTemp"}) form_.setEnabled(QString::fromLatin1(name), on);
}

void RenderBinding::DrawBackground() { window_.DrawBackground(); }

void RenderBinding::DrawNotes() { window_.DrawNotes(); }

void RenderBinding::ScrollToTick(qint32& note, double lead) { window_.ScrollToTick(note, lead); }

void RenderBinding::HidePlayCursor() { form_.setVisible(QStringLiteral("Line3"), false); }

void RenderBinding::FocusRoll() { form_.setFocusTo(QStringLiteral("Picture2")); }

void RenderBinding::switchTimer(const QString& name, bool on) {
    if (auto* timer = form_.controlAs<QTimer>(name)) {
        if (on)
            timer->start();
        else
            timer->stop();
    }
}

void RenderBinding::SetMidiNoteTimerEnabled(bool on) { switchTimer(QStringLiteral("tmrMidiNote"), on); }

void RenderBinding::SetPlayTimerEnabled(bool on) { switchTimer(QStringLiteral("tmrPlaying"), on); }

void RenderBinding::ShowRunningWindow() {
    if (!running_) running_ = new frmShowRunning(&form_);
    running_->show();
}

void RenderBinding::UnloadRunningWindow() {
    if (running_) delete running_.data();
}

RenderProgress& RenderBinding::Progress() { return *progress_; }

void RenderBinding::SetMissingSampleMark(qint32 noteIndex, bool missing) {
    if (noteIndex < 0) return;
    NoteGeometryList& records = window_.NoteGeometry;
    if (records.size() <= noteIndex) records.resize(noteIndex + 1);
    records[noteIndex].MissingSample = missing;
}

void RenderBinding::tmrPlaying_Timer(EditContext&) { playback_->tmrPlaying_Timer(); }

void RenderBinding::tmrMidiNote_Timer(EditContext&) { playback_->tmrMidiNote_Timer(); }

}  // namespace tova
