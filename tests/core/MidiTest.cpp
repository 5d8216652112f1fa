// MIDI input handling and the output device, with bytes injected into fake devices.
#include "core/MidiHost.h"
#include "core/MidiModule.h"
#include "core/MidiWindowMessage.h"
#include "core/Settings.h"
#include "platform/midi/FakeMidiSystem.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <optional>
#include <thread>

using namespace tova;

namespace {

QByteArray bytes(std::initializer_list<int> b) {
    QByteArray a;
    for (int v : b) a.append(char(v));
    return a;
}

// Records what MIDI input asks of the main window.
struct RecordingHost : MidiHost {
    QList<int> tones, entered, cursor;
    QList<int> times;  // LocateTimeInNotes milliseconds
    bool onUiThread = true;
    void PlayToneSample(int16_t noteNum) override { tones << noteNum; }
    void InsertLyricsFromList(QString& lyric, int32_t& noteNum, int32_t& length, bool replace) override {
        EXPECT_TRUE(lyric.isEmpty());
        EXPECT_EQ(length, 0);
        EXPECT_FALSE(replace);
        entered << noteNum;
        onUiThread = onUiThread && QThread::currentThread() == QCoreApplication::instance()->thread();
    }
    void UpdatePlayCursor(int32_t& count) override { cursor << count; }
    void LocateTimeInNotes(int32_t& first, int32_t& last, int32_t& timeMs) override {
        EXPECT_EQ(first, 0);
        EXPECT_EQ(last, 0);
        times << timeMs;
    }
};

class Midi : public ::testing::Test {
protected:
    void SetUp() override {
        saved = settings();
        devices.inputs = {QStringLiteral("Keyboard"), QStringLiteral("Sequencer")};
        devices.outputs = {QStringLiteral("Synth")};
        module = std::make_unique<MidiModule>();
        module->setHost(&host);
    }
    void TearDown() override {
        module.reset();
        settings() = saved;
    }
    void openInput() {
        QString name = QStringLiteral("Keyboard");
        ASSERT_EQ(module->OpenMidiIn(name, &window), 0);
    }
    void openOutput() {
        QString name = QStringLiteral("Synth");
        ASSERT_EQ(module->OpenMidiOut(name, &window), 0);
        devices.sent.clear();
    }
    // The input device receives the messages; they reach the window once events are handled.
    void feed(std::initializer_list<QByteArray> messages) {
        for (const QByteArray& m : messages) devices.openInput()->inject(m);
        QCoreApplication::processEvents();
    }

    Settings saved;
    FakeMidiSystem devices;
    RecordingHost host;
    QObject window;  // stands for the hidden callback text box
    std::unique_ptr<MidiModule> module;
};

TEST_F(Midi, TimeCodeBecomesMilliseconds) {
    const struct {
        int16_t frameRate;
        int hours, minutes, seconds, frames;
        int rateBits;  // the frame-rate code that rides above the hours
        int ms;
    } cases[] = {
        {30, 1, 2, 3, 12, 0, 3723400},
        {30, 1, 2, 3, 12, 3, 3723400},   // rate bits are not hours
        {25, 0, 0, 1, 5, 1, 1200},
        {24, 23, 59, 59, 23, 0, 86399958},
        {0, 0, 0, 2, 15, 0, 2500},       // no frame rate set: 30
        {-5, 0, 0, 2, 15, 0, 2500},
    };
    openInput();
    module->setSyncScroll(true);
    for (const auto& c : cases) {
        settings().MTCFrameRate = c.frameRate;
        host.times.clear();
        const int hourByte = (c.rateBits << 5) | c.hours;
        const int values[8] = {c.frames & 15, c.frames >> 4, c.seconds & 15, c.seconds >> 4,
                               c.minutes & 15, c.minutes >> 4, hourByte & 15, hourByte >> 4};
        for (int piece = 0; piece < 7; ++piece) feed({bytes({0xF1, piece * 16 + values[piece]})});
        EXPECT_TRUE(host.times.isEmpty());  // the time is known after piece 7 only
        feed({bytes({0xF1, 7 * 16 + values[7]})});
        ASSERT_EQ(host.times.size(), 1);
        EXPECT_EQ(host.times[0], c.ms) << c.hours << ":" << c.minutes << ":" << c.seconds << "." << c.frames;
    }
}

TEST_F(Midi, SongPositionStartStopContinueAndClock) {
    openInput();
    feed({bytes({0xF2, 4, 0}), bytes({0xF8})});
    EXPECT_EQ(module->clockCount(), 0);  // synchronised scrolling is off
    module->setSyncScroll(true);

    feed({bytes({0xF2, 4, 0})});
    EXPECT_EQ(module->clockCount(), 24);  // 6 clocks per song-position unit
    feed({bytes({0xF8})});
    EXPECT_TRUE(host.cursor.isEmpty());  // not running
    feed({bytes({0xFA}), bytes({0xF8}), bytes({0xF8})});
    EXPECT_EQ(host.cursor, (QList<int>{24, 25}));
    EXPECT_EQ(module->clockCount(), 26);  // start does not reset the count
    feed({bytes({0xFC}), bytes({0xF8})});
    EXPECT_EQ(host.cursor.size(), 2);
    feed({bytes({0xFB}), bytes({0xF8})});  // continue runs again
    EXPECT_EQ(host.cursor, (QList<int>{24, 25, 26}));
    feed({bytes({0xF2, 0x10, 0x01})});
    EXPECT_EQ(module->clockCount(), (128 + 16) * 6);

    module->setStepInput(true);  // step input takes over: no following
    feed({bytes({0xF8})});
    EXPECT_EQ(host.cursor.size(), 3);
}

TEST_F(Midi, StepInputEntersNotesFromNoteOns) {
    const struct {
        QByteArray message;
        int entered;  // -1: none
    } cases[] = {
        {bytes({0x90, 60, 100}), 36},
        {bytes({0x9F, 60, 1}), 36},    // any channel
        {bytes({0x90, 60, 0}), -1},    // velocity 0 is a note-off
        {bytes({0x90, 23, 100}), -1},  // below the lowest note
        {bytes({0x90, 24, 100}), 0},
        {bytes({0x80, 60, 64}), -1},
        {bytes({0xB0, 64, 127}), -1},
    };
    openInput();
    module->setStepInput(true);
    for (const auto& c : cases) {
        host.entered.clear();
        feed({c.message});
        EXPECT_EQ(host.entered, c.entered < 0 ? QList<int>{} : QList<int>{c.entered}) << c.message.toHex().data();
    }
    module->setStepInput(false);
    host.entered.clear();
    feed({bytes({0x90, 60, 100})});
    EXPECT_TRUE(host.entered.isEmpty());
}

TEST_F(Midi, InputIsMonitoredOnTheOutputOrPlayedAsToneSamples) {
    openInput();
    // No output: only channel-1 note-ons play the tone sample, and only with MidiSendNote on.
    feed({bytes({0x90, 60, 100})});
    EXPECT_TRUE(host.tones.isEmpty());
    settings().MidiSendNote = true;
    feed({bytes({0x90, 60, 100}), bytes({0x91, 62, 100}), bytes({0x90, 64, 0}), bytes({0x90, 20, 100})});
    EXPECT_EQ(host.tones, QList<int>{36});

    openOutput();
    module->setSyncScroll(true);
    const QList<QByteArray> shortOnes = {bytes({0x90, 60, 100}), bytes({0x80, 60, 0}), bytes({0xB3, 7, 90}),
                                         bytes({0xF8}), bytes({0xF1, 0x23}), bytes({0xC5, 3})};
    for (const QByteArray& m : shortOnes) feed({m});
    EXPECT_EQ(devices.sent, shortOnes);
    EXPECT_EQ(host.tones.size(), 1);  // the output plays them now

    // System exclusive goes out as a long message, in buffer-sized pieces.
    devices.sent.clear();
    feed({bytes({0xF0, 0x41, 0x10, 0xF7})});
    EXPECT_EQ(devices.sent, QList<QByteArray>{bytes({0xF0, 0x41, 0x10, 0xF7})});
    devices.sent.clear();
    QByteArray big(2500, char(0x55));
    big[0] = char(0xF0);
    big[big.size() - 1] = char(0xF7);
    feed({big});
    const int piece = MidiModule::SysExBufferSize - 1;
    ASSERT_EQ(devices.sent.size(), 3);
    EXPECT_EQ(devices.sent[0].size(), piece);
    EXPECT_EQ(devices.sent.join(), big);
    // An incomplete message is a long error: not passed on, and the buffer goes back to the device.
    devices.sent.clear();
    feed({bytes({0xF0, 0x7E, 0x01}), bytes({0xF0, 0x01, 0xF7})});
    EXPECT_EQ(devices.sent, QList<QByteArray>{bytes({0xF0, 0x01, 0xF7})});
}

TEST_F(Midi, PreviewNotesEndTheNoteBeforeTheNext) {
    EXPECT_FALSE(module->MidiNoteOn(40));  // no output: the tone sample plays instead
    EXPECT_EQ(host.tones, QList<int>{40});

    openOutput();
    EXPECT_TRUE(module->MidiNoteOn(36));
    EXPECT_TRUE(module->MidiNoteOn(38));
    module->MidiNoteOff();
    module->MidiNoteOff();  // nothing sounds any more
    EXPECT_EQ(devices.sent, (QList<QByteArray>{bytes({0x90, 60, 100}), bytes({0x90, 60, 0}),
                                               bytes({0x90, 62, 100}), bytes({0x90, 62, 0})}));
    EXPECT_EQ(module->lastPreviewNote(), 0);
    devices.sent.clear();
    EXPECT_FALSE(module->MidiNoteOn(-24));  // no such MIDI note
    EXPECT_FALSE(module->MidiNoteOn(104));
    EXPECT_TRUE(devices.sent.isEmpty());
    EXPECT_EQ(host.tones.size(), 1);

    module->MidiNoteOn(0);
    devices.sent.clear();
    module->CloseMidiOut();  // all notes off on every channel
    EXPECT_EQ(devices.sent.size(), 16);
    EXPECT_EQ(devices.sent[0], bytes({0xB0, 123, 0}));
}

TEST_F(Midi, OpeningTheOutputSendsTheProgramChange) {
    const struct {
        int16_t setting;
        QList<QByteArray> sent;
    } cases[] = {
        {1, {bytes({0xC0, 0})}},
        {41, {bytes({0xC0, 40})}},
        {128, {bytes({0xC0, 127})}},
        {0, {}},
        {129, {}},
        {-1, {}},
    };
    for (const auto& c : cases) {
        settings().MidiProgramChange = c.setting;
        devices.sent.clear();
        QString name = QStringLiteral("Synth");
        ASSERT_EQ(module->OpenMidiOut(name, &window), 0);
        EXPECT_EQ(devices.sent, c.sent) << c.setting;
        EXPECT_EQ(devices.outputsOpen, 1);  // a second open released the first device
    }
}

TEST_F(Midi, OpeningByNameHooksTheWindowOnce) {
    // A name no device has: result 1, the name emptied, the window hooked until the input closes.
    QString name = QStringLiteral("Nothing");
    EXPECT_EQ(module->OpenMidiIn(name, &window), 1);
    EXPECT_TRUE(name.isEmpty());
    EXPECT_EQ(module->hookedWindow(), &window);
    EXPECT_FALSE(module->isInputOpen());
    module->CloseMidiIn();
    EXPECT_EQ(module->hookedWindow(), nullptr);
    name = QStringLiteral("Nothing");
    EXPECT_EQ(module->OpenMidiOut(name, &window), 1);
    EXPECT_TRUE(name.isEmpty());

    // A device that cannot be opened answers its code and leaves the window hooked.
    devices.openResult = MidiResult::Allocated;
    name = QStringLiteral("Keyboard");
    EXPECT_EQ(module->OpenMidiIn(name, &window), MidiResult::Allocated);
    EXPECT_EQ(name, "Keyboard");
    EXPECT_EQ(module->hookedWindow(), &window);
    devices.openResult = MidiResult::Ok;

    // Opening twice: one device open, one hook, each message handled once.
    openInput();
    openInput();
    EXPECT_EQ(devices.inputsOpen, 1);
    module->setStepInput(true);
    feed({bytes({0x90, 60, 100})});
    EXPECT_EQ(host.entered, QList<int>{36});

    // Messages still on their way when the input closes are dropped.
    devices.openInput()->inject(bytes({0x90, 62, 100}));
    module->CloseMidiIn();
    QCoreApplication::processEvents();
    EXPECT_EQ(host.entered.size(), 1);
    EXPECT_EQ(devices.inputsOpen, 0);
}

TEST_F(Midi, MessagesFromTheDeviceThreadArriveOnTheUserInterfaceThread) {
    openInput();
    module->setStepInput(true);
    FakeMidiInput* in = devices.openInput();
    std::thread device([in] {
        for (int note = 60; note < 64; ++note) in->inject(bytes({0x90, note, 100}));
    });
    device.join();
    EXPECT_TRUE(host.entered.isEmpty());  // nothing runs on the device's thread
    QCoreApplication::processEvents();
    EXPECT_EQ(host.entered, (QList<int>{36, 37, 38, 39}));
    EXPECT_TRUE(host.onUiThread);
}

TEST_F(Midi, DevicesAreListedAndFoundByName) {
    devices.inputs = {QStringLiteral("A"), QString(), QStringLiteral("B"), QStringLiteral("B")};
    QStringList list = {QStringLiteral("old")};
    int index = 5;
    module->ListMidiInDevices(list, index, QStringLiteral("B"));
    EXPECT_EQ(list, (QStringList{"A", "B", "B"}));
    EXPECT_EQ(index, 2);  // the list index of the last device of that name
    module->ListMidiInDevices(list, index, QStringLiteral("b"));
    EXPECT_EQ(index, -1);  // names compare exactly
    EXPECT_EQ(module->FindMidiInDevice(QStringLiteral("B")), 2);  // device ids count the unreadable one
    EXPECT_EQ(module->FindMidiInDevice(QString()), -1);
    module->ListMidiOutDevices(list, index, QStringLiteral("Synth"));
    EXPECT_EQ(list, QStringList{"Synth"});
    EXPECT_EQ(index, 0);
    EXPECT_EQ(module->FindMidiOutDevice(QStringLiteral("Synth")), 0);
}

}  // namespace
