#pragma once

#include "core/MidiHost.h"
#include "mainwindow/MidiPort.h"

namespace tova {

class MainWindow;

// The program's MIDI devices for the main window, and the main window as the receiver of MIDI input:
// clock and time code move the selection; a step-input note is entered at the selection start as one
// undo step, and a preview tone plays the voice bank's tone sample.
class ProgramMidi : public MidiPort, public MidiHost {
public:
    // Registers as the MIDI host of the program.
    void attach(MainWindow* window);
    ~ProgramMidi() override;

    int OpenMidiIn(const QString& deviceName, QObject* receiver) override;
    void CloseMidiIn() override;
    int OpenMidiOut(const QString& deviceName, QObject* receiver) override;
    void CloseMidiOut() override;
    void SetStepInput(bool on) override;
    void SetSyncScroll(bool on) override;

    void PlayToneSample(int16_t noteNum) override;
    void InsertLyricsFromList(QString& lyric, int32_t& noteNum, int32_t& length, bool replace) override;
    void UpdatePlayCursor(int32_t& count) override;
    void LocateTimeInNotes(int32_t& first, int32_t& last, int32_t& timeMs) override;

private:
    MainWindow* window_ = nullptr;
};

}  // namespace tova
