// Reading sound files and converting them for a device.
#include "platform/audio/AudioClip.h"
#include "support/TestFlac.h"
#include "support/TestSupport.h"
#include "support/TestWave.h"

#include <QTemporaryDir>

#include <sndfile.h>

#include <gtest/gtest.h>

#include <cmath>

#include <sys/stat.h>

using namespace tova;

namespace {

TEST(AudioClip, ReadsWaveAndAiffAsFloatSamples) {
    QTemporaryDir dir;
    const QString wav = dir.filePath("a.wav");
    test::writeWave16(wav, 8000, 2, {16384, -16384, 8192, 0});
    AudioClip clip;
    QString error;
    ASSERT_TRUE(clip.load(wav, &error)) << error.toStdString();
    EXPECT_EQ(clip.rate(), 8000);
    EXPECT_EQ(clip.channels(), 2);
    EXPECT_EQ(clip.frames(), 2);
    EXPECT_FLOAT_EQ(clip.samples()[0], 0.5f);
    EXPECT_FLOAT_EQ(clip.samples()[1], -0.5f);
    EXPECT_FLOAT_EQ(clip.samples()[2], 0.25f);

    // Voice banks may hold AIFF samples.
    const QString aiff = dir.filePath("b.aiff");
    SF_INFO info{};
    info.samplerate = 11025;
    info.channels = 1;
    info.format = SF_FORMAT_AIFF | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(QFile::encodeName(aiff).constData(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr);
    const short data[3] = {0, 8192, -8192};
    sf_write_short(f, data, 3);
    sf_close(f);
    ASSERT_TRUE(clip.load(aiff, &error)) << error.toStdString();
    EXPECT_EQ(clip.rate(), 11025);
    EXPECT_EQ(clip.frames(), 3);
    EXPECT_FLOAT_EQ(clip.samples()[1], 0.25f);
}

TEST(AudioClip, RefusesWhatIsNoSound) {
    QTemporaryDir dir;
    test::writeFile(dir.filePath("text.wav"), "just some text, not a wave file");
    AudioClip clip;
    QString error;
    EXPECT_FALSE(clip.load(dir.filePath("text.wav"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(clip.load(dir.filePath("missing.wav"), &error));
    EXPECT_EQ(clip.frames(), 0);
}

// Compressed files claim what they like: a short FLAC claiming 2^36 frames and one that truly holds
// more silence than a clip takes are refused with words, before anything is set aside for them; a
// pipe in a file's place is not waited on; a plain wave whose header claims more than its bytes holds
// no more than its bytes.
TEST(AudioClip, RefusesClaimsBeyondWhatItMayHold) {
    QTemporaryDir dir;
    const QString claiming = dir.filePath("claiming.flac");
    ASSERT_TRUE(test::writeSilentFlac(claiming, 44100, 0.5));
    ASSERT_TRUE(test::claimFlacFrames(claiming, quint64(1) << 36));
    const QString longSilence = dir.filePath("long.flac");
    ASSERT_TRUE(test::writeSilentFlac(longSilence, 8000, AudioClip::kMaxCompressedSeconds + 5));
    const QString pipe = dir.filePath("pipe.wav");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    for (const QString& path : {claiming, longSilence, pipe}) {
        SCOPED_TRACE(path.toStdString());
        AudioClip clip;
        QString error;
        EXPECT_FALSE(clip.load(path, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(clip.frames(), 0);
    }
    // Within the bound: read whole.
    const QString fine = dir.filePath("fine.flac");
    ASSERT_TRUE(test::writeSilentFlac(fine, 8000, 2));
    AudioClip clip;
    QString error;
    ASSERT_TRUE(clip.load(fine, &error)) << error.toStdString();
    EXPECT_EQ(clip.frames(), 16000);
}

TEST(AudioClip, ConvertsRateAndChannels) {
    QTemporaryDir dir;
    struct Case {
        const char* name;
        int rate, channels;
        std::vector<int16_t> samples;
        int toRate, toChannels;
        qint64 frames;                 // expected frame count after conversion
        std::vector<float> firstFrame;  // expected first frame (only for same-rate cases)
    };
    const Case cases[] = {
        {"mono to stereo copies", 8000, 1, {16384, 8192}, 8000, 2, 2, {0.5f, 0.5f}},
        {"stereo to mono mixes", 8000, 2, {16384, 0, 8192, 8192}, 8000, 1, 2, {0.25f}},
        {"four channels play their first two", 8000, 4, {16384, 8192, 4096, 2048}, 8000, 2, 1, {0.5f, 0.25f}},
        {"rate doubles", 22050, 1, std::vector<int16_t>(22050, 1000), 44100, 2, 44100, {}},
        {"rate halves", 16000, 2, std::vector<int16_t>(2 * 1600, 1000), 8000, 2, 800, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QString::fromUtf8(c.name) + ".wav");
        test::writeWave16(path, c.rate, c.channels, c.samples);
        AudioClip clip;
        ASSERT_TRUE(clip.load(path, nullptr));
        clip.convert(c.toRate, c.toChannels);
        EXPECT_EQ(clip.rate(), c.toRate);
        EXPECT_EQ(clip.channels(), c.toChannels);
        EXPECT_NEAR(double(clip.frames()), double(c.frames), 2.0);
        for (size_t i = 0; i < c.firstFrame.size(); ++i) EXPECT_FLOAT_EQ(clip.samples()[i], c.firstFrame[i]);
        if (c.firstFrame.empty()) {
            // A steady level stays steady through the rate conversion (away from the edges).
            const qint64 mid = clip.frames() / 2 * clip.channels();
            EXPECT_NEAR(clip.samples()[size_t(mid)], 1000.0f / 32768.0f, 1e-3);
        }
        EXPECT_EQ(clip.lengthMs(), c.frames * 1000 / c.toRate);
    }
}

}  // namespace
