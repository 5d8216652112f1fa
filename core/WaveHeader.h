#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace tova {

// The header record filled by ReadWaveFile, in the field order of a canonical RIFF/WAVE header.
// For AIFF files the reader fills the same fields from the "COMM" chunk.
struct WaveHeader {
    QByteArray riffId;             // "RIFF" or "FORM" (4 characters)
    qint32 riffSize = 0;
    QByteArray formId;             // "WAVE" or "AIFF"
    QByteArray fmtId;              // "fmt "
    qint32 fmtSize = 0;
    qint16 formatTag = 0;
    qint16 channels = 0;
    qint32 samplesPerSec = 0;      // 0 whenever nothing usable was read
    qint32 avgBytesPerSec = 0;
    qint16 blockAlign = 0;
    qint16 bitsPerSample = 0;
    QByteArray dataId;             // "data"
    qint32 dataSize = 0;           // bytes of sample data
};

}  // namespace tova
