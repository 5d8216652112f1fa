// libFuzzer entry: any bytes, read as a sample file and as a frequency table. Besides the
// sanitizers, a result that breaks the readers' promises aborts.
#include "core/WaveFiles.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buf;
    buf.setData(bytes);
    if (!buf.open(QIODevice::ReadOnly)) std::abort();

    tova::WaveHeader h;
    QVector<qint16> samples;
    const qint32 n = tova::ReadWaveFrom(h, samples, buf);
    if (n < 0) std::abort();
    if (n == 0 && (samples.size() != 1 || samples[0] != 0 || h.samplesPerSec != 0 || h.dataSize != 0)) std::abort();
    if (n > 0 && (samples.size() != n || h.dataSize <= 0 || h.dataSize > qint64(size) || n > h.dataSize)) std::abort();

    tova::FrqHeader fh;
    QVector<double> frames;
    if (tova::ReadFrqFrom(fh, frames, buf)) {
        if (fh.frameCount < 1 || fh.frameCount > 4095 || frames.size() != 2 * qsizetype(fh.frameCount) ||
            qint64(size) < 40 + 16 * qint64(fh.frameCount))
            std::abort();
    }
    return 0;
}
