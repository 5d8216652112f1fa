#pragma once

#include <QByteArray>
#include <QString>

namespace tova {

class SmfFile;

// The bytes of Standard MIDI Files: big-endian integers, variable-length quantities (7 bits a byte,
// most significant group first, bit 7 set on every byte but the last), the two 7-bit bytes of a
// pitch-bend value and meta events with text in the system code page.

// ---- readers: each reads the next bytes of the file ----
// A read past the end of the file or of the open chunk raises SmfFormatError; a value that does not
// fit its result raises OverflowError: a 32-bit value whose first byte is 128 or more, a 16-bit value
// whose first byte is 128 or more, a variable-length quantity above 2^31 - 1.

qint32 SmfReadBE32(SmfFile& file);
qint16 SmfReadBE16(SmfFile& file);
qint32 SmfReadVarLen(SmfFile& file);
// As SmfReadVarLen; `count` receives the number of bytes read.
qint32 SmfReadVarLenCounted(SmfFile& file, qint16& count);

// ---- writers: each appends to the end of the buffer ----

void SmfAppendByte(QByteArray& buffer, quint8 b);
void SmfAppendBytes(QByteArray& buffer, const QByteArray& src);
// High byte, low byte.
void SmfAppendBE16(QByteArray& buffer, qint16 value);
// Bits 16..23, 8..15, 0..7 (a tempo in microseconds per quarter note).
void SmfAppendBE24(QByteArray& buffer, qint32 value);
// Bits 24..31 down to 0..7; a negative value raises OverflowError and appends nothing.
void SmfAppendBE32(QByteArray& buffer, qint32 value);
// value And 127, then (value \ 128) And 127: the low seven bits first, as in a pitch-bend message
// (centre 8192).
void SmfAppendPitchBend14(QByteArray& buffer, qint32 value);
// The variable-length quantity of the value (0 is the single byte 00).
void SmfEncodeVarLen(QByteArray& buffer, qint32 value);
// FF, the type, the variable-length byte count of the text in the system code page, those bytes.
void SmfAppendMetaEvent(QByteArray& buffer, quint8 metaType, const QString& text);

}  // namespace tova
