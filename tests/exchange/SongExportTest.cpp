// The export command: the offered name, the writer each chosen name leads to (extensions compared
// case-sensitively at the very end), the messages of the two variants before or after writing, and a
// refused song.
#include "commands/CommandRegistry.h"
#include "commands/FakeEditContext.h"
#include "exchange/ExchangeCommands.h"
#include "exchange/SongExport.h"
#include "exchange/midi/SmfWriter.h"
#include "exchange/vsq/VsqWriter.h"
#include "platform/FakePorts.h"
#include "song/Song.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tova;

namespace {

struct Rig {
    ScopedFakePorts ports;
    QTemporaryDir dir;
    Song song;
    Rig() {
        song.resizeNotes(2);
        song.Lyrics = QStringList({"さ", "く"});
        song.Lengths = {480, 960};
        song.NoteNums = {36, 38};
        song.ProjectName = QStringLiteral("name");
        song.Tempo = 130.5f;
    }
    // Runs the command with the dialog answering `name`; the file written there (empty when none).
    QByteArray exportTo(const QString& name) {
        const QString path = dir.filePath(name);
        ports.fileDialog.answers.enqueue(path);
        SongExport(song).mnSaveExport_Click();
        return QFile::exists(path) ? test::readFile(path) : QByteArray();
    }
};

}  // namespace

TEST(SongExport, TheChosenNamePicksTheWriter) {
    struct Case {
        const char* name;
        const char* mode;  // "VSQ" or the MIDI mode
    };
    const Case cases[] = {
        {"a.vsq", "VSQ"}, {"a.VSQ", ""}, {"a.mid", ""}, {"a", ""}, {"a.vsq.mid", ""},
        {"a.stm", "TM"},  {"a.aqu", "AQ"}, {"a.aqu.vsq", "VSQ"}, {"a.Stm", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig r;
        const QByteArray written = r.exportTo(QString::fromLatin1(c.name));
        const QString mode = QString::fromLatin1(c.mode);
        QStringList header{QStringLiteral("@rem project=name")};
        if (mode.isEmpty()) header << QStringLiteral("@set tempo=130.5");
        const QByteArray expected = mode == u"VSQ" ? VsqFileBytes(130.5f, r.song)
                                                   : SmfFileBytes(130.5f, header, r.song, mode, {});
        EXPECT_EQ(written, expected);
        EXPECT_FALSE(r.song.IsModified);
    }
}

TEST(SongExport, DialogAndMessages) {
    Rig r;
    r.song.ProjectPath = QStringLiteral("/songs/my.song.tvx");
    r.exportTo(QStringLiteral("x.stm"));
    ASSERT_EQ(r.ports.fileDialog.asked.size(), 1);
    const FileDialogRequest& asked = r.ports.fileDialog.asked[0];
    EXPECT_TRUE(asked.save);
    EXPECT_EQ(asked.title, "形式を指定してエクスポート");
    EXPECT_EQ(asked.filter, "SMFファイル(*.mid)|*.mid|VSQ形式ファイル(*.vsq)|*.vsq|すべてのファイル(*.*)|*.*");
    EXPECT_EQ(asked.fileName, "/songs/my.song");
    EXPECT_EQ(r.ports.messageBox.lastText(), "歌うTmidity形式のsmfファイルを生成します");

    Rig never;
    never.exportTo(QStringLiteral("y.aqu"));
    EXPECT_EQ(never.ports.fileDialog.asked[0].fileName, "name");
    EXPECT_EQ(never.ports.messageBox.lastText(), "AquesTone形式のsmfファイルを生成します");

    // Cancel ends the command without a file or a message.
    Rig cancel;
    SongExport(cancel.song).mnSaveExport_Click();
    EXPECT_TRUE(cancel.ports.messageBox.shown.isEmpty());
}

TEST(SongExport, ARefusedSongShowsTheFormatMessageAndWritesNothing) {
    for (const char* name : {"a.mid", "a.vsq", "a.stm"}) {
        SCOPED_TRACE(name);
        Rig r;
        r.song.NoteNums[1] = 200;
        EXPECT_TRUE(r.exportTo(QString::fromLatin1(name)).isEmpty());
        ASSERT_EQ(r.ports.messageBox.shown.size(), 1);
        EXPECT_EQ(r.ports.messageBox.lastText(), "ファイル形式が正しくありません");
    }
}

TEST(SongExport, RegisteredAsTheMainWindowsCommand) {
    CommandRegistry registry;
    registerExchangeCommands(registry);
    ASSERT_TRUE(registry.contains(QStringLiteral("mnSaveExport")));
    Rig r;
    FakeEditContext context;
    context.editedSong().resizeNotes(1);
    context.editedSong().Lyrics[0] = QStringLiteral("あ");
    const QString path = r.dir.filePath("c.vsq");
    r.ports.fileDialog.answers.enqueue(path);
    EXPECT_TRUE(registry.run(QStringLiteral("mnSaveExport"), context));
    EXPECT_EQ(test::readFile(path), VsqFileBytes(context.editedSong().Tempo, context.editedSong()));
}
