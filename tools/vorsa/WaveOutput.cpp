#include "tools/vorsa/WaveOutput.h"

#include "platform/PcmWave.h"
#include "tools/vorsa/RenderConstants.h"

#include <QSaveFile>

#include <cmath>
#include <cstdint>

namespace tova::vorsa {
namespace {

void put16(QByteArray& b, uint16_t v) {
    b.append(static_cast<char>(v & 0xFF));
    b.append(static_cast<char>(v >> 8));
}

}  // namespace

QByteArray WaveOutput::encode(const std::vector<float>& samples) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    QByteArray b = PcmWaveHeader(kSampleRate, 1, dataBytes);
    b.reserve(PcmWaveHeaderSize + static_cast<qsizetype>(dataBytes));
    for (float s : samples) {
        const double scaled = std::isfinite(s) ? std::nearbyint(static_cast<double>(s) * 32768.0) : 0.0;
        const int v = scaled > 32767.0 ? 32767 : (scaled < -32768.0 ? -32768 : static_cast<int>(scaled));
        put16(b, static_cast<uint16_t>(static_cast<int16_t>(v)));
    }
    return b;
}

bool WaveOutput::write(const QString& path, const std::vector<float>& samples, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = QStringLiteral("cannot create %1: %2").arg(path, file.errorString());
        return false;
    }
    const QByteArray bytes = encode(samples);
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        if (error) *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        file.cancelWriting();
        return false;
    }
    return true;
}

}  // namespace tova::vorsa
