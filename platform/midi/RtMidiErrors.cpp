#include "platform/midi/RtMidiErrors.h"

#include "platform/midi/MidiResult.h"

namespace tova {

int RtMidiErrors::code(const RtMidiError& e) {
    switch (e.getType()) {
    case RtMidiError::INVALID_PARAMETER:
    case RtMidiError::INVALID_DEVICE:
    case RtMidiError::NO_DEVICES_FOUND:
        return MidiResult::BadDeviceId;
    case RtMidiError::DRIVER_ERROR:
        return MidiResult::NoDriver;
    default:
        return MidiResult::Error;
    }
}

}  // namespace tova
