// The whole song rendered on the three roads: the render batch run by the batch runner, the tool
// programs one command line at a time, and the tools' libraries in process.
#include "RenderRoadFixture.h"

#include "core/Mci.h"
#include "core/MciSystem.h"
#include "platform/PathText.h"
#include "render/OtoIni.h"
#include "platform/audio/FakeAudioDevices.h"
#include "render/PlayState.h"
#include "render/RenderSession.h"

#include <QCryptographicHash>
#include <QFile>

#include <cmath>

namespace tova::test {
namespace {

using RenderRoadsTest = RenderRoadFixture;

TEST_F(RenderRoadsTest, TheThreeRoadsMakeTheSameWave) {
    // The song's length (1750 ms at tempo 120) and the first note's pre-utterance (60 ms).
    const double expectedMs = 1750.0 + 60.0;
    QByteArray first;
    for (Road road : {Road::Batch, Road::Program, Road::Library}) {
        SCOPED_TRACE(roadName(road));
        clearCache();
        useRoad(road);
        const QString output = dir.filePath(QStringLiteral("out ") + QString::fromLatin1(roadName(road)) + ".wav");
        EXPECT_EQ(generate(output), output + QStringLiteral("を作成しました。"));
        const QByteArray wave = readFile(output);
        EXPECT_NEAR(WaveDurationMs(wave), expectedMs, 1.0);
        EXPECT_FALSE(QFile::exists(output + QStringLiteral(".whd")));
        EXPECT_FALSE(QFile::exists(output + QStringLiteral(".dat")));
        EXPECT_EQ(takeRendered().size(), 4);  // every sung note, the rest needs no tool 2
        if (first.isEmpty())
            first = wave;
        else
            EXPECT_TRUE(wave == first) << "the wave differs from the batch road's";
    }
    // Each road was the one asked for.
    EXPECT_EQ(direct.libraryRoads, (QList<bool>{false, true}));
    // And the wave is the one the tools made before they left Qt behind (its digest taken then): their
    // bytes are part of the program's contract.
    EXPECT_EQ(QCryptographicHash::hash(first, QCryptographicHash::Sha256).toHex().toStdString(),
              "5325fb422249d0f229b835e22259c84a64471e23958e5c6985046be015a13364");
}

// A user whose folders and output name hold characters that code page 932 lacks gets the same wave on
// each road as from plain folders: no path or argument turns into "?" on the way.
TEST_F(RenderRoadsTest, FoldersCp932CannotHoldRenderTheSameWave) {
    for (Road road : {Road::Batch, Road::Program, Road::Library}) {
        SCOPED_TRACE(roadName(road));
        useRoad(road);
        QByteArray waves[2];
        const QString folders[2] = {QStringLiteral("plain"), QStringLiteral("zoë-ß ü")};
        for (int k = 0; k < 2; ++k) {
            SCOPED_TRACE(folders[k].toStdString());
            layOut(dir.filePath(folders[k]));
            clearCache();
            const QString output = QDir(root).filePath(k == 0 ? QStringLiteral("my songs/out.wav") : QStringLiteral("my songs/zoë.wav"));
            EXPECT_EQ(generate(output), output + QStringLiteral("を作成しました。"));
            waves[k] = readFile(output);
        }
        EXPECT_GT(WaveDurationMs(waves[0]), 1000);
        EXPECT_TRUE(waves[0] == waves[1]) << "the wave differs between the folders";
    }
}

// With the render cache on, a render with nothing changed runs tool 2 for no note, and one after a
// note's pitch changed runs it for that note only.
TEST_F(RenderRoadsTest, TheCacheRendersOnlyWhatChanged) {
    for (Road road : {Road::Batch, Road::Program, Road::Library}) {
        SCOPED_TRACE(roadName(road));
        clearCache();
        useRoad(road);
        song.NoteNums[3] = 35;
        const QString output = dir.filePath(QStringLiteral("cached.wav"));
        generate(output);
        EXPECT_EQ(takeRendered(), (QStringList{"A3", "G3", "B3", "C4"}));
        const QByteArray whole = readFile(output);
        generate(output);
        EXPECT_EQ(takeRendered(), QStringList());
        EXPECT_EQ(readFile(output), whole);
        song.NoteNums[3] = 37;
        EXPECT_EQ(generate(output), output + QStringLiteral("を作成しました。"));
        EXPECT_EQ(takeRendered(), QStringList{"C#4"});
        EXPECT_NE(readFile(output), whole);
        // One cache file per note: the note's older rendering went when it was rendered again.
        EXPECT_EQ(QDir(dir.filePath(QStringLiteral("my songs/song.cache"))).entryList({"3_*.wav"}, QDir::Files).size(), 1);
    }
}

// The selection player as the main window has it: the selection rendered into "temp.wav" of the
// temporary folder on each road and played through the multimedia layer, or a word when it cannot play.
TEST_F(RenderRoadsTest, PlayTheSelectionOnEachRoad) {
    MciSystem::instance().closeAll();
    FakeAudioDevices devices;
    PlayState play;
    RenderSession session(song, window, play);
    const QString temp = TempFolder + QStringLiteral("/temp.wav");
    song.SelStart = 4;
    song.SelEnd = 3;
    for (Road road : {Road::Batch, Road::Program, Road::Library}) {
        SCOPED_TRACE(roadName(road));
        useRoad(road);
        session.playback().btnPlay_Click();
        EXPECT_EQ(MciGetMode(temp), QStringLiteral("playing"));
        EXPECT_EQ(play.PlayStartNote, 3);
        // い and あ: 500 + 250 ms and い's pre-utterance 55 at velocity 80.
        EXPECT_NEAR(WaveDurationMs(readFile(temp)), 750 + 55 * std::pow(2.0, 0.2), 1.0);
        EXPECT_TRUE(ports.messageBox.shown.isEmpty());
        session.playback().btnStop_Click();
    }

    // Without a sound device (none opens, or one refuses to start) play says so in words and leaves
    // nothing open; once a device is there the same button plays.
    const struct { const char* name; bool failOpen, failStart; const char* text; } cases[] = {
        {"no device", true, false, "サウンドを再生できません：サウンド出力デバイスを開けません。"},
        {"refused", false, true, "サウンドを再生できません：サウンド出力デバイスが再生を始められません。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        devices.config.failOpen = c.failOpen;
        devices.config.failStart = c.failStart;
        ports.messageBox.shown.clear();
        session.playback().btnPlay_Click();
        ASSERT_EQ(ports.messageBox.shown.size(), 1);
        EXPECT_EQ(ports.messageBox.shown.back().text, QString::fromUtf8(c.text));
        EXPECT_TRUE(MciGetMode(temp).startsWith(QStringLiteral("NG:")));
        EXPECT_TRUE(QFile::exists(temp));
    }
    devices.config.failStart = false;
    ports.messageBox.shown.clear();
    session.playback().btnPlay_Click();
    EXPECT_TRUE(ports.messageBox.shown.isEmpty());
    EXPECT_EQ(MciGetMode(temp), QStringLiteral("playing"));
    session.playback().btnStop_Click();
    MciSystem::instance().closeAll();
}

// A voice bank, project and output in folders whose names code page 932 cannot hold: the tool
// libraries get those paths in marked UTF-8 and render the wave they render from plain folders; the
// programs get them whole as well.
TEST_F(RenderRoadsTest, FoldersNamedBeyondCodePage932RenderTheSameWave) {
    useRoad(Road::Library);
    const QString plainOutput = dir.filePath(QStringLiteral("plain.wav"));
    ASSERT_EQ(generate(plainOutput), plainOutput + QStringLiteral("を作成しました。"));
    const QByteArray plain = readFile(plainOutput);
    takeRendered();

    const QString zoe = dir.filePath(QString::fromUtf8("zoë"));
    bank = zoe + QString::fromUtf8("/bänk");
    WriteFixtureBank(bank);
    LoadOtoIni(bank);
    song.VoiceDir = bank;
    project = zoe + QString::fromUtf8("/sœng/song.tvx");
    QDir().mkpath(PathText::folderPart(project));
    song.ProjectPath = project;
    for (Road road : {Road::Library, Road::Program}) {
        SCOPED_TRACE(roadName(road));
        useRoad(road);
        QDir(zoe + QString::fromUtf8("/sœng/song.cache")).removeRecursively();
        const QString output = zoe + QString::fromUtf8("/sœng/ë ") + QString::fromLatin1(roadName(road)) + ".wav";
        ASSERT_EQ(generate(output), output + QStringLiteral("を作成しました。"));
        EXPECT_TRUE(readFile(output) == plain);
        EXPECT_EQ(takeRendered().size(), 4);
        EXPECT_FALSE(QFile::exists(output + QStringLiteral(".whd")));
    }
    EXPECT_TRUE(QFile::exists(bank + QString::fromUtf8("/a_wav.frq"))) << "tables beside the samples";
}

// Notes whose lyric the bank has no sample for come out silent: the finish message of every road says
// how many and which lyrics, each lyric once.
TEST_F(RenderRoadsTest, NotesWithoutSampleAreNamedInTheFinishMessage) {
    song.Lyrics[1] = QStringLiteral("ぬ");
    song.Lyrics[4] = QStringLiteral("ぬ");
    song.Lyrics[3] = QStringLiteral("ゑ");
    for (Road road : {Road::Batch, Road::Program, Road::Library}) {
        SCOPED_TRACE(roadName(road));
        clearCache();
        useRoad(road);
        const QString output = dir.filePath(QStringLiteral("silent.wav"));
        EXPECT_EQ(generate(output), output + QStringLiteral("を作成しました。\n") +
                                        QStringLiteral("音声ファイルのないノートが3個あり、無音になりました: \"ぬ\", \"ゑ\""));
    }
}

}  // namespace
}  // namespace tova::test
