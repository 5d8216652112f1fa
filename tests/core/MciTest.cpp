// Playing wave files through the command interface, on fake devices whose clock the test drives.
#include "core/Mci.h"
#include "core/MciSystem.h"
#include "platform/audio/AsyncSound.h"
#include "platform/audio/FakeAudioDevices.h"
#include "platform/audio/RtAudioOutput.h"
#include "platform/audio/AudioOutputs.h"
#include "platform/audio/WavePlayer.h"
#include "support/TestSupport.h"
#include "support/TestWave.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tova;

namespace {

// Every test starts and ends with no device open.
class Mci : public ::testing::Test {
protected:
    void SetUp() override { MciSystem::instance().closeAll(); }
    void TearDown() override {
        MciSystem::instance().closeAll();
        AsyncSound::stop();
    }
    QString wave(const QString& name, int rate, int frames, int16_t value = 1000) {
        const QString path = dir.filePath(name);
        test::writeFlatWave(path, rate, frames, value);
        return path;
    }
    QTemporaryDir dir;
};

TEST(MciAlias, IsTheFileNameWithoutFolderAndLastExtension) {
    const struct {
        const char* path;
        const char* alias;
    } cases[] = {
        {"C:\\Users\\a.b\\temp", "temp"},            // dotted folder, file without extension
        {"/home/x.y/song", "song"},
        {"C:\\out\\song.take1.wav", "song.take1"},   // only the last extension goes
        {"C:\\tmp\\tova1\\temp.wav", "temp"},
        {"/tmp/tova1/temp.wav", "temp"},
        {"mixed/dir\\name.wav", "name"},
        {"temp.wav", "temp"},                         // no folder: from the first character
        {"noext", "noext"},
        {"C:\\dir\\.wav", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(GetMciAlias(QString::fromUtf8(c.path)), QString::fromUtf8(c.alias)) << c.path;
}

TEST_F(Mci, AFileNeverOpenedAnswersNgAndClosingItDoesNothing) {
    FakeAudioDevices devices;
    const QString song = wave("song.wav", 8000, 800);
    EXPECT_TRUE(MciGetMode(song).startsWith("NG:")) << MciGetMode(song).toStdString();
    EXPECT_EQ(MciGetMode(song), QStringLiteral("NG:指定されたデバイスは開かれていません。"));
    EXPECT_TRUE(MciStatus(song, "position").startsWith("NG:"));

    const QString other = wave("other.wav", 8000, 800);
    MciOpen(other);
    MciClose(song);  // never opened: nothing changes
    MciPlay(song);
    MciPause(song);
    EXPECT_EQ(MciGetMode(other), "stopped");
    EXPECT_TRUE(MciGetMode(song).startsWith("NG:"));
}

TEST_F(Mci, ModeWordsAndPositionsFollowPlayPauseResumeAndEnd) {
    FakeAudioDevices devices;
    const QString temp = wave("temp.wav", 8000, 8000);  // one second
    MciOpen(temp);
    ASSERT_EQ(devices.outputs().size(), 1u);
    FakeAudioOutput* out = devices.outputs()[0];
    EXPECT_EQ(MciGetMode(temp), "stopped");
    EXPECT_EQ(MciStatus(temp, "position"), "0");

    MciPlay(temp);
    EXPECT_EQ(MciGetMode(temp), "playing");
    devices.advanceMs(250);
    EXPECT_EQ(MciStatus(temp, "position"), "250");
    MciPlay(temp);  // playing already: nothing changes
    EXPECT_EQ(MciStatus(temp, "position"), "250");

    MciPause(temp);
    EXPECT_EQ(MciGetMode(temp), "paused");
    EXPECT_FALSE(out->isRunning());
    devices.advanceMs(300);  // the device takes nothing while paused
    EXPECT_EQ(MciStatus(temp, "position"), "250");

    MciPlay(temp);  // resumes from the pause point
    EXPECT_EQ(MciGetMode(temp), "playing");
    devices.advanceMs(500);
    EXPECT_EQ(MciStatus(temp, "position"), "750");

    devices.advanceMs(400);  // past the end
    EXPECT_EQ(MciGetMode(temp), "stopped");
    EXPECT_EQ(MciStatus(temp, "position"), "1000");
    // What the device took: the whole sound, then silence.
    EXPECT_EQ(out->played().size(), size_t(2 * 9200));
    EXPECT_FLOAT_EQ(out->played()[2 * 7999 + 1], 1000.0f / 32768.0f);
    EXPECT_FLOAT_EQ(out->played()[2 * 8000], 0.0f);
    QCoreApplication::processEvents();  // the end reaches the player: it releases the device
    EXPECT_FALSE(out->isRunning());

    MciPlay(temp);  // at the end there is nothing left to play
    EXPECT_EQ(MciGetMode(temp), "stopped");
    EXPECT_EQ(MciSendString(QStringLiteral("Seek \"temp\" to start")), 0);
    MciPlay(temp);
    EXPECT_EQ(MciGetMode(temp), "playing");
    devices.advanceMs(100);
    EXPECT_EQ(MciStatus(temp, "position"), "100");

    MciClose(temp);
    EXPECT_TRUE(MciGetMode(temp).startsWith("NG:"));
    EXPECT_TRUE(devices.outputs().empty());
}

TEST_F(Mci, OpeningAnotherFileUnderAnOpenAliasPlaysTheNewFile) {
    FakeAudioDevices devices;
    const QString oldFile = wave("a/temp.wav", 8000, 8000, 1000);
    const QString newFile = wave("b/temp.wav", 8000, 4000, -2000);
    MciOpen(oldFile);
    MciPlay(oldFile);
    devices.advanceMs(100);

    MciOpen(newFile);  // same alias "temp", another file
    EXPECT_EQ(MciSystem::instance().fileOf("temp"), MciSystem::fileKey(newFile));
    EXPECT_EQ(MciGetMode(newFile), "stopped");
    MciPlay(newFile);
    ASSERT_EQ(devices.outputs().size(), 1u);
    devices.advanceMs(600);
    EXPECT_FLOAT_EQ(devices.outputs()[0]->played().front(), -2000.0f / 32768.0f);
    EXPECT_EQ(MciGetMode(newFile), "stopped");  // the half-second file has ended
    EXPECT_EQ(MciStatus(newFile, "position"), "500");

    // Opening the file that is open already keeps its device as it stands.
    MciOpen(newFile);
    EXPECT_EQ(MciStatus(newFile, "position"), "500");

    // A new file that cannot be opened still takes the alias from the old one: nothing plays.
    const QString missing = dir.filePath("c/temp.wav");
    MciOpen(missing);
    MciPlay(missing);
    EXPECT_TRUE(MciGetMode(missing).startsWith("NG:"));
    EXPECT_TRUE(devices.outputs().empty());
}

TEST_F(Mci, CommandsAnswerTheirErrors) {
    FakeAudioDevices devices;
    const QString song = wave("song.wav", 8000, 800);
    test::writeFile(dir.filePath("text.wav"), "not a sound");
    ASSERT_EQ(MciSendString("open \"" + song + "\" alias song"), 0);
    const struct {
        QString command;
        int code;
    } cases[] = {
        {"", MciSystem::UnrecognizedCommand},
        {"Record \"song\"", MciSystem::UnrecognizedCommand},
        {"Open", MciSystem::MissingParameter},
        {"Open \"" + song + "\" alias SONG", MciSystem::DuplicateAlias},  // names ignore letter case
        {"Open \"" + dir.filePath("missing.wav") + "\" alias m", MciSystem::FileNotFound},
        {"Open \"" + dir.filePath("text.wav") + "\" alias t", MciSystem::CannotLoad},
        {"Open \"" + song + "\" wait", MciSystem::UnrecognizedKeyword},
        {"Play \"nothing\"", MciSystem::NotOpen},
        {"Play", MciSystem::MissingParameter},
        {"Status \"song\"", MciSystem::MissingParameter},
        {"Status \"song\" volume", MciSystem::UnrecognizedKeyword},
        {"Seek \"song\" to 5000", MciSystem::OutOfRange},
        {"Seek \"song\" to soon", MciSystem::InvalidValue},
        {"Seek \"song\" from 0", MciSystem::UnrecognizedKeyword},
        {"Seek \"song\" to 50", 0},
        {"STATUS song MODE", 0},
    };
    for (const auto& c : cases) {
        QString answer;
        EXPECT_EQ(MciSendString(c.command, &answer), c.code) << c.command.toStdString();
        QString text;
        if (c.code != 0) {
            EXPECT_TRUE(MciGetErrorString(c.code, &text));
            EXPECT_FALSE(text.isEmpty());
        }
    }
    EXPECT_EQ(MciStatus(song, "position"), "50");
    EXPECT_EQ(MciStatus(song, "volume"), QStringLiteral("NG:コマンドのキーワードを認識できません。"));
    QString text;
    EXPECT_FALSE(MciGetErrorString(12345, &text));
}

TEST_F(Mci, NamesWithBlanksAndWindowsSeparatorsPlay) {
    FakeAudioDevices devices;
    const QString spaced = wave("my song.wav", 8000, 800);
    MciOpen(spaced);
    MciPlay(spaced);
    EXPECT_EQ(MciGetMode(spaced), "playing");

    // A name from a voice bank made on Windows: "\" and loose letter case.
    wave("Voice/Tone.wav", 8000, 800);
    const QString loose = dir.path() + "\\voice\\tone.WAV";
    MciOpen(loose);
    MciPlay(loose);
    EXPECT_EQ(MciGetMode(loose), "playing");
}

TEST_F(Mci, SoundIsConvertedToTheDeviceRateAndPositionStaysInFileTime) {
    FakeAudioDevices devices;
    devices.config.rate = 44100;
    const QString low = wave("low.wav", 11025, 11025);  // one second
    MciOpen(low);
    MciPlay(low);
    devices.advanceMs(500);
    EXPECT_EQ(devices.outputs()[0]->framesPulled(), 22050);
    EXPECT_EQ(MciStatus(low, "position"), "500");
    devices.advanceMs(600);
    EXPECT_EQ(MciGetMode(low), "stopped");
    const qint64 end = MciStatus(low, "position").toLongLong();
    EXPECT_NEAR(double(end), 1000.0, 2.0);
}

TEST_F(Mci, WithoutAnAudioDeviceEveryCallAnswersOrFailsCleanly) {
    FakeAudioDevices devices;
    devices.config.failOpen = true;
    const QString temp = wave("temp.wav", 8000, 800);
    EXPECT_EQ(MciSendString("Open \"" + temp + "\" alias temp"), MciSystem::NoDevice);
    MciOpen(temp);
    MciPlay(temp);
    MciPause(temp);
    // The open failed, so nothing is open under the alias.
    EXPECT_EQ(MciGetMode(temp).toStdString(), "NG:指定されたデバイスは開かれていません。");
    EXPECT_TRUE(MciStatus(temp, "position").startsWith("NG:"));
    MciClose(temp);
    PlaySoundAsync(temp);
    EXPECT_EQ(AsyncSound::current(), nullptr);

    // A device that opens but refuses to start: play fails, the device stays open and stopped.
    devices.config.failOpen = false;
    devices.config.failStart = true;
    MciOpen(temp);
    EXPECT_EQ(MciSendString("Play \"temp\""), MciSystem::DeviceError);
    EXPECT_EQ(MciGetMode(temp), "stopped");
}

TEST_F(Mci, WithoutASoundServerTheRealDeviceFailsCleanlyAndQuickly) {
    // The machine's audio system asked for a sound server that does not exist.
    const QByteArray saved = qgetenv("JACK_DEFAULT_SERVER");
    qputenv("JACK_DEFAULT_SERVER", "tova-no-such-server");
    AudioOutputs::setFactory([] { return std::make_unique<RtAudioOutput>(QStringLiteral("jack")); });
    const QString temp = wave("temp.wav", 8000, 800);
    QElapsedTimer t;
    t.start();
    const int openResult = MciSendString("Open \"" + temp + "\" alias temp");
    MciOpen(temp);
    MciPlay(temp);
    const QString mode = MciGetMode(temp);
    PlaySoundAsync(temp);
    AudioOutputs::setFactory(nullptr);
    if (saved.isNull())
        qunsetenv("JACK_DEFAULT_SERVER");
    else
        qputenv("JACK_DEFAULT_SERVER", saved);
    EXPECT_EQ(openResult, MciSystem::NoDevice);
    EXPECT_TRUE(mode.startsWith("NG:")) << mode.toStdString();
    EXPECT_EQ(AsyncSound::current(), nullptr);
    EXPECT_LT(t.elapsed(), 10000);
}

TEST_F(Mci, PlaySoundPlaysOneSoundAtATimeAndReleasesItAtItsEnd) {
    FakeAudioDevices devices;
    const QString a = wave("a.wav", 8000, 800);  // 100 ms
    const QString b = wave("b.wav", 8000, 1600);
    PlaySoundAsync(a);
    ASSERT_NE(AsyncSound::current(), nullptr);
    EXPECT_EQ(devices.outputs().size(), 1u);
    PlaySoundAsync(b);  // stops a
    EXPECT_EQ(devices.outputs().size(), 1u);
    EXPECT_EQ(AsyncSound::current()->lengthMs(), 200);
    devices.advanceMs(250);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(AsyncSound::current(), nullptr);
    EXPECT_TRUE(devices.outputs().empty());

    PlaySoundAsync(dir.filePath("missing.wav"));  // plays nothing
    EXPECT_EQ(AsyncSound::current(), nullptr);
}

}  // namespace
