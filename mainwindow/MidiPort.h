#pragma once

#include <QObject>
#include <QString>

namespace tova {

// The MIDI devices.
class MidiPort {
public:
    virtual ~MidiPort() = default;
    // 0 on success.
    virtual int OpenMidiIn(const QString& deviceName, QObject* receiver) = 0;
    virtual void CloseMidiIn() = 0;
    virtual int OpenMidiOut(const QString& deviceName, QObject* receiver) = 0;
    virtual void CloseMidiOut() = 0;
    // The note-entry and synchronised-scroll flags of MIDI input.
    virtual void SetStepInput(bool on) = 0;
    virtual void SetSyncScroll(bool on) = 0;
};

}  // namespace tova
