// The editing commands over one fixture song: each is one undo step that undo and redo take back and
// forth exactly; the clipboard, typed notes, quantising, merging, transposing and pitch points.
#include "EditCommandsFixture.h"
#include "commands/ClipboardCommands.h"
#include "commands/CommandFrame.h"
#include "commands/CommandRegistry.h"
#include "commands/InsertCommands.h"
#include "commands/MoveCommands.h"
#include "commands/PitchRenderCommands.h"
#include "song/NoteExtension.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;
using namespace Qt::Literals::StringLiterals;

namespace {

CommandRegistry editCommands() {
    CommandRegistry r;
    registerClipboardCommands(r);
    registerInsertCommands(r);
    registerMoveCommands(r);
    registerPitchRenderCommands(r);
    return r;
}

// あ R い う え: a rest, a note at the top of the range, a short rest-free note, lengths off the grid.
void fixtureSong(EditFixture& f) {
    f.setNotes({u"あ"_s, u"R"_s, u"い"_s, u"R"_s, u"え"_s}, {500, 460, 1000, 80, 1920}, {40, 41, 83, 42, 43});
    for (qint32 i : {0, 2, 4}) {
        SetNoteOption(f.c.s.NoteExt[i], u"PBS"_s, u"-40"_s);
        SetNoteOption(f.c.s.NoteExt[i], u"PBW"_s, u"80 200"_s);
        SetNoteOption(f.c.s.NoteExt[i], u"PBY"_s, u"0 -5"_s);
    }
}

TEST(EditCommands, EachIsOneUndoStepThatUndoAndRedoTakeBackAndForth) {
    const struct {
        const char16_t* command;
        qint32 selStart, selEnd, cur;
        QStringList answers;  // input box answers
        const char16_t* lyricEntry;
        bool mode2;
        const char16_t* caption;
    } cases[] = {
        {u"mnDelete", 1, 2, -1, {}, u"", false, u"ノートの削除"},
        {u"mnCut", 4, 3, -1, {}, u"", false, u"ノートの削除"},
        {u"mnToneCut", 0, 0, -1, {}, u"", false, u"ノートの削除"},
        {u"mnPaste", 2, 2, -1, {}, u"", false, u"ノートの貼付け"},
        {u"mnInsert", 2, 3, -1, {}, u"", false, u"休符の挿入"},
        {u"mnToneIns", 2, 2, -1, {u"か"_s}, u"", false, u"ノートの挿入"},
        {u"cmdLyricIns", 1, 1, -1, {}, u"/L8/D4かき", false, u"挿入"},
        {u"cmdLyricRepl", 0, 2, -1, {}, u"かき", false, u"歌詞の置換え"},
        {u"mnMoveUp", 1, 2, -1, {}, u"", false, u"キーの変更"},
        {u"mnMoveDown", 4, 0, -1, {}, u"", false, u"キーの変更"},
        {u"mnMoveNote", 0, 4, -1, {u"2.5"_s}, u"", false, u"キーの変更"},
        {u"mnNoteMerge", 0, 2, -1, {}, u"", false, u"ノート結合"},
        {u"mnNoteLength", 0, 0, 2, {u"100"_s}, u"", false, u"長さを変更"},
        {u"mnQuontize", 5, 5, -1, {u"120"_s}, u"", false, u"クォンタイズ"},
        {u"mnRemoveR", 5, 5, -1, {u"20"_s}, u"", false, u"休符の除去"},
        {u"cmdRender", 0, 4, -1, {}, u"", true, u"ピッチをレンダリング"},
    };
    const CommandRegistry registry = editCommands();
    for (const auto& t : cases) {
        const QString name = QString::fromUtf16(t.command);
        SCOPED_TRACE(name.toStdString());
        EditFixture f;
        fixtureSong(f);
        if (name == u"mnPaste") {  // the clipboard holds notes 0..1
            f.c.setSelection(0, 1);
            mnCopy_Click(f.c);
        }
        f.c.setSelection(t.selStart, t.selEnd);
        f.c.cur = t.cur;
        f.c.lyricEntry = QString::fromUtf16(t.lyricEntry);
        f.c.s.Mode2 = t.mode2;
        for (const QString& a : t.answers) f.ports.inputBox.answers.enqueue({true, a});
        f.expectOneStep(registry, name, QString::fromUtf16(t.caption));
        EXPECT_TRUE(f.ports.inputBox.answers.isEmpty());
    }
}

TEST(EditCommands, CopyPutsTheLyricsOnTheSystemClipboardInTheEntryBoxForm) {
    EditFixture f;
    f.setNotes({u"か"_s, u"R"_s, u"きゃ"_s, u"aか"_s, u"かゃん"_s, QString(), u"a"_s}, {1, 2, 3, 4, 5, 6, 7},
               {1, 2, 3, 4, 5, 6, 7});
    f.c.setSelection(6, 0);
    mnCopy_Click(f.c);
    const QString text = u"か きゃ\"aか\"\"かゃん\" a"_s;
    EXPECT_EQ(f.ports.clipboard.content, text);
    EXPECT_EQ(f.c.clip.noteCount(), 7);
    EXPECT_EQ(f.c.clip.NoteExt.value(3), f.c.s.NoteExt.value(3));
    EXPECT_EQ(f.c.s.UndoPos, 0);
    EXPECT_EQ(f.c.backgrounds + f.c.notesDrawn, 0);

    // The text another instance copied, typed back into the lyric entry box, gives the sung notes again.
    EditFixture other;
    other.setNotes({}, {}, {});
    other.c.lyricEntry = text;
    InsertNotesFromText(other.c, true);
    EXPECT_EQ(other.lyrics(), (QStringList{u"か"_s, u"きゃ"_s, u"aか"_s, u"かゃん"_s, u"a"_s}));

    // With no selection copy empties the note clipboard and leaves the system clipboard alone.
    f.c.setSelection(7, 7);
    mnCopy_Click(f.c);
    EXPECT_EQ(f.c.clip.noteCount(), 0);
    EXPECT_EQ(f.ports.clipboard.content, text);
    EXPECT_EQ(f.ports.clipboard.writes, 1);

    // With the focus in a text box the keystroke goes there and the notes stay.
    f.c.focus = u"Text2"_s;
    f.c.setSelection(0, 1);
    mnCut_Click(f.c);
    mnPaste_Click(f.c);
    EXPECT_EQ(f.c.keysSent, (QStringList{u"Text2 ^X"_s, u"Text2 ^V"_s}));
    EXPECT_EQ(f.c.s.noteCount(), 7);
    EXPECT_EQ(f.c.s.UndoPos, 0);
}

TEST(EditCommands, PasteAppendsInsertsBeforeTheStartAndRoundTrips) {
    EditFixture f;
    f.setNotes({u"あ"_s, u"い"_s, u"う"_s}, {480, 960, 1920}, {36, 38, 40});
    f.c.setSelection(1, 2);
    mnCopy_Click(f.c);
    f.c.setSelection(3, 3);  // no selection: appended at the end and selected
    mnPaste_Click(f.c);
    EXPECT_EQ(f.lyrics(), (QStringList{u"あ"_s, u"い"_s, u"う"_s, u"い"_s, u"う"_s}));
    EXPECT_EQ(f.c.selStart(), 3);
    EXPECT_EQ(f.c.selEnd(), 4);
    EXPECT_EQ(f.c.s.NoteExt.value(4), f.c.s.NoteExt.value(2));  // options travel with the notes
    mnPaste_Click(f.c);  // again, before the first pasted note
    EXPECT_EQ(f.lyrics(), (QStringList{u"あ"_s, u"い"_s, u"う"_s, u"い"_s, u"う"_s, u"い"_s, u"う"_s}));
    EXPECT_EQ(f.c.s.UndoPos, 2);
    const std::string twice = f.notes();
    ASSERT_TRUE(f.c.s.Undo());
    EXPECT_EQ(f.c.s.noteCount(), 5);
    ASSERT_TRUE(f.c.s.Redo());
    EXPECT_EQ(f.notes(), twice);
}

TEST(EditCommands, PasteUndoPasteOnAnEmptySongStartsAtTheFirstPlace) {
    EditFixture f;
    f.setNotes({u"あ"_s, u"い"_s}, {480, 960}, {36, 38});
    f.c.setSelection(0, 1);
    mnCut_Click(f.c);  // every note gone: the empty song, whose lyric list has no element
    EXPECT_EQ(f.c.s.noteCount(), 0);
    EXPECT_TRUE(f.c.s.Lyrics.isEmpty());
    mnPaste_Click(f.c);
    EXPECT_EQ(f.lyrics(), (QStringList{u"あ"_s, u"い"_s}));
    ASSERT_TRUE(f.c.s.Undo());  // leaves the selection past the end
    EXPECT_EQ(f.c.s.noteCount(), 0);
    EXPECT_GT(f.c.selStart(), f.c.s.noteCount());
    mnPaste_Click(f.c);
    EXPECT_EQ(f.lyrics(), (QStringList{u"あ"_s, u"い"_s}));
    EXPECT_EQ(f.c.selStart(), 0);
    EXPECT_EQ(f.c.selEnd(), 1);
    EXPECT_EQ(f.c.s.Lengths, (QList<qint32>{480, 960}));
}

// Text that gives no note (a TAB, a line break, a command alone) leaves the selection as it was: the
// Delete after it removes the selected note only, and undo gives back exactly the song before. A
// selection that starts before the first note deletes nothing and records nothing.
TEST(EditCommands, TextThatGivesNoNoteLeavesTheSelection) {
    for (const QString& text : {u"\t"_s, u"\r\n"_s, u"/L4"_s}) {
        SCOPED_TRACE(text.toStdString());
        EditFixture f;
        f.setNotes({u"あ"_s, u"い"_s, u"う"_s, u"え"_s}, {480, 480, 480, 480}, {36, 36, 36, 36});
        const std::string before = f.notes();
        f.c.setSelection(2, 2);
        f.c.lyricEntry = text;
        InsertNotesFromText(f.c, true);
        EXPECT_EQ(f.c.s.SelStart, 2);
        EXPECT_EQ(f.c.s.SelEnd, 2);
        EXPECT_EQ(f.c.s.UndoPos, 0);
        mnDelete_Click(f.c);
        EXPECT_EQ(f.lyrics(), (QStringList{u"あ"_s, u"い"_s, u"え"_s}));
        ASSERT_TRUE(f.c.s.Undo());
        EXPECT_EQ(f.notes(), before);
    }
    EditFixture f;
    f.setNotes({u"あ"_s, u"い"_s}, {480, 480}, {36, 36});
    const std::string before = f.notes();
    f.c.s.SelStart = -1;
    f.c.s.SelEnd = 0;
    mnDelete_Click(f.c);
    EXPECT_EQ(f.notes(), before);
    EXPECT_EQ(f.c.s.UndoPos, 0);
}

TEST(EditCommands, DeleteWithoutSelectionRecordsAnEmptyStep) {
    EditFixture f;
    f.setNotes({u"あ"_s}, {480}, {36});
    const std::string before = f.notes();
    mnDelete_Click(f.c);
    EXPECT_EQ(f.notes(), before);
    EXPECT_EQ(f.c.s.UndoPos, 1);
    EXPECT_EQ(f.c.s.UndoTexts.value(0), QString());
}

TEST(EditCommands, PasteScrollsToAPastedNoteOutOfView) {
    EditFixture f;
    f.setNotes({u"あ"_s, u"い"_s}, {480, 960}, {36, 38});
    f.c.geometry = NoteGeometryList(2);
    f.c.geometry[0].Left = -500, f.c.geometry[0].Width = 400;  // left of the roll
    f.c.geometry[1].Left = 100, f.c.geometry[1].Width = 400;
    EXPECT_FALSE(IsNoteVisible(f.c, 0));
    EXPECT_TRUE(IsNoteVisible(f.c, 1));
    EXPECT_FALSE(IsNoteVisible(f.c, 2));
    f.c.setSelection(0, 0);
    mnCopy_Click(f.c);
    mnPaste_Click(f.c);
    EXPECT_EQ(f.c.scrolledTo, QList<qint32>{0});
    f.c.setSelection(1, 1);
    mnPaste_Click(f.c);
    EXPECT_EQ(f.c.scrolledTo, QList<qint32>{0});
}

TEST(EditCommands, TypedNotesReadLengthsNoteNamesAndLyrics) {
    const struct {
        const char16_t* text;
        QStringList lyrics;
        qint32 length, noteNum;  // of the last note
    } cases[] = {
        {u"/L8/D4あいうえお", {u"あ"_s, u"い"_s, u"う"_s, u"え"_s, u"お"_s}, 960, 38},
        {u"/L5あ", {u"あ"_s}, 1920, 36},
        {u"/L16 あ", {u"あ"_s}, 480, 36},
        {u"/L32あ", {u"あ"_s}, 240, 36},
        {u"きゃ\"abc\" ", {u"きゃ"_s, u"abc"_s}, 1920, 36},
        {u"/C#4あ/Eb3い", {u"あ"_s, u"い"_s}, 1920, 27},
        {u"/Cxあ", {u"あ"_s}, 1920, 36},
        {u"/cあ", {u"あ"_s}, 1920, 36},
        {u"あ/", {u"あ"_s, u"/"_s}, 1920, 36},
        {u"/L8/D4", {}, 0, 0},
        // TABs and line breaks separate lyrics as blanks do; a quoted lyric loses what would split it.
        {u"か\tき\r\nく", {u"か"_s, u"き"_s, u"く"_s}, 1920, 36},
        {u"\"a=b\tC:\\new\"", {u"a b C:/new"_s}, 1920, 36},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(QString::fromUtf16(t.text).toStdString());
        const QList<TypedNote> notes = ReadTypedNotes(QString::fromUtf16(t.text), 1920, 36);
        QStringList lyrics;
        for (const TypedNote& n : notes) lyrics << n.lyric;
        EXPECT_EQ(lyrics, t.lyrics);
        if (!notes.isEmpty()) {
            EXPECT_EQ(notes.back().length, t.length);
            EXPECT_EQ(notes.back().noteNum, t.noteNum);
        }
    }
    EXPECT_EQ(ReadTypedNotes(u"/C#4あ/Eb3い"_s, 1920, 36).front().noteNum, 37);
}

TEST(EditCommands, TypedNotesInsertedAreOneStepAndReplaceSkipsRests) {
    EditFixture f;
    f.setNotes({u"か"_s}, {480}, {40});
    f.c.lyricEntry = u"/L8/D4あいうえお"_s;
    InsertNotesFromText(f.c, true);  // no selection: appended
    EXPECT_EQ(f.lyrics(), (QStringList{u"か"_s, u"あ"_s, u"い"_s, u"う"_s, u"え"_s, u"お"_s}));
    EXPECT_EQ(f.c.s.Lengths.mid(1), QList<qint32>(5, 960));
    EXPECT_EQ(f.c.s.NoteNums.mid(1), QList<qint32>(5, 38));
    EXPECT_EQ(f.c.selStart(), 1);
    EXPECT_EQ(f.c.selEnd(), 5);
    EXPECT_EQ(f.c.lyricEntry, u"/L8/D4あいうえお"_s);  // the box keeps its text
    EXPECT_EQ(f.c.s.UndoPos, 1);
    ASSERT_TRUE(f.c.s.Undo());
    EXPECT_EQ(f.lyrics(), QStringList{u"か"_s});

    // Replacing: only the selected notes, a rest passed over even beyond the selection end.
    for (const bool noCheck : {false, true}) {
        SCOPED_TRACE(noCheck);
        EditFixture g;
        settings().NoCheckSetLyrics = noCheck;
        g.setNotes({u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"R"_s, u"e"_s, u"f"_s}, QList<qint32>(7, 480), QList<qint32>(7, 40));
        g.c.setSelection(3, 4);
        g.c.lyricEntry = u"かきくけこ"_s;
        InsertNotesFromText(g.c, false);
        const QStringList want = noCheck ? QStringList{u"a"_s, u"b"_s, u"c"_s, u"か"_s, u"R"_s, u"き"_s, u"く"_s}
                                         : QStringList{u"a"_s, u"b"_s, u"c"_s, u"か"_s, u"R"_s, u"き"_s, u"f"_s};
        EXPECT_EQ(g.lyrics(), want);
        EXPECT_EQ(g.c.s.UndoCaptions, QStringList{u"歌詞の置換え"_s});
    }

    // A text of settings only records nothing.
    EditFixture h;
    h.setNotes({u"か"_s}, {480}, {40});
    h.c.lyricEntry = u"/L8"_s;
    InsertNotesFromText(h.c, true);
    EXPECT_EQ(h.c.s.UndoPos, 0);
    EXPECT_EQ(h.c.backgrounds, 0);
}

TEST(EditCommands, InsertTonePubTakesTheQueuedLyricAndMovesOn) {
    EditFixture f;
    f.setNotes({u"か"_s, u"き"_s}, {480, 480}, {40, 40});
    f.c.setSelection(1, 1);
    f.c.lyricEntry = u" さし "_s;
    QString lyric;
    InsertTonePub(f.c, lyric, 45, 250, false);
    EXPECT_EQ(lyric, u"さ"_s);
    EXPECT_EQ(f.lyrics(), (QStringList{u"か"_s, u"さ"_s, u"き"_s}));
    EXPECT_EQ(f.c.s.Lengths.value(1), 240);  // a multiple of 120 ticks
    EXPECT_EQ(f.c.s.NoteNums.value(1), 45);
    EXPECT_EQ(f.c.lyricEntry, u"し"_s);
    EXPECT_EQ(f.c.selStart(), 2);
    EXPECT_EQ(f.c.s.UndoCaptions, QStringList{u"挿入"_s});
    ASSERT_TRUE(f.c.s.Undo());
    EXPECT_EQ(f.lyrics(), (QStringList{u"か"_s, u"き"_s}));
    EXPECT_EQ(f.c.lyricEntry, u" さし "_s);
    ASSERT_TRUE(f.c.s.Redo());
    EXPECT_EQ(f.c.lyricEntry, u"し"_s);

    // Replacing puts the chosen lyric on the note at the selection start; length 0 is the new-note length.
    f.c.setSelection(0, 0);
    QString chosen = u"ま"_s;
    InsertTonePub(f.c, chosen, 45, 0, true);
    EXPECT_EQ(f.lyrics(), (QStringList{u"ま"_s, u"さ"_s, u"き"_s}));
    EXPECT_EQ(f.c.s.UndoCaptions.back(), u"歌詞"_s);
    f.c.lyricEntry.clear();
    f.c.setSelection(3, 3);
    QString none;
    InsertTonePub(f.c, none, 45, 0, false);
    EXPECT_EQ(f.lyrics().back(), u"あ"_s);  // an empty box gives "あ"
    EXPECT_EQ(f.c.s.Lengths.back(), f.c.newLength);
}

TEST(EditCommands, SpeakScalePlaysTheToneSampleWhenThereIsOne) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(u"system/tones"_s));
    QFile wav(dir.path() + u"/system/tones/C4.wav"_s);
    ASSERT_TRUE(wav.open(QIODevice::WriteOnly));
    wav.write("RIFF");
    wav.close();
    EditFixture f;
    f.c.s.VoiceDir = dir.path();
    SpeakScale(f.c, 36);
    SpeakScale(f.c, 38);  // no "D4.wav"
    ASSERT_EQ(f.c.played.size(), 1);
    EXPECT_TRUE(f.c.played[0].endsWith(u"C4.wav"_s));
}

TEST(EditCommands, QuantiseCarriesRemovesNothingLengthsAndRefusesAUnitOfNothing) {
    EditFixture f;
    f.setNotes({u"a"_s, u"b"_s, u"c"_s}, {500, 460, 1000}, {40, 40, 40});
    for (const char16_t* a : {u"0", u"-5", u"x", u"120"}) f.ports.inputBox.answers.enqueue({true, QString::fromUtf16(a)});
    mnQuontize_Click(f.c);
    EXPECT_EQ(f.c.s.Lengths, (QList<qint32>{480, 480, 960}));
    EXPECT_EQ(f.ports.inputBox.asked.size(), 4);
    for (const InputRequest& r : f.ports.inputBox.asked) EXPECT_EQ(r.defaultText, u"120"_s);

    EditFixture g;
    g.setNotes({u"a"_s, u"b"_s, u"c"_s}, {100, 500, 470}, {40, 40, 40});
    g.ports.inputBox.answers.enqueue({true, u"120"_s});
    mnQuontize_Click(g.c);
    EXPECT_EQ(g.lyrics(), (QStringList{u"b"_s, u"c"_s}));
    EXPECT_EQ(g.c.s.Lengths, (QList<qint32>{480, 480}));  // 500 + 0 -> 480, carry 20 -> 490 -> 480
    ASSERT_TRUE(g.c.s.Undo());
    EXPECT_EQ(g.c.s.Lengths, (QList<qint32>{100, 500, 470}));

    EditFixture h;  // cancelled: nothing
    h.setNotes({u"a"_s}, {500}, {40});
    mnQuontize_Click(h.c);
    EXPECT_EQ(h.c.s.Lengths, QList<qint32>{500});
    EXPECT_EQ(h.c.s.UndoPos, 0);
}

TEST(EditCommands, MergeJoinsLyricsOfSungNotesAndDropsALeadingRest) {
    EditFixture f;
    f.setNotes({u"あ"_s, u"R"_s, u"い"_s, u"う"_s}, {480, 480, 960, 100}, {40, 41, 42, 43});
    const std::string before = f.notes();
    const QString firstExt = f.c.s.NoteExt[0];
    f.c.setSelection(2, 0);
    mnNoteMerge_Click(f.c);
    EXPECT_EQ(f.lyrics(), (QStringList{u"あい"_s, u"う"_s}));
    EXPECT_EQ(f.c.s.Lengths, (QList<qint32>{1920, 100}));
    EXPECT_EQ(f.c.s.NoteNums.value(0), 40);
    EXPECT_EQ(f.c.s.NoteExt.value(0), firstExt);
    ASSERT_TRUE(f.c.s.Undo());
    EXPECT_EQ(f.notes(), before);

    EditFixture g;
    g.setNotes({u"R"_s, u"か"_s}, {480, 480}, {40, 41});
    g.c.setSelection(0, 1);
    mnNoteMerge_Click(g.c);
    EXPECT_EQ(g.lyrics(), QStringList{u"か"_s});
}

// Merged lyrics make one lyric as a typed one is made: a backslash that meets an "n" of the next lyric
// would split the note's entries in the project file, and the joined text is cut where a lyric ends.
TEST(EditCommands, MergedLyricsFollowTheLyricRule) {
    EditFixture f;
    f.setNotes({u"A3\\"_s, u"na"_s, u"う"_s}, {480, 480, 480}, {40, 41, 42});
    f.c.setSelection(0, 1);
    mnNoteMerge_Click(f.c);
    EXPECT_EQ(f.lyrics(), (QStringList{u"A3/na"_s, u"う"_s}));

    EditFixture g;
    g.setNotes({QString(200, u'あ'), QString(200, u'い')}, {480, 480}, {40, 41});
    g.c.setSelection(0, 1);
    mnNoteMerge_Click(g.c);
    EXPECT_EQ(g.lyrics(), QStringList{QString(200, u'あ') + QString(55, u'い')});
    ASSERT_TRUE(g.c.s.Undo());
    EXPECT_EQ(g.lyrics(), (QStringList{QString(200, u'あ'), QString(200, u'い')}));
}

TEST(EditCommands, TransposeClampsAndUndoRestoresTheClampedNotesExactly) {
    EditFixture f;
    f.setNotes({u"a"_s, u"b"_s, u"c"_s}, {480, 480, 480}, {83, 40, 0});
    f.c.setSelection(0, 2);
    mnMoveUp_Click(f.c);
    EXPECT_EQ(f.c.s.NoteNums, (QList<qint32>{83, 41, 1}));
    ASSERT_TRUE(f.c.s.Undo());
    EXPECT_EQ(f.c.s.NoteNums, (QList<qint32>{83, 40, 0}));
    ASSERT_TRUE(f.c.s.Redo());
    EXPECT_EQ(f.c.s.NoteNums, (QList<qint32>{83, 41, 1}));

    f.ports.inputBox.answers.enqueue({true, u"-90"_s});
    mnMoveNote_Click(f.c);
    EXPECT_EQ(f.c.s.NoteNums, (QList<qint32>{0, 0, 0}));
    ASSERT_TRUE(f.c.s.Undo());
    EXPECT_EQ(f.c.s.NoteNums, (QList<qint32>{83, 41, 1}));

    const qint32 steps = f.c.s.UndoPos;
    f.ports.inputBox.answers.enqueue({true, u"0.4"_s});  // rounds to 0: nothing
    mnMoveNote_Click(f.c);
    EXPECT_EQ(f.c.s.UndoPos, steps);
}

TEST(EditCommands, NoteLengthAsksUntilTheLengthIsInRange) {
    EditFixture f;
    f.setNotes({u"a"_s}, {480}, {40});
    f.c.cur = 0;
    for (const char16_t* a : {u"14", u"768000", u"15"}) f.ports.inputBox.answers.enqueue({true, QString::fromUtf16(a)});
    mnNoteLength_Click(f.c);
    EXPECT_EQ(f.c.s.Lengths.value(0), 60);
    EXPECT_EQ(f.ports.inputBox.asked.value(0).defaultText, u"120"_s);
    EXPECT_EQ(f.ports.inputBox.asked.size(), 3);
}

TEST(EditCommands, RemoveRestsGivesShortRestsToTheNoteBefore) {
    EditFixture f;
    f.setNotes({u"a"_s, u"R"_s, u"b"_s, u"R"_s, u"c"_s, u"R"_s, u"R"_s}, {480, 80, 480, 81, 480, 40, 40},
               QList<qint32>(7, 40));
    f.ports.inputBox.answers.enqueue({true, u"20"_s});
    mnRemoveR_Click(f.c);
    EXPECT_EQ(f.lyrics(), (QStringList{u"a"_s, u"b"_s, u"R"_s, u"c"_s, u"R"_s}));
    EXPECT_EQ(f.c.s.Lengths, (QList<qint32>{560, 480, 81, 520, 40}));
}

TEST(EditCommands, NormalizePBWFitsThePointsIntoTheNote) {
    const struct {
        const char16_t *pbs, *pbw, *pby;
        qint32 length;
        const char16_t *wantPbs, *wantPbw, *wantPby;
    } cases[] = {
        // 500 ms of note, points ending at 540: scaled by 500 / 540
        {u"-40", u"80 200 300", u"1 2 3", 1920, u"-38", u"75 185 278", u"1 2 3"},
        // ending within the note: untouched, even with a negative start
        {u"-40;5", u"80 200", u"1 2", 1920, u"-40;5", u"80 200", u"1 2"},
        // two points that meet after scaling become one at the mean height
        {u"0", u"300 1 200", u"2 3 7", 960, u"0", u"150 100", u"2.5 7"},
        // points ending past 32,767 ms (a long note given even points) scale like any other
        {u"0", u"20000 20000", u"1 2", 1920, u"0", u"250 250", u"1 2"},
        {u"-40000", u"50000 30000 2000", u"1 2 3", 1920, u"-477", u"596 357 24", u"1 2 3"},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(QString::fromUtf16(t.pbw).toStdString());
        QString ext;
        SetNoteOption(ext, u"PBS"_s, QString::fromUtf16(t.pbs));
        SetNoteOption(ext, u"PBW"_s, QString::fromUtf16(t.pbw));
        SetNoteOption(ext, u"PBY"_s, QString::fromUtf16(t.pby));
        SetNoteOption(ext, u"PBM"_s, u"s"_s);
        ScalePitchPoints(t.length, ext, 120.0f);
        EXPECT_EQ(GetNoteOption(ext, u"PBS"_s), QString::fromUtf16(t.wantPbs));
        EXPECT_EQ(GetNoteOption(ext, u"PBW"_s), QString::fromUtf16(t.wantPbw));
        EXPECT_EQ(GetNoteOption(ext, u"PBY"_s), QString::fromUtf16(t.wantPby));
        EXPECT_EQ(GetNoteOption(ext, u"PBM"_s), u"s"_s);
    }
    QString none = u"::\t100"_s;
    ScalePitchPoints(10, none, 120.0f);
    EXPECT_EQ(none, u"::\t100"_s);
}

TEST(EditCommands, RenderWritesTheCurvesIntoEveryNoteOfTheRangeOnlyInMode2) {
    EditFixture f;
    fixtureSong(f);
    f.c.setSelection(0, 4);
    const std::string before = f.notes();
    cmdRender_Click(f.c);  // Mode2 off: nothing but the focus
    EXPECT_EQ(f.notes(), before);
    EXPECT_EQ(f.c.s.UndoPos, 0);
    EXPECT_EQ(f.c.focus, u"Picture2"_s);

    f.c.s.Mode2 = true;
    SetPitchDataField(f.c, 1, u"5 5"_s);  // a rest with stale pitch data
    const std::string withRest = f.notes();
    f.c.trace = true;
    cmdRender_Click(f.c);
    EXPECT_TRUE(f.c.s.IsModified);
    EXPECT_GT(f.c.backgrounds, 0);
    for (qint32 i = 0; i < 5; ++i) {
        EXPECT_TRUE(GetNoteOption(f.c.s.NoteExt[i], u"pitches"_s).isEmpty());
        EXPECT_TRUE(GetNoteOption(f.c.s.NoteExt[i], u"expression"_s).isEmpty());
    }
    EXPECT_FALSE(NoteExtField(f.c.s.NoteExt[0], ExtPitches).isEmpty());
    EXPECT_TRUE(NoteExtField(f.c.s.NoteExt[1], ExtPitches).isEmpty());
    ASSERT_TRUE(f.c.s.Undo());
    EXPECT_EQ(f.notes(), withRest);  // the rest's field comes back too
}

TEST(EditCommands, SetPitchDataFieldExtendsAShortExtensionString) {
    EditFixture f;
    f.setNotes({u"a"_s}, {480}, {40});
    f.c.s.NoteExt[0] = u"::\t100"_s;
    SetPitchDataField(f.c, 0, u"1 2"_s);
    EXPECT_EQ(f.c.s.NoteExt[0], u"::\t100\t\t1 2\t\t"_s);
}

TEST(EditCommands, ACommandFailingPartWayLeavesTheSongAsItWas) {
    EditFixture f;
    f.setNotes({u"a"_s, u"b"_s}, {480, 480}, {40, 41});
    f.c.setSelection(0, 1);
    const std::string before = f.notes();
    EXPECT_THROW(RunEditCommand(f.c,
                                [&] {
                                    qint32 p = 0;
                                    f.c.s.InsertNotes(p, 480, u"x"_s, 40, false);
                                    f.c.s.RemoveNotes(-1, 0, false);  // fails after the insertion
                                }),
                 std::exception);
    EXPECT_EQ(f.notes(), before);
    EXPECT_EQ(f.c.selStart(), 0);
    EXPECT_EQ(f.c.selEnd(), 1);
    EXPECT_FALSE(f.c.s.IsModified);
    EXPECT_EQ(f.c.s.UndoPos, 0);

    // A failure after the step was recorded keeps the step, which holds what changed.
    EXPECT_THROW(RunEditCommand(f.c,
                                [&] {
                                    mnMoveUp_Click(f.c);
                                    f.c.s.RemoveNotes(-1, 0, false);
                                }),
                 std::exception);
    EXPECT_EQ(f.c.s.NoteNums, (QList<qint32>{41, 42}));
    ASSERT_TRUE(f.c.s.Undo());
    EXPECT_EQ(f.notes(), before);
}

}  // namespace
