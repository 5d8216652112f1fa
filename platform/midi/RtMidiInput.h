#pragma once

#include "platform/midi/MidiInputDevice.h"

#include <memory>
#include <vector>

class RtMidiIn;

namespace tova {

// A MIDI input device through RtMidi. `api` is an RtMidi::Api value.
class RtMidiInput : public MidiInputDevice {
    Q_OBJECT
public:
    explicit RtMidiInput(int api);
    ~RtMidiInput() override;
    int open(int id) override;
    void close() override;

private:
    static void callback(double time, std::vector<unsigned char>* message, void* self);
    int api_;
    std::unique_ptr<RtMidiIn> in_;
};

}  // namespace tova
