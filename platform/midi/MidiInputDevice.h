#pragma once

#include <QByteArray>
#include <QObject>

namespace tova {

// One MIDI input device. Once open it reports every message it receives, whole: a short message
// (status and its data bytes) or a complete system-exclusive message from 0xF0 to 0xF7 (an
// incomplete one without its 0xF7). `received` is emitted on the device's own thread: connect
// it with a queued connection.
class MidiInputDevice : public QObject {
    Q_OBJECT
public:
    // Opens device `id` (0 .. count - 1); a `MidiResult` code.
    virtual int open(int id) = 0;
    virtual void close() = 0;

signals:
    void received(const QByteArray& message);
};

}  // namespace tova
