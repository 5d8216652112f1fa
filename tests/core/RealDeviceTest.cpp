// Playback and MIDI on real devices: a JACK server of the test's own (the dummy back end, so no sound
// card is needed), RtAudio and RtMidi through their JACK APIs.
#include "core/Mci.h"
#include "core/MciSystem.h"
#include "core/MidiHost.h"
#include "core/MidiModule.h"
#include "core/Settings.h"
#include "platform/EventWait.h"
#include "platform/audio/AudioOutputs.h"
#include "platform/audio/RtAudioOutput.h"
#include "platform/midi/RtMidiSystem.h"
#include "support/TestWave.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <RtAudio.h>
#include <RtMidi.h>

#include <gtest/gtest.h>

#include <mutex>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace tova;

namespace {

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value) : name_(name), saved_(qgetenv(name)) { qputenv(name, value); }
    ~ScopedEnv() {
        if (saved_.isNull())
            qunsetenv(name_);
        else
            qputenv(name_, saved_);
    }

private:
    const char* name_;
    QByteArray saved_;
};

// Holds a lock shared by every test program on this machine (all worktrees and test runs), so that
// only one test JACK server runs at a time: servers started side by side fail to take clients.
class MachineLock {
public:
    explicit MachineLock(const QString& name) {
        const QByteArray path = QFile::encodeName(QDir::temp().filePath(name));
        fd_ = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd_ >= 0)
            while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
    }
    ~MachineLock() {
        if (fd_ >= 0) ::close(fd_);  // closing releases the lock
    }

private:
    int fd_ = -1;
};

// A JACK server with a name of its own, so tests running side by side never meet.
class JackServer {
public:
    JackServer()
        : lock_(QStringLiteral("tova-test-jack.lock")),
          name_("tova-test-" + QByteArray::number(QCoreApplication::applicationPid()) + "-" +
                QByteArray::number(counter()++)),
          server_("JACK_DEFAULT_SERVER", name_),
          noStart_("JACK_NO_START_SERVER", "1"),
          noReservation_("JACK_NO_AUDIO_RESERVATION", "1") {}
    ~JackServer() {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(5000)) {
                process_.kill();
                process_.waitForFinished(5000);
            }
        }
    }

    // Starts the server and waits until a client can connect. False with the reason otherwise.
    bool start(QString* why) {
        const QString jackd = QStandardPaths::findExecutable(QStringLiteral("jackd"));
        if (jackd.isEmpty()) {
            *why = QStringLiteral("no jackd program on this machine (Debian package jackd2)");
            return false;
        }
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start(jackd, {"-n", QString::fromUtf8(name_), "-r", "-d", "dummy", "-r", "44100", "-p", "512"});
        if (!process_.waitForStarted(5000)) {
            *why = QStringLiteral("jackd did not start: ") + process_.errorString();
            return false;
        }
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 15000) {
            if (process_.state() == QProcess::NotRunning) {
                *why = QStringLiteral("jackd ended at once: ") + QString::fromLocal8Bit(process_.readAll());
                return false;
            }
            try {
                RtAudio probe(RtAudio::UNIX_JACK);
                probe.showWarnings(false);
                if (probe.getDeviceCount() > 0) return true;
            } catch (const RtAudioError&) {
            }
            QThread::msleep(50);
        }
        *why = QStringLiteral("jackd took no clients within 15 s: ") + QString::fromLocal8Bit(process_.readAll());
        return false;
    }

private:
    static int& counter() {
        static int n = 0;
        return n;
    }
    MachineLock lock_;
    QByteArray name_;
    ScopedEnv server_, noStart_, noReservation_;
    QProcess process_;
};

TEST(RealDevices, AOneSecondFilePlaysInWallTimeAndEndsStopped) {
    JackServer jack;
    QString why;
    if (!jack.start(&why)) GTEST_SKIP() << "No JACK server could be started: " << why.toStdString();

    AudioOutputs::setFactory([] { return std::make_unique<RtAudioOutput>(QStringLiteral("jack")); });
    QTemporaryDir dir;
    const QString song = dir.filePath("song.wav");
    test::writeFlatWave(song, 44100, 44100, 3000);
    MciOpen(song);
    ASSERT_EQ(MciGetMode(song), "stopped") << MciGetMode(song).toStdString();

    QElapsedTimer wall;
    MciPlay(song);
    wall.start();
    EXPECT_EQ(MciGetMode(song), "playing");
    // Sample the position a few times up to half a second; each reading is paired with the wall
    // time halfway between the moments just before and just after it.
    QList<QPair<double, qint64>> readings;
    for (int target : {150, 300, 500}) {
        while (wall.elapsed() < target) QThread::msleep(2);
        const qint64 before = wall.nsecsElapsed();
        const qint64 position = MciStatus(song, "position").toLongLong();
        const qint64 after = wall.nsecsElapsed();
        readings << qMakePair((before + after) / 2e6, position);
    }
    for (int i = 1; i < readings.size(); ++i) EXPECT_GT(readings[i].second, readings[i - 1].second);
    const double atHalf = readings.back().first;
    const double position = double(readings.back().second);
    // The position counts frames played: never ahead of the wall clock; on a loaded machine the
    // server's cycles may come late, so it may lag behind, but it keeps moving.
    EXPECT_LE(position, 1.2 * atHalf) << "position " << position << " ms at " << atHalf << " ms";
    EXPECT_GE(position, 0.25 * atHalf) << "position " << position << " ms at " << atHalf << " ms";
    std::printf("[ position ] %.0f ms of sound played after %.1f ms of wall time\n", position, atHalf);

    const bool stopped = EventWait::until([&] { return MciGetMode(song) == "stopped"; }, 10, nullptr, 10000);
    EXPECT_TRUE(stopped) << MciGetMode(song).toStdString();
    EXPECT_GE(wall.elapsed(), 800);  // it played, rather than jumping to the end
    EXPECT_EQ(MciStatus(song, "position"), "1000");
    MciClose(song);
    EXPECT_TRUE(MciGetMode(song).startsWith("NG:"));
    AudioOutputs::setFactory(nullptr);
}

struct Host : MidiHost {
    QList<int> entered;
    void PlayToneSample(int16_t) override {}
    void InsertLyricsFromList(QString&, int32_t& noteNum, int32_t&, bool) override { entered << noteNum; }
    void UpdatePlayCursor(int32_t&) override {}
    void LocateTimeInNotes(int32_t&, int32_t&, int32_t&) override {}
};

struct Received {
    std::mutex lock;
    QList<QByteArray> messages;
    static void callback(double, std::vector<unsigned char>* m, void* self) {
        auto* me = static_cast<Received*>(self);
        std::lock_guard<std::mutex> g(me->lock);
        me->messages << QByteArray(reinterpret_cast<const char*>(m->data()), qsizetype(m->size()));
    }
    QList<QByteArray> get() {
        std::lock_guard<std::mutex> g(lock);
        return messages;
    }
};

TEST(RealDevices, NotesPassThroughMidiPortsOfTheServer) {
    JackServer jack;
    QString why;
    if (!jack.start(&why)) GTEST_SKIP() << "No JACK server could be started: " << why.toStdString();

    // The other end: a keyboard that sends and a synthesizer that receives, as virtual ports.
    RtMidiOut keyboard(RtMidi::UNIX_JACK, "tova-keys");
    keyboard.openVirtualPort("out");
    Received heard;
    RtMidiIn synth(RtMidi::UNIX_JACK, "tova-synth");
    synth.ignoreTypes(false, false, false);
    synth.setCallback(&Received::callback, &heard);
    synth.openVirtualPort("in");

    RtMidiSystem system(QStringLiteral("jack"));
    MidiSystem::setCurrent(&system);
    const Settings saved = settings();
    settings().MidiProgramChange = 0;
    {
        Host host;
        QObject window;
        MidiModule midi;
        midi.setHost(&host);
        midi.setStepInput(true);
        QStringList names;
        int index = -1;
        midi.ListMidiInDevices(names, index, QStringLiteral("tova-keys:out"));
        EXPECT_GE(index, 0) << names.join(", ").toStdString();
        QString in = QStringLiteral("tova-keys:out");
        QString out = QStringLiteral("tova-synth:in");
        ASSERT_EQ(midi.OpenMidiIn(in, &window), 0);
        ASSERT_EQ(midi.OpenMidiOut(out, &window), 0);
        // The connections take effect at the server's next cycles, which come late on a loaded machine:
        // a note played before then is lost on the way, so the key is played again until one comes
        // through both ways.
        const unsigned char noteOn[3] = {0x90, 60, 100};
        const unsigned char noteOff[3] = {0x80, 60, 0};
        QElapsedTimer waited;
        waited.start();
        bool through = false;
        while (!through && waited.elapsed() < 10000) {
            keyboard.sendMessage(noteOn, 3);
            keyboard.sendMessage(noteOff, 3);
            through = EventWait::until([&] { return heard.get().size() >= 2 && !host.entered.isEmpty(); }, 10,
                                       nullptr, 300);
        }
        EXPECT_TRUE(through);
        // Every note-on entered a note; the synthesizer heard the key's messages unchanged, a note-on
        // followed by its note-off among them.
        ASSERT_FALSE(host.entered.isEmpty());
        for (int entered : host.entered) EXPECT_EQ(entered, 36);
        QStringList monitored;
        for (const QByteArray& m : heard.get()) monitored << QString::fromLatin1(m.toHex(' '));
        for (const QString& m : monitored) EXPECT_TRUE(m == "90 3c 64" || m == "80 3c 00") << m.toStdString();
        EXPECT_TRUE(monitored.join(u'|').contains(QStringLiteral("90 3c 64|80 3c 00"))) << monitored.join(u'|').toStdString();
        midi.CloseMidiIn();
        midi.CloseMidiOut();
    }
    settings() = saved;
    MidiSystem::setCurrent(nullptr);
    synth.closePort();
    keyboard.closePort();
}

}  // namespace
