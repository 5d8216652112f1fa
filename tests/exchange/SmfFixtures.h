#pragma once

#include "SmfBuilder.h"

#include <QBuffer>

// Shared fixtures of the MIDI-file tests: files built with the independent builder and a way to read
// them from memory.
namespace tova::test::smf {

// An open read-only buffer over the bytes.
struct Bytes {
    QBuffer buffer;
    explicit Bytes(const QByteArray& data) {
        buffer.setData(data);
        buffer.open(QIODevice::ReadOnly);
    }
    operator QIODevice&() { return buffer; }
};

// A conductor track as the plain export writes it: name, tempo, time signature, marker, header texts.
inline Track conductor(quint32 microseconds, const QList<QByteArray>& texts = {}) {
    Track t;
    t.name("Control").tempo(microseconds).raw(0, bytes({0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08}));
    t.meta(0, 0x06, "Setup").text("Settings");
    for (const QByteArray& line : texts) t.text(line);
    return t;
}

}  // namespace tova::test::smf
