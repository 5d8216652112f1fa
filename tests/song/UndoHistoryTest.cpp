#include "SongFakes.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "song/ProjectFile.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;
using namespace Qt::Literals::StringLiterals;

namespace {

struct Snapshot {
    NoteArrays notes;
    bool operator==(const Snapshot& o) const {
        return notes.Lengths == o.notes.Lengths && notes.Lyrics == o.notes.Lyrics &&
               notes.NoteNums == o.notes.NoteNums && notes.NoteExt == o.notes.NoteExt;
    }
};
Snapshot snap(const Song& song) { return {static_cast<const NoteArrays&>(song)}; }

class UndoHistory : public ::testing::Test {
protected:
    UndoHistory() : host(song) {
        song.attach(&host, &cache);
        fillSong(song, 8);
        song.ResetUndoHistory();
    }
    void push(int n) {
        for (int i = 0; i < n; ++i)
            song.PushUndoRecord(u"LYRIC\tu%1"_s.arg(i), u"LYRIC\tr%1"_s.arg(i), u"c%1"_s.arg(i));
    }
    Song song;
    FakeSongHost host;
    FakeNoteCache cache;
};

TEST_F(UndoHistory, EndsOfTheHistoryChangeNothing) {
    const Snapshot before = snap(song);
    EXPECT_FALSE(song.Undo());
    EXPECT_FALSE(song.Redo());
    push(1);
    EXPECT_FALSE(song.Redo());
    EXPECT_EQ(song.UndoPos, 1);
    EXPECT_TRUE(snap(song) == before);
    EXPECT_EQ(host.undoCaption, u"c0を元に戻す(&U)"_s);
    EXPECT_TRUE(host.undoEnabled);
    EXPECT_FALSE(host.redoEnabled);
}

TEST_F(UndoHistory, MenusFollowThePosition) {
    push(2);
    song.Undo();
    EXPECT_EQ(host.lyricQueue, u"u1"_s);
    EXPECT_EQ(host.undoCaption, u"c0を元に戻す(&U)"_s);
    EXPECT_EQ(host.redoCaption, u"c1をやり直す(&Y)"_s);
    EXPECT_TRUE(host.undoEnabled && host.redoEnabled);
    song.Undo();
    EXPECT_EQ(host.undoCaption, u"元に戻す(&U)"_s);
    EXPECT_FALSE(host.undoEnabled);
    EXPECT_EQ(host.redoCaption, u"c0をやり直す(&Y)"_s);
    song.Redo();
    EXPECT_EQ(host.lyricQueue, u"r0"_s);
    EXPECT_EQ(host.redoCaption, u"c1をやり直す(&Y)"_s);
    EXPECT_EQ(host.undoCaption, u"c0を元に戻す(&U)"_s);
    song.Redo();
    EXPECT_EQ(host.redoCaption, u"やり直す(&Y)"_s);
    EXPECT_FALSE(host.redoEnabled);

    song.Undo();
    push(1);  // a push after an undo discards the undone record; redo keeps its last caption, disabled
    EXPECT_EQ(song.UndoTexts.size(), 2);
    EXPECT_EQ(song.UndoTexts[1], u"LYRIC\tu0"_s);
    EXPECT_FALSE(host.redoEnabled);
    EXPECT_EQ(host.redoCaption, u"c1をやり直す(&Y)"_s);
    EXPECT_GT(host.noteDraws, 0);

    song.ResetUndoHistory();
    EXPECT_EQ(song.UndoPos, 0);
    EXPECT_TRUE(song.UndoTexts.isEmpty() && song.RedoTexts.isEmpty() && song.UndoCaptions.isEmpty());
    EXPECT_EQ(host.undoCaption, u"元に戻す(&U)"_s);
    EXPECT_EQ(host.redoCaption, u"やり直す(&Y)"_s);
    EXPECT_FALSE(host.undoEnabled || host.redoEnabled);
}

TEST_F(UndoHistory, KeepsTheNewest1024Records) {
    push(1000);
    song.SetModified(false);  // saved at position 1000
    push(25);
    EXPECT_EQ(song.UndoPos, 1024);
    EXPECT_EQ(song.UndoTexts.size(), 1024);
    EXPECT_EQ(song.RedoTexts.size(), 1024);
    EXPECT_EQ(song.UndoCaptions.size(), 1024);
    EXPECT_EQ(song.UndoTexts[1023], u"LYRIC\tu24"_s);
    EXPECT_EQ(song.UndoTexts[0], u"LYRIC\tu1"_s);  // the oldest record was dropped
    EXPECT_EQ(song.SavedUndoPos, 999);
    song.SetModified(true);
    for (int i = 0; i < 25; ++i) song.Undo();
    EXPECT_EQ(song.UndoPos, 999);
    EXPECT_FALSE(song.IsModified);
}

TEST_F(UndoHistory, ModifiedFlagFollowsTheSavedPosition) {
    push(3);
    song.SetModified(false);
    song.Undo();
    song.Undo();
    EXPECT_TRUE(song.IsModified);
    push(1);  // the saved state can no longer be reached
    EXPECT_EQ(song.SavedUndoPos, -1);
    song.SetModified(true);
    while (song.UndoPos > 0) {
        song.Undo();
        EXPECT_TRUE(song.IsModified);
    }

    song.ResetUndoHistory();
    push(3);
    song.SetModified(false);
    push(1);
    song.SetModified(true);
    const int captions = host.captionUpdates;
    song.Undo();
    EXPECT_FALSE(song.IsModified);
    EXPECT_TRUE(song.WasModified);
    EXPECT_GT(host.captionUpdates, captions);
    song.Redo();
    EXPECT_TRUE(song.IsModified);
}

// Each kind of record, made the way the editing commands make it, undoes to the song before and redoes
// to the song after.
TEST_F(UndoHistory, EveryRecordKindRoundTrips) {
    struct Step {
        const char* name;
        std::function<void()> edit;
    };
    const Step steps[] = {
        {"DEL",
         [&] {
             const QString undo = song.SerializeNoteRange(u"INS"_s, 2, 4);
             song.RemoveNotes(2, 4, false);
             song.PushUndoRecord(undo, u"DEL\t2\t4"_s, u"ノートの削除"_s);
         }},
        {"INS",
         [&] {
             QString undo, redo;
             for (qint32 p = 3; p < 5; ++p) {
                 qint32 pos = p;
                 song.InsertNotes(pos, 960, u"き"_s, 40 + p, false);
                 undo = u"DEL\t%1\t%1\r\n"_s.arg(pos) + undo;
                 redo += song.SerializeNote(u"INS"_s, pos) + u"\r\n"_s;
             }
             song.PushUndoRecord(undo, redo, u"挿入"_s);
         }},
        {"PROP",
         [&] {
             song.BeginPropUndo(1, 3, u"プロパティ"_s);
             SetNoteOption(song.NoteExt[1], u"VBR"_s, u"1,2,3"_s);
             song.Lengths[2] = 123;
             song.Lyrics[3] = u"ソ"_s;
             EXPECT_TRUE(song.EndPropUndo());
         }},
        {"KEY",
         [&] {
             song.SelStart = 6;
             song.SelEnd = 0;
             song.ChangeNoteKeys(50, false);  // notes 4 to 6 reach the top and are held there
         }},
        {"LYRIC",
         [&] {
             host.lyricQueue = u"か き"_s;
             song.PushUndoRecord(u"LYRIC\tあ か き"_s, u"LYRIC\tか き"_s, u"歌詞"_s);
         }},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        fillSong(song, 8);
        song.ResetUndoHistory();
        song.SetModified(false);
        host.lyricQueue = u"あ か き"_s;
        const Snapshot before = snap(song);
        step.edit();
        const Snapshot after = snap(song);
        const QString queueAfter = host.lyricQueue;
        EXPECT_FALSE(before == after && QString::fromLatin1(step.name) != u"LYRIC"_s);
        ASSERT_TRUE(song.Undo());
        EXPECT_TRUE(snap(song) == before);
        EXPECT_EQ(host.lyricQueue, u"あ か き"_s);
        EXPECT_FALSE(song.IsModified);
        ASSERT_TRUE(song.Redo());
        EXPECT_TRUE(snap(song) == after);
        EXPECT_EQ(host.lyricQueue, queueAfter);
        EXPECT_TRUE(song.IsModified);
    }
}

TEST_F(UndoHistory, AppliedLinesSetSelectionCacheAndFields) {
    song.CacheDir = u"/c"_s;
    song.SelStart = 1;
    song.SelEnd = 2;
    song.ApplyUndoRecord(u"INS\t4\t10\ta\t1\t\t\t\t\t\t\r\nINS\t5\t10\tb\t2\r\nINS\t6\t10\tc\t-3\t1:2:3\t100\t\t\t\tx=1\r\n"_s);
    EXPECT_EQ(song.SelStart, 4);
    EXPECT_EQ(song.SelEnd, 6);
    EXPECT_EQ(song.Lyrics.mid(4, 3), QStringList({u"a"_s, u"b"_s, u"c"_s}));
    EXPECT_EQ(song.NoteExt[5], u"\t\t\t\t\t"_s);  // fields padded to six, the window's timing overwritten
    EXPECT_EQ(song.NoteExt[6], u"1:2:3\t100\t\t\t\tx=1"_s);
    EXPECT_EQ(song.NoteNums[6], -3);

    song.SelStart = 1;
    song.SelEnd = 2;
    song.ApplyUndoRecord(u"KEY\t1\t5\t7\r\nPROP\t0\t99\tz\t5\tshort"_s);
    EXPECT_EQ(song.SelStart, 1);  // the selection is as it was
    EXPECT_EQ(song.SelEnd, 2);
    EXPECT_EQ(song.NoteNums[6], 0);  // -3 + 1 held at the bottom
    EXPECT_EQ(song.NoteNums[7], 35);
    EXPECT_EQ(song.NoteExt[0], u"short\t\t\t\t\t"_s);
    EXPECT_EQ(song.Lengths[0], 99);
    ASSERT_EQ(cache.deleted.size(), 1);
    EXPECT_EQ(cache.deleted[0], qMakePair(u"/c"_s, 0));

    // Lines of other kinds and empty lines are skipped; numbers are read leniently, halves to even.
    song.ApplyUndoRecord(u"\r\nFOO\t1\r\nPROP\t2.5\t7x\tq\t1\r\n"_s);
    EXPECT_EQ(song.Lengths[2], 7);
    EXPECT_EQ(song.Lyrics[2], u"q"_s);
}

TEST_F(UndoHistory, TempoLinesSetTheProjectTempo) {
    song.Tempo = 120.0f;
    const float odd = 123.456789f;
    song.PushUndoRecord(u"DEL\t8\t8\r\n"_s + Song::TempoRecordLine(120.0f),
                        u"INS\t8\t480\ta\t40\t\r\n"_s + Song::TempoRecordLine(odd), u"t"_s);
    ASSERT_TRUE(song.Undo());
    EXPECT_EQ(song.Tempo, 120.0f);
    ASSERT_TRUE(song.Redo());
    EXPECT_EQ(song.Tempo, odd);  // the exact single-precision value comes back
    EXPECT_EQ(song.noteCount(), 9);
}

TEST_F(UndoHistory, BadRecordChangesNothing) {
    SettingsGuard guard;
    const QString bad[] = {
        u"PROP\t1\t5\ta\t1\r\nPROP\t8\t5\ta\t1"_s,        // past the last note
        u"DEL\t0\t7\r\nPROP\t0\t5\ta\t1"_s,               // the song is empty by then
        u"INS\t-1\t5\ta\t1"_s,
        u"INS\t10\t5\ta\t1"_s,                             // beyond the end
        u"KEY\t1\t-1\t3"_s,
        u"PROP\t1\t99999999999\ta\t1"_s,                   // a number out of range
        u"DEL\t-2\t3"_s,
        u"TEMPO\t0"_s,                                     // a tempo must be positive
        u"TEMPO\tx"_s,
        u"DEL\t0\t0\r\nTEMPO\t1E+300"_s,                  // beyond single precision
        // Lines that a TAB inside a text split: their numbers would come from the wrong fields.
        u"PROP\t1\t5\ta\tb\t40\t\t\t\t\t\t"_s,
        u"PROP\t1\t5\ta\tb"_s,                           // the note number's place holds text
        u"INS\t1\t5\t\t\t40"_s,
        u"DEL\t1\t1\t1"_s,
        u"KEY\t1\t0\t1\t2"_s,
        u"LYRIC\ta\tb"_s,
    };
    for (const QString& text : bad) {
        SCOPED_TRACE(text.toStdString());
        fillSong(song, 8);
        song.ResetUndoHistory();
        song.PushUndoRecord(text, text, u"x"_s);
        song.SetModified(false);
        const Snapshot before = snap(song);
        EXPECT_THROW(song.ApplyUndoRecord(text), InvalidCallError);
        EXPECT_FALSE(song.Undo());
        EXPECT_EQ(song.UndoPos, 1);
        EXPECT_TRUE(snap(song) == before);
        EXPECT_EQ(host.undoCaption, u"xを元に戻す(&U)"_s);
        EXPECT_FALSE(song.IsModified);
        settings().DebugMode = true;
        EXPECT_THROW(song.Undo(), InvalidCallError);
        settings().DebugMode = false;
    }
    // Lines that remove or transpose nothing are no damage.
    song.ApplyUndoRecord(u"DEL\t8\t7\r\nDEL\t0\t-1\r\nKEY\t1\t9\t9"_s);
    EXPECT_EQ(song.noteCount(), 8);
}

TEST_F(UndoHistory, PropStepsRecordOnlyChanges) {
    song.BeginPropUndo(2, 3, u"p"_s);
    EXPECT_FALSE(song.EndPropUndo());
    EXPECT_EQ(song.UndoPos, 0);
    song.BeginPropUndo(3, 2, u"p"_s);
    song.Lyrics[2] = u"changed"_s;
    EXPECT_FALSE(song.EndPropUndo());
    EXPECT_FALSE(song.IsModified);
    song.BeginPropUndo(2, 2, u"p"_s);
    song.Lengths[2] = 1;
    EXPECT_TRUE(song.EndPropUndo());
    EXPECT_TRUE(song.IsModified);
    EXPECT_EQ(song.RedoTexts[0], song.SerializeNote(u"PROP"_s, 2) + u"\r\n"_s);
    EXPECT_EQ(song.SerializeNote(u"INS"_s, 0), u"INS\t0\t480\tn0\t30\t10:5:100\t100\t0\t-20Q120 0 5\tg-0\tlabel=L0\\nenv=0 5 35 0 100 100 0"_s);
    EXPECT_EQ(song.SerializeNoteRange(u"PROP"_s, 3, 2), QString());
    EXPECT_THROW(song.SerializeNote(u"PROP"_s, 8), InvalidCallError);
}

TEST_F(UndoHistory, RecoveryCopyIsTheProjectFile) {
    QTemporaryDir dir;
    song.TempFolder = dir.path();
    song.ProjectName = u"回復"_s;
    song.Mode2 = true;
    song.Tempo = 97.5f;
    push(1);
    song.WaitForRecoveryFile();
    const QString path = dir.filePath(u"temp$$$.tvx"_s);
    EXPECT_EQ(song.RecoveryFilePath(), path);
    EXPECT_EQ(test::readFile(path), Cp932::encode(ProjectFileText(song.projectSettings(), song)));
    EXPECT_TRUE(test::readFile(path).contains("Mode2=True\r\n"));

    song.TempFolder = dir.filePath(u"gone/away"_s);  // failures are ignored
    EXPECT_NO_THROW(push(1));
    EXPECT_NO_THROW(song.WaitForRecoveryFile());
    song.TempFolder.clear();
    EXPECT_NO_THROW(push(1));
}

// The recovery copy follows undo and redo: a crash right after either brings back the song as it
// stands then.
TEST_F(UndoHistory, RecoveryCopyFollowsUndoAndRedo) {
    QTemporaryDir dir;
    song.TempFolder = dir.path();
    const QString path = dir.filePath(u"temp$$$.tvx"_s);
    const auto current = [&] { return Cp932::encode(ProjectFileText(song.projectSettings(), song)); };
    const QString undo = song.SerializeNote(u"INS"_s, 0) + u"\r\n"_s;
    song.RemoveNotes(0, 0, false);
    song.PushUndoRecord(undo, u"DEL\t0\t0\r\n"_s, u"ノートの削除"_s);
    const QByteArray afterDelete = current();
    song.WaitForRecoveryFile();
    EXPECT_EQ(test::readFile(path), afterDelete);
    ASSERT_TRUE(song.Undo());
    EXPECT_NE(current(), afterDelete);
    song.WaitForRecoveryFile();
    EXPECT_EQ(test::readFile(path), current());
    ASSERT_TRUE(song.Redo());
    song.WaitForRecoveryFile();
    EXPECT_EQ(test::readFile(path), afterDelete);
}

}  // namespace
