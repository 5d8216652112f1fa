#include "RenderFakes.h"

#include "core/Processes.h"
#include "core/Settings.h"
#include "platform/Errors.h"
#include "platform/FakePorts.h"
#include "render/RenderCommands.h"
#include "song/Song.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tova::test {
namespace {

class RenderCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        settings() = Settings{};
        settings().UseDLL = true;
        TempFolder = dir.filePath(QStringLiteral("tmp"));
        QDir().mkpath(TempFolder);
        for (int i = 0; i < 4; ++i) {
            qint32 at = i;
            song.InsertNotes(at, 1920, QStringLiteral("あ"), 36, false);
        }
        song.ProjectName = QStringLiteral("歌");
        song.ProjectPath = dir.filePath(QStringLiteral("a.tvx"));
        song.VoiceDir = dir.filePath(QStringLiteral("voice"));
        song.OutFile = QStringLiteral("song.wav");
    }
    void TearDown() override {
        TempFolder.clear();
        settings() = Settings{};
    }

    QTemporaryDir dir;
    ScopedFakePorts ports;
    Song song;
    FakeRenderWindow window;
    FakeBatchWriter writer;
    FakeInProcessRender direct;
    RenderCommands commands{song, window, writer, direct};
};

// The generate command's checks in their order, and the message each outcome gives.
TEST_F(RenderCommandsTest, GenerateChecksAndMessages) {
    const QString made = dir.filePath(QStringLiteral("out.wav"));
    struct Case {
        const char* name;
        std::function<void()> arrange;
        QString message;
        MsgIcon icon;
        bool dialog;
        bool rendered;
    };
    const QList<Case> cases{
        {"never saved, not modified", [&] { song.ProjectPath.clear(); }, QStringLiteral("何も作成されていません。"),
         MsgIcon::None, false, false},
        {"never saved, modified",
         [&] {
             song.ProjectPath.clear();
             song.IsModified = true;
         },
         QStringLiteral("このコマンドを実行する前にプロジェクトを保存してください。"), MsgIcon::None, false, false},
        {"no voice folder", [&] { song.VoiceDir.clear(); },
         QStringLiteral("音声フォルダが設定されていません。プロジェクトの設定で音声ファイルの場所を設定してください。"),
         MsgIcon::Exclamation, false, false},
        {"output name cancelled", [] {}, QString(), MsgIcon::None, true, false},
        {"made", [&] { ports.fileDialog.answers.enqueue(made); }, made + QStringLiteral("を作成しました。"),
         MsgIcon::None, true, true},
        {"not made",
         [&] {
             ports.fileDialog.answers.enqueue(made);
             direct.writeOutput = false;
         },
         QStringLiteral("wavファイルの生成に失敗しました。設定を確認してください。"), MsgIcon::None, true, true},
        {"stopped by the user",
         [&] {
             ports.fileDialog.answers.enqueue(made);
             direct.end = RenderEnd::Stopped;
         },
         QStringLiteral("wavファイルの生成を中断しました。"), MsgIcon::None, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        song.ProjectPath = dir.filePath(QStringLiteral("a.tvx"));
        song.VoiceDir = dir.filePath(QStringLiteral("voice"));
        song.OutFile = QStringLiteral("song.wav");
        QFile::remove(made);
        ports.messageBox.shown.clear();
        ports.fileDialog.asked.clear();
        ports.fileDialog.answers.clear();
        direct = FakeInProcessRender();
        song.IsModified = false;
        c.arrange();
        commands.mnGenerate_Click();
        EXPECT_EQ(ports.fileDialog.asked.size(), c.dialog ? 1 : 0);
        EXPECT_EQ(direct.calls.size(), c.rendered ? 1 : 0);
        if (c.message.isEmpty()) {
            EXPECT_TRUE(ports.messageBox.shown.isEmpty());
        } else {
            ASSERT_EQ(ports.messageBox.shown.size(), 1);
            EXPECT_EQ(ports.messageBox.shown[0].text, c.message);
            EXPECT_EQ(ports.messageBox.shown[0].icon, c.icon);
            EXPECT_EQ(ports.messageBox.shown[0].buttons, MsgButtons::OK);
        }
        EXPECT_TRUE(writer.calls.isEmpty());  // the in-process road writes no batch
        EXPECT_FALSE(window.runningShown);
    }
}

TEST_F(RenderCommandsTest, GenerateAsksForTheOutputBesideTheProject) {
    const QString chosen = dir.filePath(QStringLiteral("chosen.wav"));
    ports.fileDialog.answers.enqueue(chosen);
    commands.mnGenerate_Click();
    ASSERT_EQ(ports.fileDialog.asked.size(), 1);
    const FileDialogRequest& r = ports.fileDialog.asked[0];
    EXPECT_TRUE(r.save);
    EXPECT_TRUE(r.overwritePrompt);
    EXPECT_EQ(r.title, QStringLiteral("出力ファイル名"));
    EXPECT_EQ(r.filter, QStringLiteral("wavファイル|*.wav|すべてのファイル|*.*"));
    EXPECT_EQ(r.filterIndex, 1);
    EXPECT_EQ(r.fileName, dir.filePath(QStringLiteral("song.wav")));
    EXPECT_EQ(song.OutFile, chosen);
    ASSERT_EQ(direct.calls.size(), 1);
    EXPECT_EQ(direct.calls[0], QStringLiteral("RenderDirect 歌 %1 0 3 %2").arg(song.ProjectPath, chosen));

    // A name that holds a folder is offered as it is; cancelling keeps it.
    song.OutFile = QStringLiteral("/elsewhere/x.wav");
    commands.mnGenerate_Click();
    EXPECT_EQ(ports.fileDialog.asked[1].fileName, QStringLiteral("/elsewhere/x.wav"));
    EXPECT_EQ(song.OutFile, QStringLiteral("/elsewhere/x.wav"));
}

TEST_F(RenderCommandsTest, UnexpectedFailureShowsItsDescription) {
    struct Raising : InProcessRender {
        RenderEnd RenderDirect(const QString&, const QString&, qint32, qint32, QString&) override {
            throw FileError(QStringLiteral("ディスクがいっぱいです。"), 61);
        }
    } raising;
    RenderCommands failing(song, window, writer, raising);
    ports.fileDialog.answers.enqueue(dir.filePath(QStringLiteral("o.wav")));
    failing.mnGenerate_Click();
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_EQ(ports.messageBox.shown[0].text, QStringLiteral("ディスクがいっぱいです。"));
    EXPECT_EQ(ports.messageBox.shown[0].title, QStringLiteral("予期せぬエラー"));

    qint32 first = 0, last = 1;
    ports.messageBox.shown.clear();
    EXPECT_FALSE(failing.RenderSelectionToTemp(first, last));
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_EQ(ports.messageBox.shown[0].title, QStringLiteral("予期せぬエラー"));

    settings().DebugMode = true;  // no trap: the failure reaches the caller
    EXPECT_THROW(failing.RenderSelectionToTemp(first, last), FileError);
}

TEST_F(RenderCommandsTest, SelectionRenderInProcess) {
    qint32 first = 1, last = 2;
    EXPECT_TRUE(commands.RenderSelectionToTemp(first, last));
    ASSERT_EQ(direct.calls.size(), 1);
    EXPECT_EQ(direct.calls[0], QStringLiteral("RenderDirect 歌 %1/temp.bat 1 2 %1/temp.wav").arg(TempFolder));
    EXPECT_TRUE(QFile::exists(TempFolder + QStringLiteral("/temp.wav")));
    EXPECT_FALSE(QFile::exists(TempFolder + QStringLiteral("/temp.bat")));
    EXPECT_TRUE(ports.messageBox.shown.isEmpty());

    QFile::remove(TempFolder + QStringLiteral("/temp.wav"));
    direct.writeOutput = false;
    EXPECT_FALSE(commands.RenderSelectionToTemp(first, last));
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_EQ(ports.messageBox.shown[0].text, QStringLiteral("wavファイルの生成に失敗しました。設定を確認してください。"));
    EXPECT_EQ(ports.messageBox.shown[0].icon, MsgIcon::Exclamation);

    direct.end = RenderEnd::Stopped;  // stopped by the user: nothing to play, nothing to say
    EXPECT_FALSE(commands.RenderSelectionToTemp(first, last));
    EXPECT_EQ(ports.messageBox.shown.size(), 1);
}

}  // namespace
}  // namespace tova::test
