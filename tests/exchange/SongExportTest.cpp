// The export command: the offered name, the writer each chosen name leads to (extensions compared
// without regard to case at the very end; a name without one takes the chosen filter's), the messages of the two variants before or after writing, and a
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

#include <QDir>
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
        int filter;          // the filter chosen in the dialog
        const char* file;    // the file written
        const char* mode;    // "VSQ" or the MIDI mode
    };
    const Case cases[] = {
        {"a.vsq", 1, "a.vsq", "VSQ"}, {"a.VSQ", 1, "a.VSQ", "VSQ"}, {"a.Vsq", 3, "a.Vsq", "VSQ"},
        {"a.mid", 2, "a.mid", ""},    {"a.vsq.mid", 1, "a.vsq.mid", ""},
        {"a.stm", 1, "a.stm", "TM"},  {"a.aqu", 1, "a.aqu", "AQ"},  {"a.aqu.vsq", 1, "a.aqu.vsq", "VSQ"},
        {"a.Stm", 1, "a.Stm", "TM"},
        // a name typed without an extension takes the chosen filter's
        {"a", 1, "a.mid", ""},        {"a", 2, "a.vsq", "VSQ"},       {"a", 3, "a", ""},
        {"my.folder/a", 2, "my.folder/a.vsq", "VSQ"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.filter));
        Rig r;
        r.dir.path();
        QDir(r.dir.path()).mkpath(QStringLiteral("my.folder"));
        r.ports.fileDialog.filterIndexes.enqueue(c.filter);
        r.ports.fileDialog.answers.enqueue(r.dir.filePath(QString::fromLatin1(c.name)));
        SongExport(r.song).mnSaveExport_Click();
        const QString path = r.dir.filePath(QString::fromLatin1(c.file));
        const QByteArray written = QFile::exists(path) ? test::readFile(path) : QByteArray();
        EXPECT_EQ(QDir(r.dir.path()).entryList(QDir::Files).size(), QString::fromLatin1(c.file).contains(u'/') ? 0 : 1);
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

    // A song without notes writes no MIDI file and says so, in every MIDI form.
    for (const char* name : {"e.mid", "e.stm", "e.aqu"}) {
        SCOPED_TRACE(name);
        Rig empty;
        empty.song.resizeNotes(0);
        EXPECT_TRUE(empty.exportTo(QString::fromLatin1(name)).isEmpty());
        EXPECT_FALSE(QFile::exists(empty.dir.filePath(QString::fromLatin1(name))));
        ASSERT_EQ(empty.ports.messageBox.shown.size(), 1);
        EXPECT_TRUE(empty.ports.messageBox.lastText().startsWith("音符がないため、")) << empty.ports.messageBox.lastText().toStdString();
    }
    // Asked before any question about replacing a file: an existing file is not offered for nothing.
    Rig existing;
    existing.song.resizeNotes(0);
    test::writeFile(existing.dir.filePath(QStringLiteral("e.MID")), "mine");
    existing.exportTo(QStringLiteral("e.mid"));
    ASSERT_EQ(existing.ports.messageBox.shown.size(), 1);
    EXPECT_TRUE(existing.ports.messageBox.lastText().startsWith("音符がないため、"));
    EXPECT_EQ(test::readFile(existing.dir.filePath(QStringLiteral("e.MID"))), "mine");
}

// An export never replaces a file whose name differs only in letter case, nor one the dialog did not
// see (the name it added an extension to), without asking; Cancel writes nothing.
TEST(SongExport, AsksBeforeReplacingAFileTheDialogDidNotConfirm) {
    const struct {
        const char* existing;
        const char* typed;
        int filter;
        bool ok;
        bool asks;
    } cases[] = {
        {"x.vsq", "x.VSQ", 1, false, true},
        {"x.vsq", "x.VSQ", 1, true, true},
        {"x.vsq", "x", 2, false, true},
        {"X.MID", "x", 1, false, true},
        {"x.vsq", "x.vsq", 1, true, false},  // the dialog asked itself
        {"y.vsq", "x.vsq", 1, true, false},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(std::string(t.existing) + " <- " + t.typed);
        Rig r;
        const QString existing = r.dir.filePath(QString::fromLatin1(t.existing));
        {
            QFile f(existing);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("old");
        }
        r.ports.messageBox.answers.enqueue(t.ok ? MsgResult::OK : MsgResult::Cancel);
        r.ports.fileDialog.filterIndexes.enqueue(t.filter);
        r.ports.fileDialog.answers.enqueue(r.dir.filePath(QString::fromLatin1(t.typed)));
        SongExport(r.song).mnSaveExport_Click();
        if (t.asks) {
            ASSERT_EQ(r.ports.messageBox.shown.size(), 1);
            EXPECT_TRUE(r.ports.messageBox.lastText().endsWith(QStringLiteral("を上書きします")));
            EXPECT_EQ(r.ports.messageBox.shown[0].buttons, MsgButtons::OKCancel);
            // The icon of the program's other replace questions (the save dialog's).
            EXPECT_EQ(r.ports.messageBox.shown[0].icon, MsgIcon::Exclamation);
            EXPECT_EQ(test::readFile(existing) == "old", !t.ok);
        } else {
            EXPECT_TRUE(r.ports.messageBox.shown.isEmpty());
        }
        EXPECT_LE(QDir(r.dir.path()).entryList(QDir::Files).size(), 2);
    }
}

TEST(SongExport, ANoteOutsideTheMidiRangeIsNamedAndNothingIsWritten) {
    // The note is named by its number, measure (four beats) and lyric, whichever writer refused it.
    struct Case {
        const char* name;
        qint32 index, noteNum;
        const char* message;
    };
    const Case cases[] = {
        {"a.mid", 1, 200, "2番目の音符（1小節目、歌詞「く」）は音の高さがMIDIで書ける範囲の外にあるため、書き出せませんでした。"},
        {"a.vsq", 1, -30, "2番目の音符（1小節目、歌詞「く」）は音の高さがMIDIで書ける範囲の外にあるため、書き出せませんでした。"},
        {"a.stm", 3, 104, "4番目の音符（2小節目、歌詞「す」）は音の高さがMIDIで書ける範囲の外にあるため、書き出せませんでした。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig r;
        r.song.resizeNotes(4);
        r.song.Lyrics = QStringList({"さ", "く", "R", "す"});
        r.song.Lengths = {480, 960, 7000, 480};
        r.song.NoteNums = {36, 38, 36, 40};
        r.song.NoteNums[c.index] = c.noteNum;
        EXPECT_TRUE(r.exportTo(QString::fromLatin1(c.name)).isEmpty());
        ASSERT_EQ(r.ports.messageBox.shown.size(), 1);
        EXPECT_EQ(r.ports.messageBox.lastText(), QString::fromUtf8(c.message));
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
