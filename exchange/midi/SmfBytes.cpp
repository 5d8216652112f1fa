#include "exchange/midi/SmfBytes.h"

#include "exchange/midi/SmfFile.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"

#include <limits>

namespace tova {

namespace {

qint64 readVarLen(SmfFile& file, qint16& count) {
    qint64 value = 0;
    count = 0;
    for (;;) {
        const quint8 b = file.readByte();
        if (count < std::numeric_limits<qint16>::max()) ++count;
        value = value * 128 + (b & 127);
        if (value > std::numeric_limits<qint32>::max()) throw OverflowError();
        if (b < 128) return value;
    }
}

}  // namespace

qint32 SmfReadBE32(SmfFile& file) {
    quint8 b[4];
    for (auto& x : b) x = file.readByte();
    if (b[0] >= 128) throw OverflowError();
    return (qint32(b[0]) << 24) | (qint32(b[1]) << 16) | (qint32(b[2]) << 8) | qint32(b[3]);
}

qint16 SmfReadBE16(SmfFile& file) {
    const quint8 b0 = file.readByte();
    const quint8 b1 = file.readByte();
    if (b0 >= 128) throw OverflowError();
    return qint16(b0 * 256 + b1);
}

qint32 SmfReadVarLen(SmfFile& file) {
    qint16 count = 0;
    return qint32(readVarLen(file, count));
}

qint32 SmfReadVarLenCounted(SmfFile& file, qint16& count) {
    return qint32(readVarLen(file, count));
}

void SmfAppendByte(QByteArray& buffer, quint8 b) { buffer.append(char(b)); }

void SmfAppendBytes(QByteArray& buffer, const QByteArray& src) { buffer.append(src); }

void SmfAppendBE16(QByteArray& buffer, qint16 value) {
    const quint16 v = quint16(value);
    buffer.append(char(v >> 8));
    buffer.append(char(v & 0xFF));
}

void SmfAppendBE24(QByteArray& buffer, qint32 value) {
    const quint32 v = quint32(value);
    buffer.append(char((v >> 16) & 0xFF));
    buffer.append(char((v >> 8) & 0xFF));
    buffer.append(char(v & 0xFF));
}

void SmfAppendBE32(QByteArray& buffer, qint32 value) {
    if (value < 0) throw OverflowError();
    const quint32 v = quint32(value);
    buffer.append(char(v >> 24));
    buffer.append(char((v >> 16) & 0xFF));
    buffer.append(char((v >> 8) & 0xFF));
    buffer.append(char(v & 0xFF));
}

void SmfAppendPitchBend14(QByteArray& buffer, qint32 value) {
    buffer.append(char(value & 127));
    buffer.append(char((value / 128) & 127));
}

void SmfEncodeVarLen(QByteArray& buffer, qint32 value) {
    // Groups are collected least significant first and appended in reverse, so the group with bit 7
    // clear comes last. Division truncates toward zero, as the classic integer division does.
    char groups[5];
    int n = 0;
    groups[n++] = char(value & 127);
    while (value / 128 != 0) {
        value /= 128;
        groups[n++] = char((value & 127) + 128);
    }
    while (n > 0) buffer.append(groups[--n]);
}

void SmfAppendMetaEvent(QByteArray& buffer, quint8 metaType, const QString& text) {
    const QByteArray bytes = Cp932::encode(text);
    buffer.append(char(0xFF));
    buffer.append(char(metaType));
    SmfEncodeVarLen(buffer, qint32(bytes.size()));
    buffer.append(bytes);
}

}  // namespace tova
