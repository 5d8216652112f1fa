#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace tova {

// A buffer for system-exclusive data and its header, as a MIDI device fills and returns it.
struct MidiBufferHeader {
    static constexpr quint32 Done = 1;      // the device has filled it and handed it back
    static constexpr quint32 Prepared = 2;  // ready for the device
    static constexpr quint32 InQueue = 4;   // given to the device, waiting for data

    QByteArray* data = nullptr;  // the byte buffer
    int bufferLength = 0;        // how many bytes the device may put in: the buffer's upper index
    int bytesRecorded = 0;
    quintptr user = 0;
    quint32 flags = 0;
};

}  // namespace tova
