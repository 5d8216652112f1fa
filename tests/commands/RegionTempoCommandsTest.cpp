// Labels and named regions, the tempo commands of the ruler and the flags-text routines.
#include "EditCommandsFixture.h"
#include "commands/ParameterTextTokens.h"
#include "commands/RegionCommands.h"
#include "commands/TempoCommands.h"
#include "song/NoteExtension.h"

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;
using namespace Qt::Literals::StringLiterals;

namespace {

QString option(const EditFixture& f, qint32 note, const QString& key) { return GetNoteOption(f.c.s.NoteExt.at(note), key); }

// Six sung notes without labels.
void plainSong(EditFixture& f) {
    f.setNotes({u"あ"_s, u"い"_s, u"う"_s, u"え"_s, u"お"_s, u"か"_s}, QList<qint32>(6, 480), QList<qint32>(6, 60));
    for (QString& ext : f.c.s.NoteExt) SetNoteOption(ext, u"label"_s, QString());
}

// Names a selection through the command, answering the input box with `name`.
void nameSelection(EditFixture& f, qint32 from, qint32 to, const QString& name) {
    f.c.setSelection(from, to);
    f.ports.inputBox.answers.enqueue({true, name});
    mnSelectRegionAdd_Click(f.c);
}

TEST(RegionCommands, TwoRegionsOnOneNoteAndSelectingEitherByName) {
    EditFixture f;
    plainSong(f);
    nameSelection(f, 1, 3, u"A"_s);
    nameSelection(f, 4, 1, u"B"_s);  // from right to left: recorded over 1..4
    EXPECT_EQ(option(f, 1, u"$region"_s), u"A|B"_s);
    EXPECT_EQ(option(f, 3, u"$region_end"_s), u"A"_s);
    EXPECT_EQ(option(f, 4, u"$region_end"_s), u"B"_s);
    EXPECT_EQ(RegionNameList(f.c.s), (QStringList{u"A"_s, u"B"_s}));
    EXPECT_EQ(f.c.s.UndoPos, 2);

    const struct {
        const char16_t* name;
        qint32 selStart, selEnd;
        bool selects;
    } cases[] = {
        {u"B", 1, 4, true},  // found although it is not the first name of the note
        {u"A", 1, 3, true},
        {u"", 0, 0, false},
        {u"C", 0, 0, false},  // a name on no note leaves a selection from right to left alone
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(QString::fromUtf16(t.name).toStdString());
        f.c.setSelection(0, 0);
        if (QString::fromUtf16(t.name) == u"C") f.c.setSelection(5, 0);
        EXPECT_EQ(SelectRegionByName(f.c, QString::fromUtf16(t.name)), t.selects);
        if (t.selects) {
            EXPECT_EQ(f.c.selStart(), t.selStart);
            EXPECT_EQ(f.c.selEnd(), t.selEnd);
        }
    }
    f.c.setSelection(1, 4);
    EXPECT_EQ(FindSelectionRegion(f.c.s, 1, 4), u"B"_s);
    EXPECT_EQ(FindSelectionRegion(f.c.s, 3, 1), u"A"_s);
    EXPECT_EQ(FindSelectionRegion(f.c.s, 1, 2), QString());
    EXPECT_EQ(FindSelectionRegion(f.c.s, 1, 6), QString());
}

// A region of one note carries both markers on that note: selecting it by name selects that note only.
TEST(RegionCommands, ARegionOfOneNoteSelectsThatNote) {
    EditFixture f;
    plainSong(f);
    nameSelection(f, 2, 2, u"one"_s);
    nameSelection(f, 1, 4, u"wide"_s);
    f.c.setSelection(0, 0);
    EXPECT_TRUE(SelectRegionByName(f.c, u"one"_s));
    EXPECT_EQ(f.c.selStart(), 2);
    EXPECT_EQ(f.c.selEnd(), 2);
    EXPECT_TRUE(SelectRegionByName(f.c, u"wide"_s));
    EXPECT_EQ(f.c.selStart(), 1);
    EXPECT_EQ(f.c.selEnd(), 4);
}

TEST(RegionCommands, ALostEndMarkerRunsToTheLastNote) {
    const struct {
        const char* what;
        qint32 selStart, selEnd;  // the selection before
    } cases[] = {
        {"no selection", 6, 6},
        {"a selection before the region", 0, 0},
        {"a selection after it", 5, 5},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.what);
        EditFixture f;
        plainSong(f);
        nameSelection(f, 2, 3, u"X"_s);
        SetNoteOption(f.c.s.NoteExt[3], u"$region_end"_s, QString());
        f.c.setSelection(t.selStart, t.selEnd);
        EXPECT_TRUE(SelectRegionByName(f.c, u"X"_s));
        EXPECT_EQ(f.c.selStart(), 2);
        EXPECT_EQ(f.c.selEnd(), 5);
    }
}

TEST(RegionCommands, NamingAsksAgainForAnEmptyOrUsedNameAndRecordsBothMarkersInOneStep) {
    EditFixture f;
    plainSong(f);
    nameSelection(f, 0, 1, u"a|b"_s);  // "|" separates names: it becomes a blank
    EXPECT_EQ(option(f, 0, u"$region"_s), u"a b"_s);
    f.c.setSelection(2, 2);
    f.ports.inputBox.answers.enqueue({true, QString()});
    f.ports.inputBox.answers.enqueue({true, u"a b"_s});
    f.ports.inputBox.answers.enqueue({true, u"c=d\\ne"_s});  // the option list's own separators too
    mnSelectRegionAdd_Click(f.c);
    ASSERT_EQ(f.ports.messageBox.shown.size(), 1);
    EXPECT_EQ(f.ports.messageBox.lastText(), u"'a b'は既に使われています。"_s);
    EXPECT_EQ(f.ports.inputBox.asked.size(), 4);
    EXPECT_EQ(f.ports.inputBox.asked.back().title, u"名前を入力"_s);
    EXPECT_EQ(f.ports.inputBox.asked.back().defaultText, u"a b"_s);  // the last typed name
    EXPECT_EQ(option(f, 2, u"$region"_s), u"c d/ne"_s);
    EXPECT_EQ(option(f, 2, u"$region_end"_s), u"c d/ne"_s);
    EXPECT_EQ(f.c.s.UndoPos, 2);
    EXPECT_EQ(f.c.s.UndoCaptions.back(), u"選択範囲を記録"_s);

    EXPECT_EQ(f.c.cache.deleted.size(), 0);  // names do not change what is rendered

    // Cancelling records nothing; undo takes both markers of a step away.
    f.c.setSelection(3, 4);
    mnSelectRegionAdd_Click(f.c);
    EXPECT_EQ(f.c.s.UndoPos, 2);
    ASSERT_TRUE(f.c.s.Undo());
    EXPECT_EQ(option(f, 2, u"$region"_s), QString());
    EXPECT_EQ(option(f, 2, u"$region_end"_s), QString());
}

TEST(RegionCommands, DeletingAName) {
    const struct {
        const char* what;
        qint32 selStart, selEnd;
        const char16_t *startAfter, *endAfter;  // of notes 1 and 3
    } cases[] = {
        {"one of two on a note", 1, 3, u"B", u""},
        {"the only name", 1, 4, u"A", u"A"},
        {"a selection that is no region", 1, 2, u"A|B", u"A"},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.what);
        EditFixture f;
        plainSong(f);
        nameSelection(f, 1, 3, u"A"_s);
        nameSelection(f, 1, 4, u"B"_s);
        const std::string named = f.notes();
        f.c.setSelection(t.selStart, t.selEnd);
        mnSelectRegionDel_Click(f.c);
        EXPECT_EQ(option(f, 1, u"$region"_s), QString::fromUtf16(t.startAfter));
        EXPECT_EQ(option(f, 3, u"$region_end"_s), QString::fromUtf16(t.endAfter));
        if (f.c.s.UndoPos == 3) {
            EXPECT_EQ(f.c.s.UndoCaptions.back(), u"範囲名を削除"_s);
            ASSERT_TRUE(f.c.s.Undo());
            EXPECT_EQ(f.notes(), named);
        }
    }
    // A region of one note: both markers on it go in one step that undo takes back whole.
    EditFixture f;
    plainSong(f);
    nameSelection(f, 2, 2, u"solo"_s);
    const std::string named = f.notes();
    f.c.setSelection(2, 2);
    mnSelectRegionDel_Click(f.c);
    EXPECT_EQ(option(f, 2, u"$region"_s) + option(f, 2, u"$region_end"_s), QString());
    ASSERT_TRUE(f.c.s.Undo());
    EXPECT_EQ(f.notes(), named);
}

TEST(RegionCommands, LabelsAndTheirRemoval) {
    EditFixture f;
    plainSong(f);
    EXPECT_TRUE(LabelList(f.c.s).isEmpty());
    SetNoteOption(f.c.s.NoteExt[1], u"label"_s, u"Aメロ"_s);
    SetNoteOption(f.c.s.NoteExt[4], u"label"_s, u"Aメロ"_s);
    SetNoteOption(f.c.s.NoteExt[2], u"label"_s, u"サビ"_s);
    EXPECT_EQ(LabelList(f.c.s), (QStringList{u"Aメロ"_s, u"サビ"_s, u"Aメロ"_s}));
    EXPECT_EQ(NotesWithLabel(f.c.s, u"Aメロ"_s), (QList<qint32>{1, 4}));
    EXPECT_TRUE(NotesWithLabel(f.c.s, QString()).isEmpty());

    for (qint32 ruler : {-1, 6}) {
        f.c.ruler = ruler;
        mnLabelDel_Click(f.c);
    }
    f.c.ruler = 3;  // a note without label
    mnLabelDel_Click(f.c);
    EXPECT_EQ(f.c.s.UndoPos, 0);
    f.c.ruler = 4;
    mnLabelDel_Click(f.c);
    EXPECT_EQ(option(f, 4, u"label"_s), QString());
    EXPECT_EQ(f.c.s.UndoCaptions, QStringList{u"ラベルの削除"_s});
}

TEST(TempoCommands, SettingAsksUntilTheTempoIsUsable) {
    const struct {
        const char* what;
        QStringList answers;  // an empty list: cancelled
        const char16_t* tempoAfter;
        const char16_t* tempoBox;
        int asked;
        int steps;
    } cases[] = {
        {"150", {u"150"_s}, u"150.00", u"150.00", 1, 1},
        {"a fraction", {u"98.7"_s}, u"98.70", u"98.70", 1, 1},
        {"0 removes", {u"0"_s}, u"", u"", 1, 1},
        {"empty removes", {QString()}, u"", u"", 1, 1},
        {"a word removes", {u"fast"_s}, u"", u"", 1, 1},
        {"out of range asked again", {u"9.99"_s, u"-120"_s, u"512.01"_s, u"512"_s}, u"512.00", u"512.00", 4, 1},
        {"10 is the least", {u"10"_s}, u"10.00", u"10.00", 1, 1},
        {"cancelled", {}, u"80", u"", 1, 0},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.what);
        EditFixture f;
        plainSong(f);
        SetNoteOption(f.c.s.NoteExt[2], u"tempo"_s, u"80"_s);
        f.c.ruler = 2;
        for (const QString& a : t.answers) f.ports.inputBox.answers.enqueue({true, a});
        mnSetTempo_Click(f.c);
        EXPECT_EQ(option(f, 2, u"tempo"_s), QString::fromUtf16(t.tempoAfter));
        EXPECT_EQ(f.c.tempoBox, QString::fromUtf16(t.tempoBox));
        ASSERT_EQ(f.ports.inputBox.asked.size(), t.asked);
        EXPECT_EQ(f.ports.inputBox.asked.at(0).title, u"テンポの設定"_s);
        EXPECT_EQ(f.ports.inputBox.asked.at(0).defaultText, u"80"_s);
        EXPECT_EQ(f.c.s.UndoPos, t.steps);
        EXPECT_EQ(f.c.cache.deleted.size(), 0);
    }
}

TEST(TempoCommands, DeletingAlwaysRecordsAStepOnARulerNote) {
    EditFixture f;
    plainSong(f);
    SetNoteOption(f.c.s.NoteExt[1], u"tempo"_s, u"90.00"_s);
    for (qint32 ruler : {-1, 6}) {  // no note under the ruler press: nothing, no failure
        f.c.ruler = ruler;
        mnTempoDel_Click(f.c);
        mnSetTempo_Click(f.c);
    }
    EXPECT_EQ(f.c.s.UndoPos, 0);
    EXPECT_TRUE(f.ports.inputBox.asked.isEmpty());
    f.c.ruler = 1;
    mnTempoDel_Click(f.c);
    EXPECT_EQ(option(f, 1, u"tempo"_s), QString());
    f.c.ruler = 0;  // no tempo change: a step whose texts are equal
    mnTempoDel_Click(f.c);
    ASSERT_EQ(f.c.s.UndoPos, 2);
    EXPECT_EQ(f.c.s.UndoTexts.at(1), f.c.s.RedoTexts.at(1));
    EXPECT_EQ(f.c.s.UndoCaptions.at(1), u"テンポ設定を削除"_s);
    ASSERT_TRUE(f.c.s.Undo());
    ASSERT_TRUE(f.c.s.Undo());
    EXPECT_EQ(option(f, 1, u"tempo"_s), u"90.00"_s);
}

TEST(ParameterTextTokens, SplitFlags) {
    const struct {
        const char16_t *flags, *b, *n, *rest;
    } cases[] = {
        {u"B40g-3N", u"B40", u"N", u"g-3"},
        {u"g5,Y20", u"", u"", u"g5Y20"},
        {u"", u"", u"", u""},
        {u"NBN", u"B0", u"N", u""},
        {u"Y0B12.5", u"B12.5", u"", u"Y0.5"},  // only the digits after "B" are taken out
        {u"B-5", u"B-5", u"", u"-5"},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(QString::fromUtf16(t.flags).toStdString());
        EXPECT_EQ(SplitFlags(QString::fromUtf16(t.flags)),
                  (QStringList{QString::fromUtf16(t.b), QString::fromUtf16(t.n), QString::fromUtf16(t.rest)}));
    }
}

TEST(ParameterTextTokens, MarkedListsAndTempoEntries) {
    EXPECT_EQ(ProcessMarkedListA(u"B50N"_s, u"*,*,g5"_s), u"B50Ng5"_s);
    EXPECT_EQ(ProcessMarkedListA(u"B50Ng2"_s, u"B20,,*"_s), u"B20g2"_s);
    EXPECT_EQ(ProcessMarkedListA(u"B50"_s, u"Ng1"_s), u"Ng1"_s);  // fewer than three entries: a flags text
    EXPECT_EQ(ProcessMarkedListB(u"B50,N,g5"_s, u"B50g5"_s), u"B50,*,g5"_s);
    EXPECT_EQ(ProcessMarkedListB(u"B50N"_s, u"B40N"_s), u"*,N,"_s);

    const struct {
        const char16_t *text, *after, *out;
    } cases[] = {
        {u"label=a\\ntempo=120.00\\nenv=1", u"label=a\\nenv=1", u"tempo=120.00"},
        {u"label=a\\ntempo=120.00", u"", u"label=a\\ntempo=120.00"},
        {u"label=a", u"label=a", u""},
    };
    for (const auto& t : cases) {
        QString text = QString::fromUtf16(t.text), out = u"old"_s;
        SplitTempoString(text, out);
        EXPECT_EQ(text, QString::fromUtf16(t.after));
        EXPECT_EQ(out, QString::fromUtf16(t.out));
    }
}

}  // namespace
