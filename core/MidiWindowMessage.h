#pragma once

#include <QEvent>
#include <QtGlobal>

namespace tova {

struct MidiBufferHeader;

// A message of a MIDI input device to its callback window, sent to the window on the user-interface
// thread. `message` is one of the three kinds below; a data message carries the short message
// packed as status + data 1 * 256 + data 2 * 65536, the other two the input buffer header.
class MidiWindowMessage : public QEvent {
public:
    static constexpr int Data = 963;       // short message received
    static constexpr int LongData = 964;   // system-exclusive data received into the buffer
    static constexpr int LongError = 966;  // incomplete system-exclusive data received

    MidiWindowMessage(int message, quint32 packed, MidiBufferHeader* header)
        : QEvent(eventType()), message_(message), packed_(packed), header_(header) {}

    int message() const { return message_; }
    quint32 packed() const { return packed_; }
    MidiBufferHeader* header() const { return header_; }

    static QEvent::Type eventType() {
        static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
        return type;
    }

private:
    int message_;
    quint32 packed_;
    MidiBufferHeader* header_;
};

}  // namespace tova
