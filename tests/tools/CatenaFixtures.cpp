#include "CatenaFixtures.h"

#include <QtEndian>

#include <cmath>

namespace tova::test {
namespace {

void u32(QByteArray& b, quint32 v) {
    char raw[4];
    qToLittleEndian(v, raw);
    b.append(raw, 4);
}

void u16(QByteArray& b, quint16 v) {
    char raw[2];
    qToLittleEndian(v, raw);
    b.append(raw, 2);
}

}  // namespace

QByteArray catenaWaveBytes(const std::vector<qint16>& interleaved, int channels, int rate) {
    const quint32 dataBytes = quint32(interleaved.size() * 2);
    QByteArray b;
    b.append("RIFF", 4);
    u32(b, 36 + dataBytes);
    b.append("WAVEfmt ", 8);
    u32(b, 16);
    u16(b, 1);
    u16(b, quint16(channels));
    u32(b, quint32(rate));
    u32(b, quint32(rate * channels * 2));
    u16(b, quint16(channels * 2));
    u16(b, 16);
    b.append("data", 4);
    u32(b, dataBytes);
    for (qint16 s : interleaved) u16(b, quint16(s));
    return b;
}

std::vector<qint16> catenaSine(int frames, double amplitude, double frequency, int rate) {
    std::vector<qint16> s(std::size_t(frames > 0 ? frames : 0));
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = qint16(std::lround(amplitude * std::sin(2 * M_PI * frequency * double(i) / rate)));
    return s;
}

std::vector<qint16> catenaRawSamples(const QByteArray& bytes) {
    std::vector<qint16> s(std::size_t(bytes.size() / 2));
    for (std::size_t i = 0; i < s.size(); ++i) s[i] = qFromLittleEndian<qint16>(bytes.constData() + i * 2);
    return s;
}

CatenaWaveCheck catenaReadWave(const QByteArray& bytes) {
    CatenaWaveCheck w;
    auto fail = [&](const char* why) {
        w.problem = QString::fromLatin1(why);
        return w;
    };
    if (bytes.size() < 44) return fail("shorter than a header");
    if (bytes.left(4) != "RIFF" || bytes.mid(8, 4) != "WAVE") return fail("no RIFF/WAVE");
    if (qFromLittleEndian<quint32>(bytes.constData() + 4) != quint32(bytes.size() - 8)) return fail("RIFF size");
    qsizetype pos = 12;
    bool haveFmt = false;
    while (pos + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(pos, 4);
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + pos + 4);
        pos += 8;
        if (id == "fmt ") {
            if (size < 16 || pos + size > quint64(bytes.size())) return fail("fmt size");
            if (qFromLittleEndian<quint16>(bytes.constData() + pos) != 1) return fail("not PCM");
            w.channels = qFromLittleEndian<quint16>(bytes.constData() + pos + 2);
            w.rate = int(qFromLittleEndian<quint32>(bytes.constData() + pos + 4));
            const quint32 byteRate = qFromLittleEndian<quint32>(bytes.constData() + pos + 8);
            const quint16 align = qFromLittleEndian<quint16>(bytes.constData() + pos + 12);
            w.bits = qFromLittleEndian<quint16>(bytes.constData() + pos + 14);
            if (align != w.channels * w.bits / 8 || byteRate != quint32(w.rate) * align) return fail("fmt fields");
            haveFmt = true;
        } else if (id == "data") {
            if (!haveFmt) return fail("data before fmt");
            if (pos + size != quint64(bytes.size())) return fail("data size does not reach the end of the file");
            w.samples = catenaRawSamples(bytes.mid(pos, size));
            w.valid = true;
            return w;
        }
        pos += size + (size & 1);
    }
    return fail("no data chunk");
}

}  // namespace tova::test
