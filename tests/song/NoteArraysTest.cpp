#include "platform/Errors.h"
#include "song/NoteArrays.h"

#include <gtest/gtest.h>

using namespace tova;
using namespace Qt::Literals::StringLiterals;

namespace {

NoteArrays threeNotes() {
    NoteArrays a;
    a.Lengths = {100, 200, 300};
    a.Lyrics = {u"あ"_s, u"い"_s, u"う"_s};
    a.NoteNums = {30, 31, 32};
    a.NoteExt = {u"e0"_s, u"e1"_s, u"e2"_s};
    return a;
}

void expectSizes(const NoteArrays& a, qsizetype lyrics, qsizetype others) {
    EXPECT_EQ(a.Lyrics.size(), lyrics);
    EXPECT_EQ(a.Lengths.size(), others);
    EXPECT_EQ(a.NoteNums.size(), others);
    EXPECT_EQ(a.NoteExt.size(), others);
}

TEST(NoteArrays, RestLyrics) {
    const struct { const char16_t* lyric; bool rest; } cases[] = {
        {u"", true}, {u"R", true}, {u"r", true}, {u"  R ", true}, {u"   ", true},
        {u"Ｒ", false}, {u"R1", false}, {u"ra", false}, {u"\tR", false}, {u"あ", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.lyric).toStdString());
        EXPECT_EQ(IsRestLyric(QString::fromUtf16(c.lyric)), c.rest);
    }
}

TEST(NoteArrays, DeleteMovesLaterNotesDown) {
    NoteArrays a = threeNotes();
    DeleteNoteAt(1, a);
    expectSizes(a, 2, 2);
    EXPECT_EQ(a.Lyrics, QStringList({u"あ"_s, u"う"_s}));
    EXPECT_EQ(a.Lengths, QList<qint32>({100, 300}));
    EXPECT_EQ(a.NoteNums, QList<qint32>({30, 32}));
    EXPECT_EQ(a.NoteExt, QStringList({u"e0"_s, u"e2"_s}));

    a = threeNotes();
    DeleteNoteAt(2, a);  // the last one: only shrinks
    EXPECT_EQ(a.Lyrics, QStringList({u"あ"_s, u"い"_s}));
    EXPECT_EQ(a.NoteExt, QStringList({u"e0"_s, u"e1"_s}));
}

TEST(NoteArrays, DeletingTheOnlyNoteLeavesTheEmptySong) {
    NoteArrays a = threeNotes();
    a.resizeNotes(1);
    DeleteNoteAt(0, a);
    expectSizes(a, 0, 1);
    EXPECT_EQ(a.Lengths[0], 0);
    EXPECT_EQ(a.NoteNums[0], 0);
    EXPECT_EQ(a.NoteExt[0], QString());
    EXPECT_EQ(a.noteCount(), 0);

    DeleteNoteAt(0, a);  // the empty song stays as it is
    expectSizes(a, 0, 1);
}

TEST(NoteArrays, DeleteOrInsertOutsideTheNotesIsRefused) {
    NoteArrays a = threeNotes();
    EXPECT_THROW(DeleteNoteAt(3, a), InvalidCallError);
    EXPECT_THROW(DeleteNoteAt(-1, a), InvalidCallError);
    EXPECT_THROW(InsertNoteAt(4, a), InvalidCallError);
    EXPECT_THROW(InsertNoteAt(-1, a), InvalidCallError);
    EXPECT_EQ(a.Lyrics, threeNotes().Lyrics);
}

TEST(NoteArrays, InsertOpensASlotHoldingACopy) {
    NoteArrays a = threeNotes();
    a.resizeNotes(2);
    InsertNoteAt(0, a);
    expectSizes(a, 3, 3);
    EXPECT_EQ(a.Lyrics, QStringList({u"あ"_s, u"あ"_s, u"い"_s}));
    EXPECT_EQ(a.Lengths, QList<qint32>({100, 100, 200}));
    EXPECT_EQ(a.NoteExt, QStringList({u"e0"_s, u"e0"_s, u"e1"_s}));

    InsertNoteAt(3, a);  // appending gives a new, empty element
    EXPECT_EQ(a.Lyrics.last(), QString());
    EXPECT_EQ(a.Lengths.last(), 0);
    EXPECT_EQ(a.NoteNums.last(), 0);
    EXPECT_EQ(a.NoteExt.last(), QString());
}

TEST(NoteArrays, InsertIntoTheEmptySongKeepsTheSpareElements) {
    NoteArrays a;
    a.Lengths = {60};
    a.NoteNums = {12};
    a.NoteExt = {u"x"_s};
    InsertNoteAt(0, a);
    expectSizes(a, 1, 1);
    EXPECT_EQ(a.Lyrics[0], QString());
    EXPECT_EQ(a.Lengths[0], 60);
    EXPECT_EQ(a.NoteNums[0], 12);
    EXPECT_EQ(a.NoteExt[0], u"x"_s);
}

}  // namespace
