#pragma once

namespace tova {

// Result codes of opening a MIDI device, after the multimedia system's numbering: 0 is success.
namespace MidiResult {
constexpr int Ok = 0;
constexpr int Error = 1;        // unspecified failure (also: no device has the name)
constexpr int BadDeviceId = 2;  // the device id is out of range
constexpr int Allocated = 4;    // the device is in use
constexpr int NoDriver = 6;     // the MIDI system itself is not available
}  // namespace MidiResult

}  // namespace tova
