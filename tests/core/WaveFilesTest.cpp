#include "core/Digests.h"
#include "core/WaveFiles.h"
#include "support/TestSupport.h"
#include "WaveFixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test::wave;

namespace {

QVector<qint16> ramp(int n, int step = 1000) {
    QVector<qint16> v;
    for (int i = 0; i < n; ++i) v.append(qint16((i * step) % 65536 - 32768));
    return v;
}

struct WaveCase {
    const char* name;
    QByteArray file;
    qint32 count;
    qint16 channels;
    qint32 rate;
    qint16 blockAlign;
    qint16 bits;
    qint32 dataSize;
    QVector<qint16> samples;  // expected values, all of them
};

std::vector<WaveCase> readableWaves() {
    const QVector<qint16> mono = {0, 1, -1, 32767, -32768, 1234};
    const QVector<qint16> stereo = {10, -10, 20, -20, 30, -30};
    std::vector<WaveCase> cases;
    {
        WavSpec s; s.data = pcm16(mono);
        cases.push_back({"mono 16-bit 44.1 kHz", makeWav(s), 6, 1, 44100, 2, 16, 12, mono});
    }
    {
        WavSpec s; s.channels = 2; s.data = pcm16(stereo);
        cases.push_back({"stereo keeps values interleaved", makeWav(s), 6, 2, 44100, 4, 16, 12, stereo});
    }
    {
        WavSpec s; s.rate = 48000; s.data = pcm16(mono);
        cases.push_back({"48 kHz", makeWav(s), 6, 1, 48000, 2, 16, 12, mono});
    }
    {
        WavSpec s; s.data = pcm16(mono);
        s.beforeFmt = chunk("LIST", QByteArray("INFOISFT\4\0\0\0abc\0", 16));
        s.beforeData = chunk("LIST", QByteArray("INFOICMT\2\0\0\0x\0", 14));
        cases.push_back({"LIST chunks before fmt and before data", makeWav(s), 6, 1, 44100, 2, 16, 12, mono});
    }
    {
        WavSpec s; s.data = pcm16(mono); s.fmtSize = 18;
        cases.push_back({"18-byte fmt chunk", makeWav(s), 6, 1, 44100, 2, 16, 12, mono});
    }
    {
        WavSpec s; s.data = pcm16(mono); s.beforeFmt = chunk("junk", QByteArray("odd", 3));
        cases.push_back({"odd-sized chunk with its pad byte", makeWav(s), 6, 1, 44100, 2, 16, 12, mono});
    }
    {
        WavSpec s; s.data = pcm16(mono); s.beforeFmt = chunk("junk", QByteArray("odd", 3), false);
        cases.push_back({"odd-sized chunk written without a pad byte", makeWav(s), 6, 1, 44100, 2, 16, 12, mono});
    }
    {
        WavSpec s; s.data = pcm16(mono); s.dataSizeField = 0;
        cases.push_back({"data size 0: the bytes after the data header", makeWav(s), 6, 1, 44100, 2, 16, 12, mono});
    }
    {
        WavSpec s; s.data = pcm16(mono); s.dataSizeField = 0xFFFFFFFF;
        cases.push_back({"data size past the end: the bytes left", makeWav(s), 6, 1, 44100, 2, 16, 12, mono});
    }
    {
        WavSpec s; s.data = pcm16(mono); s.dataSizeField = 4000;
        QByteArray f = makeWav(s);
        f.chop(3);  // truncated in the middle of the last sample
        cases.push_back({"truncated data", f, 4, 1, 44100, 2, 16, 9, mono.mid(0, 4)});
    }
    {
        WavSpec s; s.data = pcm16(mono); s.afterData = chunk("LIST", QByteArray("INFOxxxx", 8));
        cases.push_back({"chunk after the data is not read as samples", makeWav(s), 6, 1, 44100, 2, 16, 12, mono});
    }
    {
        WavSpec s; s.bits = 8; s.data = QByteArray("\x01\x02\x03\x04\x05", 5);
        // One byte per sample: one 16-bit word per data byte is asked for; words past the data are 0.
        cases.push_back({"8-bit data read as 16-bit words", makeWav(s), 5, 1, 44100, 1, 8, 5, {0x0201, 0x0403, 0, 0, 0}});
    }
    {
        AiffSpec s; s.frames = 6; s.sound = pcm16be(mono);
        cases.push_back({"AIFF 16-bit mono 44.1 kHz", makeAiff(s), 6, 1, 44100, 2, 16, 12, mono});
    }
    {
        AiffSpec s; s.frames = 3; s.rate80 = extended(48000); s.bits = 24;
        s.sound = QByteArray("\x12\x34\x56\xFF\xFE\x00\x80\x00\x01", 9);
        cases.push_back({"AIFF 24-bit 48 kHz keeps the top two bytes", makeAiff(s), 3, 1, 48000, 3, 24, 9, {0x1234, -2, -32768}});
    }
    {
        // The usual encoding of 44100 Hz: 40 0E AC 44 00 00 00 00 00 00.
        AiffSpec s; s.frames = 2; s.rate80 = QByteArray("\x40\x0E\xAC\x44\0\0\0\0\0\0", 10); s.sound = pcm16be({-2, 2});
        cases.push_back({"AIFF rate bytes 40 0E AC 44", makeAiff(s), 2, 1, 44100, 2, 16, 4, {-2, 2}});
    }
    {
        // Stereo AIFF: block align and bits are filled per sample and channel; the values are the
        // first `frames` 16-bit words (callers use single-channel samples).
        AiffSpec s; s.channels = 2; s.frames = 2; s.sound = pcm16be({1, 2, 3, 4});
        cases.push_back({"AIFF stereo", makeAiff(s), 2, 2, 44100, 2, 32, 4, {1, 2}});
    }
    return cases;
}

TEST(WaveFiles, ReadsWaveAndAiffFixtures) {
    QTemporaryDir dir;
    for (const WaveCase& c : readableWaves()) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QStringLiteral("s.wav"));
        test::writeFile(path, c.file);
        WaveHeader h;
        QVector<qint16> samples{7, 7, 7};
        ASSERT_EQ(ReadWaveFile(h, samples, path), c.count);
        EXPECT_EQ(h.channels, c.channels);
        EXPECT_EQ(h.samplesPerSec, c.rate);
        EXPECT_EQ(h.blockAlign, c.blockAlign);
        EXPECT_EQ(h.bitsPerSample, c.bits);
        EXPECT_EQ(h.dataSize, c.dataSize);
        EXPECT_EQ(h.avgBytesPerSec, c.rate * c.blockAlign);
        EXPECT_EQ(samples, c.samples);
        const bool aiff = c.file.startsWith("FORM");
        EXPECT_EQ(h.riffId, aiff ? QByteArray("FORM") : QByteArray("RIFF"));
        EXPECT_EQ(h.formId, aiff ? QByteArray("AIFF") : QByteArray("WAVE"));
        if (!aiff) {
            EXPECT_EQ(h.fmtId, QByteArray("fmt "));
            EXPECT_EQ(h.dataId, QByteArray("data"));
            EXPECT_EQ(h.formatTag, 1);
        }
        const qint32 riffSize = aiff ? qint32(qFromBigEndian<quint32>(c.file.constData() + 4))
                                     : qFromLittleEndian<qint32>(c.file.constData() + 4);
        EXPECT_EQ(h.riffSize, riffSize);
    }
}

TEST(WaveFiles, FailuresReadNothing) {
    QTemporaryDir dir;
    const QVector<qint16> mono = {1, 2, 3, 4};
    struct Case { const char* name; QByteArray file; };
    std::vector<Case> cases;
    cases.push_back({"zero-length file", QByteArray()});
    cases.push_back({"shorter than the RIFF header", QByteArray("RIFF\4\0\0", 7)});
    cases.push_back({"not a wave file", QByteArray("RIFF\4\0\0\0AVI LIST\0\0\0\0", 20)});
    cases.push_back({"form case differs", QByteArray("riff\4\0\0\0wave", 12)});
    cases.push_back({"file ends before fmt", QByteArray("RIFF\x10\0\0\0WAVELIST\x04\0\0\0ab", 22)});
    {
        WavSpec s; s.data = pcm16(mono);
        QByteArray f = makeWav(s);
        cases.push_back({"file ends before data", f.left(f.indexOf("data"))});
        cases.push_back({"data header without data", f.left(f.indexOf("data") + 8)});
        cases.push_back({"data header cut short", f.left(f.indexOf("data") + 6)});
    }
    {
        WavSpec s; s.data = pcm16(mono); s.beforeFmt = QByteArray("LIST\xF0\xFF\xFF\xFF", 8);
        cases.push_back({"huge chunk size before fmt", makeWav(s)});
    }
    {
        WavSpec s; s.data = pcm16(mono); s.beforeData = QByteArray("LIST\xFF\xFF\xFF\xFF", 8);
        cases.push_back({"chunk size -1 before data", makeWav(s)});
    }
    {
        WavSpec s; s.data = pcm16(mono);
        QByteArray f = makeWav(s);
        f.replace(f.indexOf("fmt ") + 4, 4, QByteArray("\xF0\xFF\xFF\xFF", 4));  // far more than the file holds
        cases.push_back({"huge fmt chunk size", f});
    }
    {
        WavSpec s; s.data = pcm16(mono);
        QByteArray f = makeWav(s);
        const int at = f.indexOf("fmt ") + 4;
        f[at] = 14;  // a 14-byte format chunk (no bits-per-sample field)
        cases.push_back({"fmt chunk shorter than 16 bytes", f});
    }
    {
        WavSpec s; s.data = pcm16(mono); s.bits = 0;
        cases.push_back({"bits per sample 0", makeWav(s)});
    }
    {
        WavSpec s; s.data = pcm16(mono); s.bits = 4;
        cases.push_back({"bits per sample 4 (no whole byte)", makeWav(s)});
    }
    {
        WavSpec s; s.data = pcm16(mono); s.bits = 0xFFF0;
        cases.push_back({"negative bits per sample", makeWav(s)});
    }
    {
        AiffSpec s; s.frames = 4; s.bits = 8; s.sound = QByteArray("\1\2\3\4", 4);
        cases.push_back({"8-bit AIFF", makeAiff(s)});
    }
    {
        AiffSpec s; s.frames = 4; s.sound = pcm16be(mono); s.ssndSizeField = 4;
        cases.push_back({"SSND shorter than its offset and block size", makeAiff(s)});
    }
    {
        AiffSpec s; s.frames = 5; s.sound = pcm16be(mono);
        cases.push_back({"SSND holds fewer frames than COMM says", makeAiff(s)});
    }
    {
        AiffSpec s; s.frames = 1; s.bits = 4104; s.sound = pcm16be(mono);
        cases.push_back({"AIFF sample wider than the sound data", makeAiff(s)});
    }
    {
        AiffSpec s; s.frames = 4; s.sound = pcm16be(mono);
        QByteArray f = makeAiff(s);
        f.chop(1);
        cases.push_back({"truncated SSND", f});
    }
    {
        AiffSpec s; s.frames = 4; s.sound = pcm16be(mono); s.comm = false;
        cases.push_back({"AIFF without COMM", makeAiff(s)});
    }
    {
        AiffSpec s; s.frames = 0; s.sound = pcm16be(mono);
        cases.push_back({"AIFF with no frames", makeAiff(s)});
    }
    {
        AiffSpec s; s.frames = -1; s.sound = pcm16be(mono);
        cases.push_back({"AIFF with a negative frame count", makeAiff(s)});
    }
    {
        AiffSpec s; s.frames = 4; s.sound = pcm16be(mono); s.rate80 = QByteArray("\x7F\xFF\xFF\xFF\xFF\0\0\0\0\0", 10);
        cases.push_back({"AIFF rate too large", makeAiff(s)});
    }
    {
        AiffSpec s; s.frames = 4; s.sound = pcm16be(mono);
        QByteArray f = makeAiff(s);
        cases.push_back({"AIFF ends inside COMM", f.left(f.indexOf("COMM") + 14)});
    }
    {
        QByteArray f("FORM\0\0\0\x10" "AIFFXXXX\x7F\xFF\xFF\xFF", 20);
        cases.push_back({"AIFF chunk of huge size", f});
    }

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QStringLiteral("bad.wav"));
        test::writeFile(path, c.file);
        WaveHeader h;
        h.samplesPerSec = 1;
        QVector<qint16> samples{7, 7, 7};
        EXPECT_EQ(ReadWaveFile(h, samples, path), 0);
        EXPECT_EQ(samples, QVector<qint16>{0});
        EXPECT_EQ(h.samplesPerSec, 0);
        EXPECT_EQ(h.dataSize, 0);
    }

    // Paths that name no file.
    for (const QString& p : {QString(), dir.filePath(QStringLiteral("missing.wav")), dir.path()}) {
        SCOPED_TRACE(p.toStdString());
        WaveHeader h;
        QVector<qint16> samples{7};
        EXPECT_EQ(ReadWaveFile(h, samples, p), 0);
        EXPECT_EQ(h.samplesPerSec, 0);
    }
}

// Waves, frequency tables and digested files are written by other programs: a pipe or a folder in a
// file's place is refused at once, never waited on.
TEST(WaveFiles, APipeOrFolderInAFilesPlaceIsRefusedWithoutWaiting) {
    QTemporaryDir dir;
    const QString pipe = dir.filePath(QStringLiteral("a.wav"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("a_wav.frq"))).constData(), 0600), 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("b.wav")));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("b_wav.frq")));
    for (const QString& name : {QStringLiteral("a.wav"), QStringLiteral("b.wav")}) {
        SCOPED_TRACE(name.toStdString());
        const QString path = dir.filePath(name);
        WaveHeader header;
        QVector<qint16> samples;
        EXPECT_EQ(ReadWaveFile(header, samples, path), 0);
        FrqHeader frq;
        QVector<double> frames;
        EXPECT_FALSE(ReadFrqFile(frq, frames, path));
        QByteArray digest(33, '-');
        EXPECT_FALSE(md5file(path, digest));
    }
}

TEST(WaveFiles, PathsResolveWithoutRegardToCaseAndBackslash) {
    QTemporaryDir dir;
    WavSpec s;
    s.data = pcm16({5, 6});
    test::writeFile(dir.filePath(QStringLiteral("Voice/sub/か.wav")), makeWav(s));
    WaveHeader h;
    QVector<qint16> samples;
    EXPECT_EQ(ReadWaveFile(h, samples, dir.path() + QStringLiteral("\\voice\\SUB\\か.WAV")), 2);
    EXPECT_EQ(samples, (QVector<qint16>{5, 6}));
}

TEST(FrqFiles, TableAndBackupNames) {
    const struct { const char* sample; const char* table; const char* backup; } cases[] = {
        {"a.wav", "a_wav.frq", "a_wav.bak"},
        {"voice\\a.wav", "voice\\a_wav.frq", "voice\\a_wav.bak"},
        {"a.aiff", "a.aiff.frq", "a.aiff.bak"},
        {"A.WAV", "A.WAV.frq", "A.WAV.bak"},
        {"a.Wav", "a.Wav.frq", "a.Wav.bak"},
        {"x.wav.frq/b.wav", "x.wav.frq/b_wav.frq", "x.wav.frq/b_wav.bak"},
        {"か", "か.frq", "か.bak"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sample);
        EXPECT_EQ(FrqTableName(QString::fromUtf8(c.sample)), QString::fromUtf8(c.table));
        EXPECT_EQ(FrqBackupName(FrqTableName(QString::fromUtf8(c.sample))), QString::fromUtf8(c.backup));
    }
    EXPECT_EQ(FrqBackupName(QStringLiteral("t.FRQ")), QStringLiteral("t.FRQ.bak"));
}

FrqHeader frqHeader(qint32 count, double average) {
    FrqHeader h;
    h.signature = QByteArray("FREQ0003");
    h.reserved = 256;
    h.averageFreq = average;
    h.extra1 = 1.25;
    h.extra2 = -7.5;
    h.frameCount = count;
    return h;
}

TEST(FrqFiles, RoundTripKeepsOneBackup) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("voice"));
    QDir().mkpath(folder);
    const QString sample = folder + QStringLiteral("\\a.wav");
    const QString table = folder + QStringLiteral("/a_wav.frq");
    const QString backup = folder + QStringLiteral("/a_wav.bak");

    const FrqHeader first = frqHeader(2, 261.625);
    const QVector<double> firstFrames = {261.0, 0.5, 55.0, 0.0};
    ASSERT_TRUE(WriteFrqFile(first, firstFrames, sample));
    EXPECT_FALSE(QFileInfo::exists(backup)) << "no backup without an earlier table";
    // The layout: 40-byte header, average at 12, frame count at 36, then the pairs.
    const QByteArray firstBytes = test::readFile(table);
    EXPECT_EQ(firstBytes, makeFrq(first, firstFrames));
    ASSERT_EQ(firstBytes.size(), 40 + 4 * 8);
    EXPECT_EQ(firstBytes.left(8), QByteArray("FREQ0003"));
    EXPECT_EQ(qFromLittleEndian<qint32>(firstBytes.constData() + 36), 2);

    FrqHeader h;
    QVector<double> frames;
    ASSERT_TRUE(ReadFrqFile(h, frames, sample));
    EXPECT_EQ(h.signature, first.signature);
    EXPECT_EQ(h.reserved, first.reserved);
    EXPECT_EQ(h.averageFreq, first.averageFreq);
    EXPECT_EQ(h.extra1, first.extra1);
    EXPECT_EQ(h.extra2, first.extra2);
    EXPECT_EQ(h.frameCount, 2);
    EXPECT_EQ(frames, firstFrames);

    // Rewriting moves the previous table to the backup.
    const FrqHeader second = frqHeader(1, 440.0);
    ASSERT_TRUE(WriteFrqFile(second, {440.0, 0.25}, sample));
    EXPECT_EQ(test::readFile(backup), firstBytes);
    EXPECT_EQ(test::readFile(table), makeFrq(second, {440.0, 0.25}));

    // One backup generation: the next write replaces it.
    ASSERT_TRUE(WriteFrqFile(frqHeader(1, 220.0), {220.0, 1.0}, sample));
    EXPECT_EQ(test::readFile(backup), makeFrq(second, {440.0, 0.25}));
    ASSERT_TRUE(ReadFrqFile(h, frames, sample));
    EXPECT_EQ(h.averageFreq, 220.0);
    EXPECT_EQ(frames, (QVector<double>{220.0, 1.0}));

    // A short signature is written as a fixed 8-character field; the largest count round-trips.
    FrqHeader big = frqHeader(4095, 100.0);
    big.signature = "FRQ";
    QVector<double> bigFrames(2 * 4095);
    for (int i = 0; i < bigFrames.size(); ++i) bigFrames[i] = i * 0.5;
    ASSERT_TRUE(WriteFrqFile(big, bigFrames, folder + QStringLiteral("/b.aiff")));
    ASSERT_TRUE(ReadFrqFile(h, frames, folder + QStringLiteral("/B.AIFF")));
    EXPECT_EQ(h.signature, QByteArray("FRQ     "));
    EXPECT_EQ(frames, bigFrames);
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/b.aiff.frq")));

    // The table of a sample spelled in another case is the existing one, rewritten in place.
    ASSERT_TRUE(WriteFrqFile(first, firstFrames, folder + QStringLiteral("/A.wav")));
    EXPECT_EQ(test::readFile(table), firstBytes);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), (QStringList{"a_wav.bak", "a_wav.frq", "b.aiff.frq"}));
}

TEST(FrqFiles, ReadFailures) {
    QTemporaryDir dir;
    const QString sample = dir.filePath(QStringLiteral("a.wav"));
    const QString table = dir.filePath(QStringLiteral("a_wav.frq"));
    const QVector<double> two = {100.0, 1.0, 55.0, 0.0};
    struct Case { const char* name; QByteArray file; bool headerFilled; qint32 count; };
    const Case cases[] = {
        {"zero-length table", QByteArray(), false, 0},
        {"header cut short", makeFrq(frqHeader(2, 100.0), two).left(39), false, 0},
        {"count 0", makeFrq(frqHeader(0, 100.0), {}), true, 0},
        {"count 4096", makeFrq(frqHeader(4096, 100.0), two), true, 4096},
        {"negative count", makeFrq(frqHeader(-1, 100.0), two), true, -1},
        {"frames cut short", makeFrq(frqHeader(2, 100.0), two).chopped(1), true, 2},
        {"fewer frames than the count", makeFrq(frqHeader(3, 100.0), two), true, 3},
        // Values no voice has: the renderer would write full-scale clicks from them.
        {"a frame of 1e308 Hz", makeFrq(frqHeader(2, 100.0), {1e308, 1.0, 55.0, 0.0}), true, 2},
        {"an infinite frame", makeFrq(frqHeader(2, 100.0), {100.0, 1.0, qInf(), 0.0}), true, 2},
        {"a second value that is no number", makeFrq(frqHeader(2, 100.0), {100.0, qQNaN(), 55.0, 0.0}), true, 2},
        {"an average of 1e308 Hz", makeFrq(frqHeader(2, 1e308), two), true, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::writeFile(table, c.file);
        FrqHeader h;
        QVector<double> frames{9.0};
        EXPECT_FALSE(ReadFrqFile(h, frames, sample));
        EXPECT_EQ(frames, QVector<double>{9.0}) << "frames are replaced only by a successful read";
        EXPECT_EQ(h.frameCount, c.count);
        if (h.averageFreq != 1e308) EXPECT_EQ(h.averageFreq, c.headerFilled ? 100.0 : 0.0);
    }
    // What a voice can have still reads: no pitch as 0, 55 or below 0, the highest voices.
    test::writeFile(table, makeFrq(frqHeader(2, 0.0), {0.0, 0.0, 2100.0, 30000.0}));
    FrqHeader h;
    QVector<double> frames;
    EXPECT_TRUE(ReadFrqFile(h, frames, sample));
    test::writeFile(table, makeFrq(frqHeader(2, -1.0), {-1.0, 0.0, 55.0, 0.0}));
    EXPECT_TRUE(ReadFrqFile(h, frames, sample));
    QFile::remove(table);
    QDir().mkpath(table);  // a folder of the table's name is no table
    for (const QString& p : {QString(), sample, dir.filePath(QStringLiteral("*.wav")), dir.filePath(QStringLiteral("b.wav"))}) {
        SCOPED_TRACE(p.toStdString());
        FrqHeader h;
        QVector<double> frames;
        EXPECT_FALSE(ReadFrqFile(h, frames, p));
    }
}

TEST(FrqFiles, WriteRefusalsLeaveTheTableAlone) {
    QTemporaryDir dir;
    const QString sample = dir.filePath(QStringLiteral("a.wav"));
    const QString table = dir.filePath(QStringLiteral("a_wav.frq"));
    const QString backup = dir.filePath(QStringLiteral("a_wav.bak"));
    const QByteArray original = makeFrq(frqHeader(1, 300.0), {300.0, 1.0});
    struct Case { const char* name; QString path; FrqHeader header; QVector<double> frames; };
    const Case cases[] = {
        {"empty path", QString(), frqHeader(1, 1.0), {1.0, 1.0}},
        {"path with *", dir.filePath(QStringLiteral("*.wav")), frqHeader(1, 1.0), {1.0, 1.0}},
        {"frames fewer than the count", sample, frqHeader(2, 1.0), {1.0, 1.0}},
        {"frames more than the count", sample, frqHeader(1, 1.0), {1.0, 1.0, 2.0}},
        {"odd number of values", sample, frqHeader(1, 1.0), {1.0}},
        {"count 0", sample, frqHeader(0, 1.0), {}},
        {"count 4096", sample, frqHeader(4096, 1.0), QVector<double>(8192, 1.0)},
        {"folder missing", dir.filePath(QStringLiteral("nowhere/a.wav")), frqHeader(1, 1.0), {1.0, 1.0}},
        // What the reader would refuse as damaged is not written either.
        {"a frame above 5000 Hz", sample, frqHeader(1, 1.0), {6400.0, 1.0}},
        {"an average above 5000 Hz", sample, frqHeader(1, 6400.0), {100.0, 1.0}},
        {"a level that is no number", sample, frqHeader(1, 1.0), {100.0, qQNaN()}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::writeFile(table, original);
        EXPECT_FALSE(WriteFrqFile(c.header, c.frames, c.path));
        EXPECT_EQ(test::readFile(table), original);
        EXPECT_FALSE(QFileInfo::exists(backup));
    }

    // When the backup cannot be made (a folder of its name is in the way) nothing changes.
    QDir().mkpath(backup + QStringLiteral("/x"));
    EXPECT_FALSE(WriteFrqFile(frqHeader(1, 1.0), {1.0, 1.0}, sample));
    EXPECT_EQ(test::readFile(table), original);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"a_wav.frq"}) << "no temporary file is left";
}

}  // namespace
