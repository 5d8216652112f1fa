#pragma once

#include <RtMidi.h>

namespace tova {

// The `MidiResult` code of an RtMidi failure.
class RtMidiErrors {
public:
    static int code(const RtMidiError& e);
};

}  // namespace tova
