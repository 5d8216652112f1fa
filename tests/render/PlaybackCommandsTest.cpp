#include "RenderFakes.h"

#include "core/Processes.h"
#include "core/Settings.h"
#include "platform/FakePorts.h"
#include "core/Mci.h"
#include "core/MciSystem.h"
#include "core/Midi.h"
#include "platform/audio/FakeAudioDevices.h"
#include "platform/midi/FakeMidiSystem.h"
#include "render/PlaybackCommands.h"
#include "render/SystemMci.h"
#include "render/PlayState.h"
#include "song/Song.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tova::test {
namespace {

class PlaybackTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        settings() = Settings{};
        TempFolder = dir.path();
        for (int i = 0; i < 3; ++i) {
            qint32 at = i;
            song.InsertNotes(at, 1920, QStringLiteral("あ"), 36, false);
        }
        song.SelStart = 0;
        song.SelEnd = 3;
        window.noteCount = 3;
    }
    void TearDown() override {
        TempFolder.clear();
        settings() = Settings{};
    }

    QTemporaryDir dir;
    ScopedFakePorts ports;
    Song song;
    PlayState play;
    FakeRenderWindow window{&play};
    FakeMci mci;
    FakeSelectionRenderer renderer{[this] { return mci.isOpen(PlaybackCommands::TempWavePath()); }};
    PlaybackCommands commands{song, window, play, mci, renderer};
};

// Play, a second play while playing, the cursor following, pause, resume, the end closing the device,
// and play after the end or after stop rendering again; the file is never written while open.
TEST_F(PlaybackTest, SelectionPlayerFollowsTheDevice) {
    renderer.ms = 1200;
    song.SelStart = 3;  // a selection that ends at the note count plays up to the last note
    song.SelEnd = 1;
    commands.btnPlay_Click();
    ASSERT_EQ(renderer.renders.size(), 1);
    EXPECT_EQ(renderer.renders[0], qMakePair(1, 2));
    EXPECT_EQ(play.PlayStartNote, 1);
    EXPECT_EQ(mci.GetMode(PlaybackCommands::TempWavePath()), QStringLiteral("playing"));
    EXPECT_TRUE(mci.calls.contains(QStringLiteral("Seek \"temp\" to start")));
    EXPECT_EQ(window.calls.back(), QStringLiteral("FocusRoll"));
    EXPECT_TRUE(window.playTimerOn);  // the play cursor follows the sound

    commands.btnPlay_Click();  // already playing: nothing happens
    EXPECT_EQ(renderer.renders.size(), 1);

    mci.advance(100);
    commands.tmrPlaying_Timer();
    EXPECT_EQ(play.PlayPosition, 100);
    EXPECT_EQ(play.PlayingNote, 1);  // the first note of the rendered range
    EXPECT_TRUE(window.cursorVisible);
    EXPECT_TRUE(window.scrolledTo.isEmpty());  // the playing note was not known before this redraw

    mci.advance(500);
    commands.tmrPlaying_Timer();
    EXPECT_EQ(play.PlayPosition, 600);
    EXPECT_EQ(play.PlayingNote, 2);
    EXPECT_EQ(window.scrolledTo, QList<qint32>{1});  // scrolled to the note known before the redraw
    EXPECT_TRUE(window.calls.contains(QStringLiteral("ScrollToTick 1 0.5")));

    commands.btnPause_Click();
    EXPECT_TRUE(window.playTimerOn);
    commands.tmrPlaying_Timer();
    EXPECT_EQ(play.PlayPosition, 0);
    EXPECT_FALSE(window.cursorVisible);
    EXPECT_FALSE(window.playTimerOn);  // paused: nothing to follow, the window may sleep
    EXPECT_TRUE(mci.isOpen(PlaybackCommands::TempWavePath()));  // a pause keeps the device

    commands.btnPlay_Click();  // resumes without rendering
    EXPECT_EQ(renderer.renders.size(), 1);
    EXPECT_TRUE(window.playTimerOn);
    mci.advance(100);
    commands.tmrPlaying_Timer();
    EXPECT_EQ(play.PlayPosition, 700);

    mci.advance(10000);  // played to the end
    commands.tmrPlaying_Timer();
    EXPECT_EQ(play.PlayPosition, 0);
    EXPECT_FALSE(window.playTimerOn);
    EXPECT_FALSE(mci.isOpen(PlaybackCommands::TempWavePath()));

    song.SelStart = 0;
    song.SelEnd = 0;
    commands.mnPlayTemp_Click();  // closed: renders again, the new selection
    ASSERT_EQ(renderer.renders.size(), 2);
    EXPECT_EQ(renderer.renders[1], qMakePair(0, 0));
    EXPECT_EQ(play.PlayStartNote, 0);

    commands.btnStop_Click();
    EXPECT_FALSE(mci.isOpen(PlaybackCommands::TempWavePath()));
    commands.mnPlayTemp_Click();
    EXPECT_EQ(renderer.renders.size(), 3);

    mci.advance(10000);  // ended, but the timer has not seen it yet: play closes before rendering
    commands.mnToneGen_Click();
    EXPECT_EQ(renderer.renders.size(), 4);
    EXPECT_EQ(renderer.writesWhileOpen, 0);
    EXPECT_TRUE(ports.messageBox.shown.isEmpty());
}

TEST_F(PlaybackTest, PlayAgainReplaysTheLastRenderWithoutRendering) {
    commands.btnPlay_Click();
    commands.btnStop_Click();
    commands.tmrPlaying_Timer();
    EXPECT_FALSE(window.playTimerOn);
    play.PlayStartNote = 1;
    commands.mnPlayAgain_Click();
    EXPECT_TRUE(window.playTimerOn);
    EXPECT_EQ(renderer.renders.size(), 1);
    EXPECT_EQ(mci.GetMode(PlaybackCommands::TempWavePath()), QStringLiteral("playing"));
    EXPECT_EQ(play.PlayStartNote, 1);

    mci.advance(300);
    commands.mnTonePlay_Click();  // open already: seek to the start and play
    EXPECT_EQ(mci.devices.first().positionMs, 0);
    EXPECT_EQ(mci.GetMode(PlaybackCommands::TempWavePath()), QStringLiteral("playing"));
}

TEST_F(PlaybackTest, MessagesAndFailures) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        std::function<void()> act;
        QString message;
        MsgIcon icon;
        int renders;
    };
    const QString none = QStringLiteral("選択部分がありません。再生する範囲を選択してください。");
    const QList<Case> cases{
        {"no notes", [&] { song.makeEmpty(); song.SelStart = song.SelEnd = 0; }, [&] { commands.btnPlay_Click(); },
         QStringLiteral("音符が入力されていません"), MsgIcon::None, 0},
        {"nothing selected", [&] { song.SelStart = song.SelEnd = 3; }, [&] { commands.mnPlayTemp_Click(); }, none,
         MsgIcon::Exclamation, 0},
        {"selection beyond the notes", [&] { song.SelStart = song.SelEnd = 5; }, [&] { commands.btnPlay_Click(); },
         none, MsgIcon::Exclamation, 0},
        {"render fails", [&] { renderer.succeed = false; }, [&] { commands.mnPlayTemp_Click(); }, QString(),
         MsgIcon::None, 1},
        {"render raises", [&] { renderer.fail = true; }, [&] { commands.mnPlayTemp_Click(); },
         QStringLiteral("予期せぬエラー"), MsgIcon::None, 1},
        {"device raises", [&] { mci.failAll = true; }, [&] { commands.btnPlay_Click(); },
         QStringLiteral("予期せぬエラー"), MsgIcon::None, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Song fresh;
        for (int i = 0; i < 3; ++i) {
            qint32 at = i;
            fresh.InsertNotes(at, 1920, QStringLiteral("あ"), 36, false);
        }
        song = fresh;
        song.SelStart = 0;
        song.SelEnd = 3;
        renderer.renders.clear();
        renderer.succeed = true;
        renderer.fail = false;
        mci.devices.clear();
        mci.failAll = false;
        ports.messageBox.shown.clear();
        c.arrange();
        c.act();
        EXPECT_EQ(renderer.renders.size(), c.renders);
        if (c.message.isEmpty()) {
            EXPECT_TRUE(ports.messageBox.shown.isEmpty());
        } else {
            ASSERT_EQ(ports.messageBox.shown.size(), 1);
            EXPECT_EQ(ports.messageBox.shown[0].text, c.message);
            EXPECT_EQ(ports.messageBox.shown[0].icon, c.icon);
        }
        EXPECT_FALSE(mci.isOpen(PlaybackCommands::TempWavePath()));
    }
}

TEST_F(PlaybackTest, PauseStopAndTimerSkipDeviceFailures) {
    commands.btnPlay_Click();
    mci.failAll = true;
    EXPECT_NO_THROW(commands.btnPause_Click());
    EXPECT_NO_THROW(commands.btnStop_Click());
    EXPECT_NO_THROW(commands.mnPlayAgain_Click());
    EXPECT_NO_THROW(commands.tmrPlaying_Timer());
    EXPECT_EQ(play.PlayPosition, 0);
    EXPECT_TRUE(ports.messageBox.shown.isEmpty());
}

TEST_F(PlaybackTest, SaveTheTemporaryRender) {
    commands.btnPlay_Click();
    const QString temp = PlaybackCommands::TempWavePath();
    const QByteArray sound = readFile(temp);

    commands.mnTempSaveAt_Click();  // cancelled
    ASSERT_EQ(ports.fileDialog.asked.size(), 1);
    const FileDialogRequest& r = ports.fileDialog.asked[0];
    EXPECT_TRUE(r.save);
    EXPECT_TRUE(r.overwritePrompt);
    EXPECT_EQ(r.filter, QStringLiteral("wavファイル(*.wav)|*.wav|すべてのファイル(*.*)|*.*"));
    EXPECT_EQ(r.fileName, QStringLiteral("temp.wav"));
    EXPECT_EQ(r.filterIndex, 1);

    ports.fileDialog.answers.enqueue(temp);  // onto itself: nothing happens
    commands.mnTempSaveAt_Click();
    EXPECT_EQ(readFile(temp), sound);

    const QString kept = dir.filePath(QStringLiteral("kept.wav"));
    writeFile(kept, "older");
    ports.fileDialog.answers.enqueue(kept);  // an existing file is overwritten
    commands.mnTempSaveAt_Click();
    EXPECT_EQ(readFile(kept), sound);
    EXPECT_TRUE(ports.messageBox.shown.isEmpty());

    ports.fileDialog.answers.enqueue(dir.filePath(QStringLiteral("missing/folder/x.wav")));
    commands.mnTempSaveAt_Click();  // a failed copy is reported
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_TRUE(ports.messageBox.shown[0].text.startsWith(QStringLiteral("予期せぬエラー：")));
}

TEST(PlaybackOutputPath, OutputFileIsFoundBesideTheProject) {
    const struct {
        const char* output;
        const char* project;
        const char* expected;
    } cases[] = {
        {"song.wav", "/work/a.tvx", "/work/song.wav"},
        {"sub/song.wav", "/work/a.tvx", "/work/sub/song.wav"},
        {"/out/song.wav", "/work/a.tvx", "/out/song.wav"},
        {"\\\\server\\share\\o.wav", "/work/a.tvx", "\\\\server\\share\\o.wav"},
        {"C:\\o.wav", "/work/a.tvx", "C:\\o.wav"},
        {"song.wav", "a.tvx", "song.wav"},
        {"song.wav", "D:\\work\\a.tvx", "D:\\work\\song.wav"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlaybackCommands::OutputWavePath(QString::fromUtf8(c.output), QString::fromUtf8(c.project)),
                  QString::fromUtf8(c.expected))
            << c.output << " " << c.project;
}

TEST_F(PlaybackTest, OutputPlayerPlaysFromTheStart) {
    // Not saved: only play says so.
    commands.mnMCIPause_Click();
    commands.mnMCIStop_Click();
    EXPECT_TRUE(ports.messageBox.shown.isEmpty());
    commands.mnMCIPlay_Click();
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_EQ(ports.messageBox.shown[0].text, QStringLiteral("このコマンドを実行する前にプロジェクトを保存してください。"));

    song.ProjectPath = dir.filePath(QStringLiteral("a.tvx"));
    song.OutFile = QStringLiteral("song.wav");
    commands.mnMCIPause_Click();
    commands.mnMCIStop_Click();
    EXPECT_EQ(ports.messageBox.shown.size(), 1);
    commands.mnMCIPlay_Click();
    ASSERT_EQ(ports.messageBox.shown.size(), 2);
    EXPECT_EQ(ports.messageBox.shown[1].text, QStringLiteral("wavファイルが生成されていません。"));
    EXPECT_EQ(ports.messageBox.shown[1].icon, MsgIcon::None);

    writeFile(dir.filePath(QStringLiteral("song.wav")), SilentWave(1000));
    commands.mnMCIPlay_Click();
    ASSERT_TRUE(mci.devices.contains(QStringLiteral("song")));
    EXPECT_EQ(mci.devices[QStringLiteral("song")].mode, QStringLiteral("playing"));
    mci.advance(400);
    commands.mnMCIPause_Click();
    EXPECT_EQ(mci.devices[QStringLiteral("song")].mode, QStringLiteral("paused"));
    commands.mnMCIPlay_Click();  // not resumed: closed, opened again and played from the start
    EXPECT_EQ(mci.devices[QStringLiteral("song")].positionMs, 0);
    EXPECT_EQ(mci.devices[QStringLiteral("song")].mode, QStringLiteral("playing"));
    commands.mnMCIStop_Click();
    EXPECT_FALSE(mci.devices.contains(QStringLiteral("song")));
    EXPECT_EQ(ports.messageBox.shown.size(), 2);
}

TEST_F(PlaybackTest, MidiPreviewTimerEndsTheNote) {
    FakeMidiSystem midi;
    midi.outputs << QStringLiteral("out");
    QString name = QStringLiteral("out");
    ASSERT_EQ(OpenMidiOut(name, nullptr), 0);
    ASSERT_TRUE(MidiNoteOn(36));
    midi.sent.clear();
    commands.tmrMidiNote_Timer();
    ASSERT_EQ(midi.sent.size(), 1);
    EXPECT_EQ(quint8(midi.sent[0][0]), 0x90);
    EXPECT_EQ(int(midi.sent[0][1]), 60);
    EXPECT_EQ(int(midi.sent[0][2]), 0);
    EXPECT_EQ(window.calls.back(), QStringLiteral("midi timer off"));
    CloseMidiOut();
}

// The same player on the program's multimedia layer, over a sound device whose clock the test moves.
TEST_F(PlaybackTest, SelectionPlayerOnTheMultimediaLayer) {
    MciSystem::instance().closeAll();
    FakeAudioDevices devices;
    SystemMci system;
    FakeSelectionRenderer real([] { return !MciSystem::instance().fileOf(QStringLiteral("temp")).isEmpty(); });
    real.ms = 1500;
    PlaybackCommands player(song, window, play, system, real);
    const QString temp = PlaybackCommands::TempWavePath();

    player.btnPlay_Click();
    ASSERT_EQ(real.renders.size(), 1);
    EXPECT_EQ(MciGetMode(temp), QStringLiteral("playing"));
    devices.advanceMs(600);
    player.tmrPlaying_Timer();
    EXPECT_NEAR(play.PlayPosition, 600, 30);
    EXPECT_EQ(play.PlayingNote, 1);

    player.btnPause_Click();
    player.btnPlay_Click();  // resumes
    EXPECT_EQ(real.renders.size(), 1);
    EXPECT_EQ(MciGetMode(temp), QStringLiteral("playing"));

    devices.advanceMs(2000);  // the end
    QCoreApplication::processEvents();
    player.tmrPlaying_Timer();
    EXPECT_TRUE(MciGetMode(temp).startsWith(QStringLiteral("NG:")));
    EXPECT_EQ(play.PlayPosition, 0);

    player.btnPlay_Click();
    player.btnPlay_Click();
    player.btnStop_Click();
    player.btnPlay_Click();
    EXPECT_EQ(real.renders.size(), 3);
    EXPECT_EQ(real.writesWhileOpen, 0);
    MciSystem::instance().closeAll();
}

}  // namespace
}  // namespace tova::test
