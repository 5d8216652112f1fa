#include "platform/midi/MidiOutputDevice.h"

namespace tova {

int MidiOutputDevice::shortLength(int status) {
    if (status < 0x80) return 3;  // a data byte first: running status, two data bytes follow the status
    if (status < 0xC0) return 3;  // note off, note on, key pressure, control change
    if (status < 0xE0) return 2;  // program change, channel pressure
    if (status < 0xF0) return 3;  // pitch bend
    switch (status) {
    case 0xF1:  // time-code quarter frame
    case 0xF3:  // song select
        return 2;
    case 0xF2:  // song position
        return 3;
    default:
        return 1;  // tune request and the real-time messages
    }
}

void MidiOutputDevice::sendShort(quint32 packed) {
    const int status = int(packed & 0xFF);
    QByteArray bytes;
    bytes.append(char(status));
    const int n = shortLength(status);
    if (n >= 2) bytes.append(char((packed >> 8) & 0xFF));
    if (n >= 3) bytes.append(char((packed >> 16) & 0xFF));
    send(bytes);
}

void MidiOutputDevice::reset() {
    for (int ch = 0; ch < 16; ++ch) {
        QByteArray b;
        b.append(char(0xB0 | ch));
        b.append(char(123));
        b.append(char(0));
        send(b);
    }
}

}  // namespace tova
