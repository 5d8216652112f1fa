#pragma once

#include "platform/midi/MidiInputDevice.h"
#include "platform/midi/MidiOutputDevice.h"
#include "platform/midi/MidiResult.h"

#include <QStringList>

#include <memory>

namespace tova {

// The machine's MIDI devices: their names by id, and devices to open.
class MidiSystem {
public:
    virtual ~MidiSystem() = default;
    // One entry per device id; a null text where the device's name cannot be read.
    virtual QStringList inputNames() = 0;
    virtual QStringList outputNames() = 0;
    virtual std::unique_ptr<MidiInputDevice> createInput() = 0;
    virtual std::unique_ptr<MidiOutputDevice> createOutput() = 0;

    // The MIDI system the program uses: the machine's (RtMidi) unless another is installed.
    static MidiSystem& current();
    // Installs a MIDI system (not owned); nullptr restores the machine's.
    static void setCurrent(MidiSystem* system);
};

}  // namespace tova
