#include "platform/PcmWave.h"

#include "platform/lean/PcmWaveHeader.h"

namespace tova {

QByteArray PcmWaveHeader(quint32 sampleRate, quint16 channels, quint32 dataBytes) {
    const auto header = lean::pcmWaveHeader(sampleRate, channels, dataBytes);
    return QByteArray(header.data(), PcmWaveHeaderSize);
}

}  // namespace tova
