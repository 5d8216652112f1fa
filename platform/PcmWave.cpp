#include "platform/PcmWave.h"

#include <QtEndian>

namespace tova {
namespace {

void put16(QByteArray& b, quint16 v) {
    char raw[2];
    qToLittleEndian(v, raw);
    b.append(raw, 2);
}

void put32(QByteArray& b, quint32 v) {
    char raw[4];
    qToLittleEndian(v, raw);
    b.append(raw, 4);
}

}  // namespace

QByteArray PcmWaveHeader(quint32 sampleRate, quint16 channels, quint32 dataBytes) {
    const quint16 blockAlign = quint16(channels * 2);
    QByteArray b;
    b.reserve(PcmWaveHeaderSize);
    b.append("RIFF", 4);
    put32(b, 36 + dataBytes);
    b.append("WAVE", 4);
    b.append("fmt ", 4);
    put32(b, 16);
    put16(b, 1);  // PCM
    put16(b, channels);
    put32(b, sampleRate);
    put32(b, sampleRate * blockAlign);  // bytes per second
    put16(b, blockAlign);               // bytes per frame
    put16(b, 16);                       // bits per sample
    b.append("data", 4);
    put32(b, dataBytes);
    return b;
}

}  // namespace tova
