#include "SongFakes.h"

#include "platform/Errors.h"

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;
using namespace Qt::Literals::StringLiterals;

namespace {

TEST(SongEditing, NewSongStartsEmpty) {
    Song song;
    EXPECT_EQ(song.noteCount(), 0);
    EXPECT_EQ(song.Lengths.size(), 1);
    EXPECT_EQ(song.OutFile, u"newfile.wav"_s);
    EXPECT_FLOAT_EQ(song.Tempo, 120.0f);
    EXPECT_FALSE(song.IsModified);
    EXPECT_EQ(song.UndoPos, 0);
}

struct RemoveCase {
    const char* name;
    qint32 count, first, last, selStart, selEnd;
    QStringList lyrics;  // expected
    qint32 newStart, newEnd;
    bool modified;
};

TEST(SongEditing, RemoveNotesMovesNotesAndSelection) {
    const RemoveCase cases[] = {
        {"middle, selection after", 5, 1, 2, 3, 4, {u"n0"_s, u"n3"_s, u"n4"_s}, 1, 2, true},
        {"selection inside", 5, 1, 3, 2, 3, {u"n0"_s, u"n4"_s}, 3, 3, true},  // start 1 > end 0: none (count + 1)
        {"start inside, end after", 5, 1, 2, 2, 4, {u"n0"_s, u"n3"_s, u"n4"_s}, 1, 2, true},
        {"last beyond the song is clamped", 4, 2, 99, 0, 1, {u"n0"_s, u"n1"_s}, 0, 1, true},
        {"first at the note count", 3, 3, 3, 3, 3, {u"n0"_s, u"n1"_s, u"n2"_s}, 3, 3, false},
        {"first after last", 3, 2, 1, 3, 3, {u"n0"_s, u"n1"_s, u"n2"_s}, 3, 3, false},
        {"everything", 3, 0, 2, 3, 3, {}, 0, 0, true},
        {"the only note", 1, 0, 0, 1, 1, {}, 0, 0, true},
        {"reversed selection is lost", 5, 4, 4, 3, 1, {u"n0"_s, u"n1"_s, u"n2"_s, u"n3"_s}, 5, 5, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Song song;
        FakeSongHost host(song);
        song.attach(&host, nullptr);
        fillSong(song, c.count);
        song.SelStart = c.selStart;
        song.SelEnd = c.selEnd;
        song.RemoveNotes(c.first, c.last, false);
        EXPECT_EQ(song.Lyrics, c.lyrics);
        EXPECT_EQ(song.NoteExt.size(), std::max<qsizetype>(c.lyrics.size(), 1));
        EXPECT_EQ(song.Lengths.size(), song.NoteExt.size());
        EXPECT_EQ(song.SelStart, c.newStart);
        EXPECT_EQ(song.SelEnd, c.newEnd);
        EXPECT_EQ(song.IsModified, c.modified);
        EXPECT_EQ(host.noteDraws, 0);
        if (c.lyrics.isEmpty()) {
            EXPECT_EQ(song.Lengths, QList<qint32>{0});
            EXPECT_EQ(song.NoteExt, QStringList{QString()});
        }
    }
    Song song;
    fillSong(song, 2);
    EXPECT_THROW(song.RemoveNotes(-1, 0, false), InvalidCallError);
    EXPECT_EQ(song.noteCount(), 2);
}

TEST(SongEditing, InsertNotesGivesTheDefaultsOfNewNotes) {
    SettingsGuard guard;
    Settings& set = settings();
    set.DefaultVolume = 80;
    set.DefaultModulation = 10;
    set.DefaultFlags = u"g-3"_s;
    set.DefaultEnv = u"0,10,30,0,90,90,0"_s;
    set.Mode2 = false;

    Song song;
    FakeSongHost host(song);
    song.attach(&host, nullptr);
    fillSong(song, 2);

    qint32 pos = 99;  // clamped to the note count
    EXPECT_EQ(song.InsertNotes(pos, 960, u"か"_s, -4, true), 0);
    EXPECT_EQ(pos, 2);
    EXPECT_EQ(song.Lyrics[2], u"か"_s);
    EXPECT_EQ(song.Lengths[2], 960);
    EXPECT_EQ(song.NoteNums[2], 0);
    EXPECT_EQ(song.NoteExt[2], u"7:3:\t80\t10\t\tg-3\tenv=0 10 30 0 90 90 0"_s);
    EXPECT_EQ(host.lyricsApplied, QStringList{u"か"_s});
    EXPECT_TRUE(song.IsModified);
    EXPECT_EQ(host.noteDraws, 1);

    pos = 0;  // a rest takes no defaults
    song.InsertNotes(pos, 480, u"R"_s, 36, false);
    EXPECT_EQ(song.Lyrics, QStringList({u"R"_s, u"n0"_s, u"n1"_s, u"か"_s}));
    EXPECT_EQ(song.NoteExt[0], u"7:3:\t\t\t\t\t"_s);

    Song empty;
    pos = 0;
    empty.InsertNotes(pos, 1920, u"あ"_s, 36, false);
    EXPECT_EQ(empty.noteCount(), 1);
    EXPECT_EQ(empty.Lengths, QList<qint32>{1920});

    pos = -1;
    EXPECT_THROW(empty.InsertNotes(pos, 1, u"a"_s, 1, false), InvalidCallError);
}

TEST(SongEditing, InsertNotesInModeTwoScalesPortamentoByTheInterval) {
    SettingsGuard guard;
    Settings& set = settings();
    set.Mode2 = true;
    set.Mode2PBS = u"-40"_s;
    set.Mode2PBW = u"80"_s;
    set.Mode2VBR = u"65 180 35 20 20 0 0 0"_s;
    set.Mode2VBRExclude = 960;
    set.DefaultEnv.clear();

    Song song;
    fillSong(song, 1);  // note number 30
    qint32 pos = 1;
    song.InsertNotes(pos, 1920, u"あ"_s, 42, false);  // an octave above: twice the configured values
    EXPECT_EQ(GetNoteOption(song.NoteExt[1], u"PBS"_s), u"-80"_s);
    EXPECT_EQ(GetNoteOption(song.NoteExt[1], u"PBW"_s), u"160"_s);
    EXPECT_EQ(GetNoteOption(song.NoteExt[1], u"VBR"_s), u"65 180 35 20 20 0 0 0"_s);

    pos = 2;
    song.InsertNotes(pos, 960, u"い"_s, 49, false);  // 7 semitones: Int(-40 * 1.498) = -60; not above the exclusion
    EXPECT_EQ(GetNoteOption(song.NoteExt[2], u"PBS"_s), u"-60"_s);
    EXPECT_EQ(GetNoteOption(song.NoteExt[2], u"PBW"_s), u"119"_s);
    EXPECT_EQ(GetNoteOption(song.NoteExt[2], u"VBR"_s), QString());

    pos = 0;  // no previous note: no portamento points
    song.InsertNotes(pos, 1920, u"う"_s, 30, false);
    EXPECT_EQ(GetNoteOption(song.NoteExt[0], u"PBS"_s), QString());
}

TEST(SongEditing, ChangeNoteKeysTransposesTheSelectionWithinRange) {
    Song song;
    FakeSongHost host(song);
    song.attach(&host, nullptr);
    fillSong(song, 4);
    song.NoteNums = {0, 40, 82, 50};
    song.SelStart = 4;  // the end at the note count is lowered to the last note
    song.SelEnd = 1;
    song.ChangeNoteKeys(2, false);
    EXPECT_EQ(song.NoteNums, QList<qint32>({0, 42, 83, 52}));
    EXPECT_EQ(song.UndoPos, 1);
    EXPECT_EQ(song.RedoTexts[0], u"KEY\t2\t1\t3"_s);
    EXPECT_TRUE(song.UndoTexts[0].startsWith(u"KEY\t-2\t1\t3\r\nPROP\t2\t"_s));
    EXPECT_EQ(song.UndoCaptions[0], u"キーの変更"_s);
    EXPECT_EQ(host.undoCaption, u"キーの変更を元に戻す(&U)"_s);
    EXPECT_TRUE(song.IsModified);
    EXPECT_EQ(host.noteDraws, 1);

    EXPECT_TRUE(song.Undo());  // the clamped note comes back to where it was
    EXPECT_EQ(song.NoteNums, QList<qint32>({0, 40, 82, 50}));
    EXPECT_EQ(song.SelStart, 4);
    EXPECT_EQ(song.SelEnd, 1);
    EXPECT_TRUE(song.Redo());
    EXPECT_EQ(song.NoteNums, QList<qint32>({0, 42, 83, 52}));

    song.SelStart = song.SelEnd = 0;
    song.ChangeNoteKeys(-5, true);  // no record
    EXPECT_EQ(song.NoteNums[0], 0);
    EXPECT_EQ(song.UndoPos, 1);

    song.SelStart = song.SelEnd = 4;  // nothing selected
    const int draws = host.noteDraws;
    song.ChangeNoteKeys(1, false);
    EXPECT_EQ(song.UndoPos, 1);
    EXPECT_EQ(host.noteDraws, draws);
}

}  // namespace
