#pragma once

#include "platform/midi/MidiSystem.h"

#include <QList>
#include <QPointer>

namespace tova {

class FakeMidiInput;

// MIDI devices for tests, installed as the program's MIDI system for the life of the object.
// A test names the devices, injects the bytes an input device receives and reads what was sent
// to the output devices.
class FakeMidiSystem : public MidiSystem {
public:
    QStringList inputs;   // device names by id (a null text: the name cannot be read)
    QStringList outputs;
    int openResult = MidiResult::Ok;  // what opening a device answers
    QList<QByteArray> sent;           // every message sent to an output device, in order
    int inputsOpen = 0;               // input devices open now
    int outputsOpen = 0;

    FakeMidiSystem();
    ~FakeMidiSystem() override;
    FakeMidiSystem(const FakeMidiSystem&) = delete;
    FakeMidiSystem& operator=(const FakeMidiSystem&) = delete;

    QStringList inputNames() override { return inputs; }
    QStringList outputNames() override { return outputs; }
    std::unique_ptr<MidiInputDevice> createInput() override;
    std::unique_ptr<MidiOutputDevice> createOutput() override;

    // The input device opened last, while it is open.
    FakeMidiInput* openInput() const;

private:
    QPointer<FakeMidiInput> lastInput_;
    friend class FakeMidiInput;
};

class FakeMidiInput : public MidiInputDevice {
    Q_OBJECT
public:
    explicit FakeMidiInput(FakeMidiSystem* owner) : owner_(owner) {}
    ~FakeMidiInput() override { close(); }
    int open(int id) override;
    void close() override;
    bool isOpen() const { return open_; }
    int id() const { return id_; }
    // The device receives these bytes (emitted on the calling thread, as a device would on its own).
    void inject(const QByteArray& message);

private:
    FakeMidiSystem* owner_;
    bool open_ = false;
    int id_ = -1;
};

class FakeMidiOutput : public MidiOutputDevice {
public:
    explicit FakeMidiOutput(FakeMidiSystem* owner) : owner_(owner) {}
    ~FakeMidiOutput() override { close(); }
    int open(int id) override;
    void close() override;
    void send(const QByteArray& bytes) override;

private:
    FakeMidiSystem* owner_;
    bool open_ = false;
};

}  // namespace tova
