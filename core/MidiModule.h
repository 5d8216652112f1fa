#pragma once

#include "core/MidiBufferHeader.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>

namespace tova {

class MidiHost;
class MidiInputDevice;
class MidiOutputDevice;
class MidiWindowMessage;

// The MIDI input and output devices of the program and what is done with MIDI input: step input
// of notes, following an external sequencer (time code, song position, clock), monitoring on the
// output and the preview note. Devices come from `MidiSystem::current()` and are chosen by name.
//
// The input device delivers its messages as `MidiWindowMessage`s to the callback window given to
// `OpenMidiIn`; the hooked window's messages are handled here before the window's own handling.
// Device messages arrive on the device's thread and reach the user-interface thread through a
// queued connection; everything else here runs on the user-interface thread.
class MidiModule : public QObject {
    Q_OBJECT
public:
    // Size of each of the two system-exclusive buffers.
    static constexpr int SysExBufferSize = 1024;

    MidiModule();
    ~MidiModule() override;

    // The program's one instance.
    static MidiModule& instance();

    void setHost(MidiHost* host) { host_ = host; }

    // Empties the list and fills it with the name of every device whose name can be read; the list
    // index of the device named `selectedName` (exact comparison) becomes `listIndex` (else -1).
    void ListMidiInDevices(QStringList& list, int& listIndex, const QString& selectedName);
    void ListMidiOutDevices(QStringList& list, int& listIndex, const QString& selectedName);
    // The id of the first device with exactly this name; -1 when none.
    int FindMidiInDevice(const QString& name);
    int FindMidiOutDevice(const QString& name);

    // Hooks the window (always), then opens the named input with the window as callback window and
    // starts input. 0 on success; 1 (and `deviceName` emptied) when no device has the name; else the
    // device's result code. An input already open is closed first.
    int OpenMidiIn(QString& deviceName, QObject* window);
    // Stops and closes the input (if open), then unhooks the window.
    void CloseMidiIn();
    // Opens the named output and sends the program change of the `MidiProgramChange` setting.
    // 0 on success; 1 (and `deviceName` emptied) when no device has the name. An output already
    // open is closed first.
    int OpenMidiOut(QString& deviceName, QObject* window);
    // Turns every note off and closes the output (if open).
    void CloseMidiOut();

    // Sounds the preview note (internal note number) on the output after ending the one still
    // sounding; True when it went to the output. Without an output the main window plays the
    // note's tone sample instead (False).
    bool MidiNoteOn(int16_t noteNum);
    // Ends the preview note.
    void MidiNoteOff();

    // Hooks a window: its MIDI messages are handled here first. Hooking the hooked window again
    // changes nothing; hooking another unhooks the first.
    void HookMidiWindow(QObject* window);
    void UnhookMidiWindow();

    // The main window's step-input and synchronised-scroll check boxes.
    void setStepInput(bool on) { stepInput_ = on; }
    void setSyncScroll(bool on) { syncScroll_ = on; }
    bool stepInput() const { return stepInput_; }
    bool syncScroll() const { return syncScroll_; }

    bool isInputOpen() const { return in_ != nullptr; }
    bool isOutputOpen() const { return out_ != nullptr; }
    QObject* hookedWindow() const { return hooked_.data(); }
    int16_t lastPreviewNote() const { return lastPreviewNote_; }
    int32_t clockCount() const { return clockCount_; }
    bool running() const { return running_; }

    // Handles one message of the hooked window.
    void windowProc(const MidiWindowMessage& message);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void receive(const QByteArray& message);
    void handleShortMessage(quint32 packed);
    void handleTimeCode(int data1);
    void addInputBuffer();

    MidiHost* host_ = nullptr;

    std::unique_ptr<MidiInputDevice> in_;
    quint64 inGeneration_ = 0;  // changes whenever the input closes, so late messages are dropped
    bool inStarted_ = false;
    QPointer<QObject> inWindow_;
    QByteArray inBuffer_;
    MidiBufferHeader inHeader_;

    std::unique_ptr<MidiOutputDevice> out_;
    QPointer<QObject> outWindow_;
    QByteArray outBuffer_;
    MidiBufferHeader outHeader_;

    QPointer<QObject> hooked_;

    int16_t lastPreviewNote_ = 0;  // MIDI note number now sounding on the output; 0: none
    bool stepInput_ = false;
    bool syncScroll_ = false;
    std::array<int16_t, 16> timeCode_{};  // last nibble received for each quarter-frame piece
    int32_t clockCount_ = 0;               // MIDI clocks since the last song position
    bool running_ = false;                 // the external sequencer plays
};

}  // namespace tova
