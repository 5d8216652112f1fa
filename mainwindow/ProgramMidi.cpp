#include "mainwindow/ProgramMidi.h"

#include "core/Midi.h"
#include "mainwindow/MainWindow.h"
#include "commands/CommandFrame.h"
#include "commands/InsertCommands.h"
#include "platform/EventGuard.h"

namespace tova {

void ProgramMidi::attach(MainWindow* window) {
    window_ = window;
    SetMidiHost(window ? this : nullptr);
}

ProgramMidi::~ProgramMidi() {
    if (window_) SetMidiHost(nullptr);
}

int ProgramMidi::OpenMidiIn(const QString& deviceName, QObject* receiver) {
    QString name = deviceName;
    return tova::OpenMidiIn(name, receiver);
}

void ProgramMidi::CloseMidiIn() { tova::CloseMidiIn(); }

int ProgramMidi::OpenMidiOut(const QString& deviceName, QObject* receiver) {
    QString name = deviceName;
    return tova::OpenMidiOut(name, receiver);
}

void ProgramMidi::CloseMidiOut() { tova::CloseMidiOut(); }

void ProgramMidi::SetStepInput(bool on) { SetMidiStepInput(on); }

void ProgramMidi::SetSyncScroll(bool on) { SetMidiSyncScroll(on); }

void ProgramMidi::PlayToneSample(int16_t noteNum) {
    if (window_) EventGuard::runHandler([&] { SpeakScale(*window_, noteNum); });
}

void ProgramMidi::InsertLyricsFromList(QString& lyric, int32_t& noteNum, int32_t& length, bool replace) {
    if (!window_) return;
    EventGuard::runHandler([&] { RunEditCommand(*window_, [&] { InsertTonePub(*window_, lyric, noteNum, length, replace); }); });
}

void ProgramMidi::UpdatePlayCursor(int32_t& count) {
    if (window_) EventGuard::runHandler([&] { window_->UpdatePlayCursor(count); });
}

void ProgramMidi::LocateTimeInNotes(int32_t& first, int32_t& last, int32_t& timeMs) {
    if (window_) EventGuard::runHandler([&] { window_->LocateTimeInNotes(first, last, timeMs); });
}

}  // namespace tova
