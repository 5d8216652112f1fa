#include "support/TestWave.h"

#include "support/TestSupport.h"

#include <QByteArray>

namespace tova::test {
namespace {
void put32(QByteArray& b, quint32 v) {
    for (int i = 0; i < 4; ++i) b.append(char((v >> (8 * i)) & 0xFF));
}
void put16(QByteArray& b, quint16 v) {
    b.append(char(v & 0xFF));
    b.append(char(v >> 8));
}
}  // namespace

void writeWave16(const QString& path, int rate, int channels, const std::vector<int16_t>& samples) {
    const quint32 dataBytes = quint32(samples.size() * 2);
    QByteArray b;
    b.append("RIFF");
    put32(b, 36 + dataBytes);
    b.append("WAVE");
    b.append("fmt ");
    put32(b, 16);
    put16(b, 1);  // PCM
    put16(b, quint16(channels));
    put32(b, quint32(rate));
    put32(b, quint32(rate * channels * 2));
    put16(b, quint16(channels * 2));
    put16(b, 16);
    b.append("data");
    put32(b, dataBytes);
    for (int16_t s : samples) put16(b, quint16(s));
    writeFile(path, b);
}

void writeFlatWave(const QString& path, int rate, int frames, int16_t value) {
    writeWave16(path, rate, 1, std::vector<int16_t>(size_t(frames), value));
}

}  // namespace tova::test
