#pragma once

#include "platform/midi/MidiSystem.h"

#include <QString>

namespace tova {

// The machine's MIDI devices through RtMidi. `api` names the MIDI system to use ("alsa", "jack");
// empty takes the first one that works and has devices of the kind asked for (else the first one
// that works at all).
class RtMidiSystem : public MidiSystem {
public:
    explicit RtMidiSystem(const QString& api = QString());

    QStringList inputNames() override;
    QStringList outputNames() override;
    std::unique_ptr<MidiInputDevice> createInput() override;
    std::unique_ptr<MidiOutputDevice> createOutput() override;

    // The name a device is known by: the port name, without the bus address ("14:0") that the ALSA
    // sequencer appends and that changes when devices are plugged in another order.
    static QString deviceName(const std::string& portName, bool alsa);

private:
    int resolveApi(bool input) const;
    QString api_;
};

}  // namespace tova
