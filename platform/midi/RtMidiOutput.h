#pragma once

#include "platform/midi/MidiOutputDevice.h"

#include <memory>

class RtMidiOut;

namespace tova {

// A MIDI output device through RtMidi. `api` is an RtMidi::Api value.
class RtMidiOutput : public MidiOutputDevice {
public:
    explicit RtMidiOutput(int api);
    ~RtMidiOutput() override;
    int open(int id) override;
    void close() override;
    void send(const QByteArray& bytes) override;

private:
    int api_;
    std::unique_ptr<RtMidiOut> out_;
};

}  // namespace tova
