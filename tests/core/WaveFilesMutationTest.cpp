// Seeded random damage to valid sample files and frequency tables: whatever the bytes, the readers
// end, stay inside the file and report either a consistent result or a clean failure.
#include "core/WaveFiles.h"
#include "support/TestSupport.h"
#include "WaveFixtures.h"

#include <QBuffer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

using namespace tova;
using namespace tova::test::wave;

namespace {

std::vector<QByteArray> validInputs() {
    const QVector<qint16> values = {0, 100, -100, 32767, -32768, 5, 6, 7};
    std::vector<QByteArray> in;
    WavSpec mono; mono.data = pcm16(values);
    in.push_back(makeWav(mono));
    WavSpec stereo = mono; stereo.channels = 2; stereo.rate = 48000;
    stereo.beforeFmt = chunk("LIST", QByteArray("INFOISFT\3\0\0\0ab\0", 15));
    stereo.beforeData = chunk("LIST", QByteArray("INFO", 4));
    in.push_back(makeWav(stereo));
    WavSpec ext = mono; ext.fmtSize = 18; ext.dataSizeField = 0;
    in.push_back(makeWav(ext));
    AiffSpec aiff; aiff.frames = values.size(); aiff.sound = pcm16be(values);
    in.push_back(makeAiff(aiff));
    AiffSpec aiff24; aiff24.frames = 2; aiff24.bits = 24; aiff24.sound = QByteArray("\1\2\3\4\5\6", 6);
    in.push_back(makeAiff(aiff24));
    FrqHeader h;
    h.signature = "FREQ0003";
    h.averageFreq = 220.0;
    h.frameCount = 3;
    in.push_back(makeFrq(h, {220.0, 1.0, 55.0, 0.0, 221.5, 0.5}));
    return in;
}

QByteArray mutate(QByteArray b, std::mt19937& rng) {
    auto pick = [&](int n) { return int(std::uniform_int_distribution<int>(0, n - 1)(rng)); };
    static const quint32 interesting[] = {0u, 1u, 2u, 8u, 14u, 16u, 18u, 4095u, 4096u, 0x7FFFu, 0x8000u, 0xFFFFu,
                                          1u << 30, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFF8u, 0xFFFFFFFFu};
    const int steps = 1 + pick(4);
    for (int s = 0; s < steps; ++s) {
        const int at = b.isEmpty() ? 0 : pick(int(b.size()));
        switch (pick(7)) {
        case 0:  // flip one bit
            if (!b.isEmpty()) b[at] = char(b[at] ^ (1 << pick(8)));
            break;
        case 1:  // set one byte to an edge value
            if (!b.isEmpty()) b[at] = char(std::array<int, 5>{0, 1, 0x7F, 0x80, 0xFF}[pick(5)]);
            break;
        case 2: {  // overwrite a 32-bit field (either byte order) with an edge value
            const quint32 v = interesting[pick(int(std::size(interesting)))];
            char c[4];
            if (pick(2)) qToLittleEndian(v, c); else qToBigEndian(v, c);
            for (int k = 0; k < 4 && at + k < b.size(); ++k) b[at + k] = c[k];
            break;
        }
        case 3:  // truncate
            b.truncate(at);
            break;
        case 4:  // insert random bytes
            b.insert(at, QByteArray(1 + pick(9), char(pick(256))));
            break;
        case 5:  // repeat a slice (a chunk seen twice)
            if (!b.isEmpty()) b.insert(at, b.mid(pick(int(b.size())), 1 + pick(24)));
            break;
        default:  // drop a slice
            b.remove(at, 1 + pick(8));
            break;
        }
    }
    return b;
}

void checkWave(qint32 n, const WaveHeader& h, const QVector<qint16>& samples, qint64 fileSize) {
    ASSERT_GE(n, 0);
    if (n == 0) {
        EXPECT_EQ(samples, QVector<qint16>{0});
        EXPECT_EQ(h.samplesPerSec, 0);
        EXPECT_EQ(h.dataSize, 0);
        return;
    }
    EXPECT_EQ(samples.size(), n);
    EXPECT_GT(h.dataSize, 0);
    EXPECT_LE(h.dataSize, fileSize);
    EXPECT_LE(n, h.dataSize);
}

TEST(WaveFilesMutation, DamagedFilesReadSafely) {
    QTemporaryDir dir;
    const QString sample = dir.filePath(QStringLiteral("m.wav"));
    const QString table = dir.filePath(QStringLiteral("m_wav.frq"));
    const std::vector<QByteArray> seeds = validInputs();
    std::mt19937 rng(20240611u);
    int waveReads = 0, tableReads = 0;
    for (int i = 0; i < 4000; ++i) {
        const QByteArray bytes = mutate(seeds[size_t(i) % seeds.size()], rng);
        SCOPED_TRACE("input " + std::to_string(i) + ": " + bytes.toHex().toStdString());

        // Every input goes to both readers, from memory and (one in four) through the file functions.
        WaveHeader h;
        QVector<qint16> samples;
        QBuffer buf;
        buf.setData(bytes);
        buf.open(QIODevice::ReadOnly);
        const qint32 n = ReadWaveFrom(h, samples, buf);
        checkWave(n, h, samples, bytes.size());
        waveReads += n > 0;

        FrqHeader fh;
        QVector<double> frames;
        const bool tableOk = ReadFrqFrom(fh, frames, buf);
        if (tableOk) {
            ++tableReads;
            ASSERT_GE(fh.frameCount, 1);
            ASSERT_LE(fh.frameCount, 4095);
            EXPECT_EQ(frames.size(), 2 * fh.frameCount);
            EXPECT_GE(bytes.size(), 40 + 16 * fh.frameCount);
        }

        if (i % 4 == 0) {
            test::writeFile(sample, bytes);
            test::writeFile(table, bytes);
            WaveHeader h2;
            QVector<qint16> samples2;
            EXPECT_EQ(ReadWaveFile(h2, samples2, sample), n);
            EXPECT_EQ(samples2, samples);
            FrqHeader fh2;
            QVector<double> frames2;
            EXPECT_EQ(ReadFrqFile(fh2, frames2, sample), tableOk);
            EXPECT_EQ(frames2, frames);
        }
        if (HasFailure()) break;
    }
    // The damage leaves many inputs readable, so the readers' success paths are exercised too.
    EXPECT_GT(waveReads, 400);
    EXPECT_GT(tableReads, 100);
}

}  // namespace
