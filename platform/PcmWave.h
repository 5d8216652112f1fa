#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace tova {

// The canonical 44-byte RIFF/WAVE header of 16-bit PCM data: "RIFF", the size of what follows,
// "WAVE", a 16-byte "fmt " chunk and the "data" chunk header. The wave writers of the tools put it
// before (or beside) `dataBytes` bytes of little-endian samples.
inline constexpr int PcmWaveHeaderSize = 44;
QByteArray PcmWaveHeader(quint32 sampleRate, quint16 channels, quint32 dataBytes);

}  // namespace tova
