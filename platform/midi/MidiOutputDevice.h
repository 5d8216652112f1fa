#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace tova {

// One MIDI output device.
class MidiOutputDevice {
public:
    virtual ~MidiOutputDevice() = default;
    // Opens device `id` (0 .. count - 1); a `MidiResult` code.
    virtual int open(int id) = 0;
    virtual void close() = 0;
    // Sends the bytes as they are.
    virtual void send(const QByteArray& bytes) = 0;

    // Sends a short message packed as status + data 1 * 256 + data 2 * 65536: as many bytes as its
    // status byte calls for.
    void sendShort(quint32 packed);
    // Turns every note off on all sixteen channels (All Notes Off).
    void reset();

    // The length in bytes of a short message with this status byte (1 to 3).
    static int shortLength(int status);
};

}  // namespace tova
