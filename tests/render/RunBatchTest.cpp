// The render commands' batch road: the batch written by the writer runs in the batch runner program,
// with the window locked while it runs.
#include "RenderFakes.h"

#include "core/Processes.h"
#include "core/Settings.h"
#include "platform/Cp932.h"
#include "platform/FakePorts.h"
#include "platform/SystemPaths.h"
#include "render/RenderCommands.h"
#include "song/Song.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace tova::test {
namespace {

void writeBatch(const QString& path, QString text) {
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    writeFile(path, Cp932::encodeMarked(text));
}

class RunBatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        settings() = Settings{};
        SystemPaths::setProgramFolder(programFolder());
        // A folder with blanks and kana: the batch path reaches the runner as one argument.
        TempFolder = dir.filePath(QStringLiteral("my temp フォルダ"));
        QDir().mkpath(TempFolder);
        writeFile(TempFolder + QStringLiteral("/seed.wav"), SilentWave(20));
        qint32 at = 0;
        song.InsertNotes(at, 1920, QStringLiteral("あ"), 36, false);
        song.ProjectName = QStringLiteral("p");
        song.VoiceDir = dir.filePath(QStringLiteral("voice"));
        // The render starts only with tools that exist.
        song.Tool1 = programFolder() + QStringLiteral("/catena");
        song.Tool2 = programFolder() + QStringLiteral("/vorsa");
        writer.onWrite = [](const QString& batchPath, QString& output) {
            writeBatch(batchPath, QStringLiteral("@rem a batch\n@del \"%1\"\n@copy /Y /B seed.wav \"%1\"\n").arg(output));
        };
        previousFolder = QDir::currentPath();
    }
    void TearDown() override {
        QDir::setCurrent(previousFolder);
        SystemPaths::setProgramFolder(QString());
        TempFolder.clear();
        settings() = Settings{};
    }

    QTemporaryDir dir;
    QString previousFolder;
    ScopedFakePorts ports;
    Song song;
    FakeRenderWindow window;
    FakeBatchWriter writer;
    FakeInProcessRender direct;
    RenderCommands commands{song, window, writer, direct};
};

TEST_F(RunBatchTest, SelectionRenderRunsTheBatchInTheTemporaryFolder) {
    qint32 first = 0, last = 0;
    ASSERT_TRUE(commands.RenderSelectionToTemp(first, last));
    EXPECT_EQ(writer.calls, QStringList{QStringLiteral("WriteRenderBatch p %1/temp.bat 0 0 temp.wav").arg(TempFolder)});
    EXPECT_EQ(readFile(TempFolder + QStringLiteral("/temp.wav")), SilentWave(20));
    EXPECT_EQ(window.calls,
              (QStringList{"disable controls", "disable window", "show running", "unload running", "enable window",
                           "enable controls"}));
    EXPECT_EQ(QDir::currentPath(), QDir(TempFolder).canonicalPath());  // stays at the batch's folder
    EXPECT_TRUE(ports.messageBox.shown.isEmpty());
    EXPECT_TRUE(direct.calls.isEmpty());
}

TEST_F(RunBatchTest, SelectionRenderFailures) {
    qint32 first = 0, last = 0;
    writer.onWrite = [](const QString&, QString&) {};  // no batch written
    EXPECT_FALSE(commands.RenderSelectionToTemp(first, last));
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_EQ(ports.messageBox.shown[0].text, QStringLiteral("プロジェクトの仮作成に失敗しました。設定を確認してください。"));
    EXPECT_EQ(ports.messageBox.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(window.calls.isEmpty());

    writer.onWrite = [](const QString& batchPath, QString&) { writeBatch(batchPath, QStringLiteral("@rem nothing\n")); };
    EXPECT_FALSE(commands.RenderSelectionToTemp(first, last));
    ASSERT_EQ(ports.messageBox.shown.size(), 2);
    EXPECT_EQ(ports.messageBox.shown[1].text, QStringLiteral("wavファイルの生成に失敗しました。設定を確認してください。"));
    EXPECT_EQ(ports.messageBox.shown[1].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(window.windowEnabled);
    EXPECT_TRUE(window.controlsEnabled);
}

TEST_F(RunBatchTest, BatchPathsAndOutputNames) {
    // No folder at all: false without a message, nothing locked.
    EXPECT_FALSE(commands.RunBatchAndWait(QStringLiteral("temp.bat"), QStringLiteral("temp.wav")));
    EXPECT_TRUE(ports.messageBox.shown.isEmpty());
    EXPECT_TRUE(window.calls.isEmpty());
    // An empty folder part.
    EXPECT_FALSE(commands.RunBatchAndWait(QStringLiteral("/temp.bat"), QStringLiteral("temp.wav")));
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_EQ(ports.messageBox.shown[0].text, QStringLiteral("プロジェクトのファイルパスが不正です。"));
    EXPECT_EQ(ports.messageBox.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(window.calls.isEmpty());

    // A relative output is tested in the batch's folder, a name with a folder as it is.
    const QString batch = TempFolder + QStringLiteral("/b.bat");
    const QString elsewhere = dir.filePath(QStringLiteral("elsewhere.wav"));
    writeBatch(batch, QStringLiteral("@copy /Y /B seed.wav made.wav\n@copy /Y /B seed.wav \"%1\"\n").arg(elsewhere));
    EXPECT_TRUE(commands.RunBatchAndWait(batch, QStringLiteral("made.wav")));
    EXPECT_TRUE(commands.RunBatchAndWait(batch, elsewhere));
    EXPECT_FALSE(commands.RunBatchAndWait(batch, dir.filePath(QStringLiteral("made.wav"))));
    // A runner that cannot start is an unexpected failure; the window is unlocked again.
    SystemPaths::setProgramFolder(dir.filePath(QStringLiteral("nowhere")));
    ports.messageBox.shown.clear();
    EXPECT_FALSE(commands.RunBatchAndWait(batch, QStringLiteral("made.wav")));
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_EQ(ports.messageBox.shown[0].title, QStringLiteral("予期せぬエラー"));
    EXPECT_TRUE(window.windowEnabled);
    EXPECT_TRUE(window.controlsEnabled);
    EXPECT_FALSE(window.runningShown);
}

// A render reports success only for an output this run finished: the runner ran the batch to its end,
// and the output was written anew and holds all its header announces.
TEST_F(RunBatchTest, OnlyAnOutputThisRunFinishedCounts) {
    QByteArray cut = SilentWave(20);
    cut.chop(10);
    writeFile(TempFolder + QStringLiteral("/cut.wav"), cut);
    writeFile(TempFolder + QStringLiteral("/old.wav"), SilentWave(20));
    const struct {
        const char* what;
        const char* batch;
        bool made;
    } cases[] = {
        {"written whole", "@copy /Y /B seed.wav out.wav\n", true},
        {"written, then the runner stopped at a line it cannot run",
         "@copy /Y /B seed.wav out.wav\nif errorlevel 1 echo x\n", false},
        {"left as an earlier render made it", "@rem nothing\n", false},
        {"shorter than its header announces", "@copy /Y /B cut.wav out.wav\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(TempFolder + QStringLiteral("/out.wav"));
        QFile::copy(TempFolder + QStringLiteral("/old.wav"), TempFolder + QStringLiteral("/out.wav"));
        const QString batch = TempFolder + QStringLiteral("/b.bat");
        writeBatch(batch, QString::fromUtf8(c.batch));
        EXPECT_EQ(commands.RunBatchAndWait(batch, QStringLiteral("out.wav")), c.made);
        EXPECT_FALSE(QFileInfo::exists(batch + QStringLiteral(".status")));
    }
}

// The wait window's button ends the locked phase only: the window is usable again, the render and play
// controls stay locked until the batch has ended, and only then is the output tested.
TEST_F(RunBatchTest, StopWaitingKeepsTheControlsLockedUntilTheBatchEnds) {
    const QString batch = TempFolder + QStringLiteral("/slow.bat");
    writeBatch(batch, QStringLiteral("sleep 3\n@copy /Y /B seed.wav late.wav\n"));
    bool windowEnabledMeanwhile = false, controlsEnabledMeanwhile = true;
    window.whileRunning = [&] {
        QTimer::singleShot(200, [] { WaitAbort = 1; });
        QTimer::singleShot(700, [&] {
            windowEnabledMeanwhile = window.windowEnabled;
            controlsEnabledMeanwhile = window.controlsEnabled;
        });
    };
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(commands.RunBatchAndWait(batch, QStringLiteral("late.wav")));
    EXPECT_GE(clock.elapsed(), 2900);
    EXPECT_TRUE(windowEnabledMeanwhile);
    EXPECT_FALSE(controlsEnabledMeanwhile);
    EXPECT_TRUE(window.controlsEnabled);
}

TEST_F(RunBatchTest, GenerateOnTheBatchRoad) {
    struct Case {
        const char* name;
        QString projectFile;
        bool upperFolder;
        QString expectedOutput;  // as the batch road passes it on ("" = unchanged)
    };
    const QList<Case> cases{
        {"project kept as a batch", QStringLiteral("x.bat"), true, QStringLiteral("out.wav")},
        {"extension in capitals", QStringLiteral("y.BAT"), true, QString()},
        {"ordinary project", QStringLiteral("z.tvx"), false, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ports.messageBox.shown.clear();
        writer.calls.clear();
        song.ProjectPath = TempFolder + u'/' + c.projectFile;
        QString chosen = TempFolder + QStringLiteral("/out.wav");
        if (c.upperFolder) {
            // Letters in capitals as a Windows user may type them; only ASCII ones, since a capital of
            // some other letters is another name ("ß" becomes "SS").
            QString upper = TempFolder;
            for (QChar& ch : upper)
                if (ch.unicode() < 0x80) ch = ch.toUpper();
            chosen = upper + QStringLiteral("/out.wav");
        }
        QFile::remove(TempFolder + QStringLiteral("/out.wav"));
        ports.fileDialog.answers.enqueue(chosen);
        writer.onGetRenderFileNames = [&](QString& path) {
            if (!path.endsWith(QStringLiteral(".bat"))) path = TempFolder + QStringLiteral("/temp.bat");
            writeBatch(path, QStringLiteral("@copy /Y /B seed.wav out.wav\n"));
        };
        commands.mnGenerate_Click();
        const QString expected = c.expectedOutput.isEmpty() ? chosen : c.expectedOutput;
        EXPECT_EQ(song.OutFile, expected);
        ASSERT_EQ(writer.calls.size(), 1);
        EXPECT_EQ(writer.calls[0], QStringLiteral("GetRenderFileNames ") + song.ProjectPath);
        ASSERT_EQ(ports.messageBox.shown.size(), 1);
        EXPECT_EQ(ports.messageBox.shown[0].text, expected + QStringLiteral("を作成しました。"));
        EXPECT_TRUE(QFile::exists(TempFolder + QStringLiteral("/out.wav")));
    }
}

}  // namespace
}  // namespace tova::test
