#include "RenderFixtures.h"

#include "platform/Cp932.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cmath>
#include <vector>

namespace tova::test {
namespace {

void put(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}

QByteArray waveBytes(const std::vector<qint16>& samples) {
    QByteArray b = SilentWave(0);
    const quint32 data = quint32(samples.size() * 2);
    qToLittleEndian<quint32>(36 + data, b.data() + 4);
    qToLittleEndian<quint32>(data, b.data() + 40);
    for (qint16 s : samples) {
        char x[2];
        qToLittleEndian(s, x);
        b.append(x, 2);
    }
    return b;
}

}  // namespace

QByteArray SilentWave(qint64 ms) {
    const quint32 frames = quint32(ms * 44100 / 1000);
    const quint32 data = frames * 2;
    QByteArray b;
    auto put32 = [&](quint32 v) {
        char x[4];
        qToLittleEndian(v, x);
        b.append(x, 4);
    };
    auto put16 = [&](quint16 v) {
        char x[2];
        qToLittleEndian(v, x);
        b.append(x, 2);
    };
    b.append("RIFF");
    put32(36 + data);
    b.append("WAVEfmt ");
    put32(16);
    put16(1);
    put16(1);
    put32(44100);
    put32(88200);
    put16(2);
    put16(16);
    b.append("data");
    put32(data);
    b.append(QByteArray(int(data), '\0'));
    return b;
}

QByteArray VoiceSampleWave(double f0, int ms, unsigned seed) {
    const int rate = 44100;
    const int count = ms * rate / 1000;
    const int breath = rate * 40 / 1000;
    std::vector<qint16> out(std::size_t(count), 0);
    unsigned state = seed;
    double phase = 0;
    for (int i = 0; i < count; ++i) {
        double v = 0;
        if (i < breath) {
            state = state * 1103515245u + 12345u;
            v = (double((state >> 16) & 0x7FFF) / 16384.0 - 1.0) * 0.05;
        } else {
            phase += 2 * M_PI * f0 / rate;
            for (int h = 1; h <= 8; ++h) v += std::sin(h * phase) / (h * (1.0 + std::abs(h * f0 - 700.0) / 400.0));
            const double fade = std::min(1.0, (i - breath) / 441.0) * std::min(1.0, (count - i) / 441.0);
            v *= 0.3 * fade;
        }
        out[std::size_t(i)] = qint16(std::lround(std::clamp(v, -1.0, 1.0) * 32767.0));
    }
    return waveBytes(out);
}

void WriteFixtureBank(const QString& folder) {
    put(folder + QStringLiteral("/a.wav"), VoiceSampleWave(220.0, 700, 1));
    put(folder + QStringLiteral("/ka.wav"), VoiceSampleWave(196.0, 700, 2));
    put(folder + QStringLiteral("/sub/i.wav"), VoiceSampleWave(247.0, 700, 3));
    put(folder + QStringLiteral("/R.wav"), SilentWave(300));
    put(folder + QStringLiteral("/oto.ini"),
              Cp932::encode(QStringLiteral("a.wav=あ,30,80,-300,60,15\r\nka.wav=か,25,90,-320,75,20\r\n")));
    put(folder + QStringLiteral("/sub/oto.ini"), Cp932::encode(QStringLiteral("i.wav=い,30,80,-300,55,12\r\n")));
}

}  // namespace tova::test
