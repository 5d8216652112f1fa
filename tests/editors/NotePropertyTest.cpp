// The note property dialog's model: gathering a range into common and mixed fields, the OK checks and
// the write-back.

#include "core/Settings.h"
#include "editors/NotePropertyDialog.h"
#include "song/NoteArrays.h"
#include "song/NoteExtension.h"

#include <gtest/gtest.h>

namespace tova {
namespace {

NoteArrays makeNotes(const QList<std::tuple<const char*, qint32, qint32, const char*>>& rows) {
    NoteArrays n;
    n.resizeNotes(qint32(rows.size()));
    for (qint32 i = 0; i < rows.size(); ++i) {
        const auto& [lyric, num, len, ext] = rows.at(i);
        n.Lyrics[i] = QString::fromUtf8(lyric);
        n.NoteNums[i] = num;
        n.Lengths[i] = len;
        n.NoteExt[i] = QString::fromUtf8(ext);
    }
    return n;
}

class NotePropertyTest : public ::testing::Test {
protected:
    Settings settings;
    NotePropertyDialog open(const NoteArrays& notes, qint32 first, qint32 last) {
        NotePropertyDialog d(settings);
        d.Load(first, last, notes, [](qint32, const QString&, float& pre, float& ovl) {
            pre = 12.5f;
            ovl = 3.25f;
        });
        return d;
    }
};

TEST_F(NotePropertyTest, ASingleNoteShowsEveryFieldCommon) {
    const NoteArrays notes = makeNotes({{"か", 48, 1920, "30:10:120\t80\t5\t0Q120\tB40Ng+5xyz\tstp=12\\nenv=0 5 35 0 100 100 0"}});
    NotePropertyDialog d = open(notes, 0, 0);
    EXPECT_EQ(d.caption, QStringLiteral("音符「か」のプロパティ"));
    EXPECT_TRUE(d.cmdGenVisible);
    EXPECT_EQ(d.txtWord.text, QStringLiteral("か"));
    EXPECT_EQ(d.txtLeng.text, QStringLiteral("480"));
    EXPECT_EQ(d.cboNoteText, QStringLiteral("C5"));
    EXPECT_EQ(d.txtOffset.text, QStringLiteral("30"));
    EXPECT_EQ(d.txtOverlap.text, QStringLiteral("10"));
    EXPECT_EQ(d.txtVel.text, QStringLiteral("120"));
    EXPECT_EQ(d.txtVolume.text, QStringLiteral("80"));
    EXPECT_EQ(d.vscrlVolume, -80);
    EXPECT_EQ(d.txtModulation.text, QStringLiteral("5"));
    EXPECT_EQ(d.txtBre.text, QStringLiteral("40"));
    EXPECT_EQ(d.chkNoFilter, 1);
    EXPECT_EQ(d.txtFlags.text, QStringLiteral("g+5xyz"));
    EXPECT_EQ(d.txtSTP.text, QStringLiteral("12"));
    EXPECT_EQ(d.othersText, QStringLiteral("env=0 5 35 0 100 100 0"));
    EXPECT_TRUE(d.cmdOthersEnabled);

    // The option list is edited one entry a line with commas for blanks, and comes back unchanged.
    QString edited;
    d.cmdOthers_Click([&](QString& t) { edited = t; });
    EXPECT_EQ(edited, QStringLiteral("env=0,5,35,0,100,100,0"));
    EXPECT_EQ(d.othersText, QStringLiteral("env=0 5 35 0 100 100 0"));

    d.cmdGen_Click();
    EXPECT_EQ(d.txtOffset.text, QStringLiteral("12.5"));
    EXPECT_EQ(d.txtOverlap.text, QStringLiteral("3.25"));

    // OK unchanged writes the same note (the pitch data untouched, flags in B, N, others order).
    NoteArrays out = notes;
    d.cmdClear_Click();
    d.OKButton_Click();
    ASSERT_TRUE(d.Result);
    d.ApplyToNotes(0, 0, out);
    EXPECT_EQ(out.NoteExt[0], QStringLiteral("::120\t80\t5\t0Q120\tB40Ng+5xyz\tenv=0 5 35 0 100 100 0\\nstp=12"));
}

// A tempo change typed into the option list is held to the tempos the tempo boxes take (saved with
// two decimals, 0.001 would read back as no tempo); one inside them stays as typed.
TEST_F(NotePropertyTest, ATypedTempoChangeIsHeldToTheTempoRange) {
    const NoteArrays notes = makeNotes({{"か", 48, 1920, ""}});
    const struct {
        const char* typed;
        const char* kept;
    } cases[] = {{"tempo=0.001", "tempo=10.00"}, {"tempo=100000", "tempo=512.00"}, {"tempo=-5", "tempo=10.00"},
                 {"tempo=140", "tempo=140"}};
    for (const auto& c : cases) {
        NotePropertyDialog d = open(notes, 0, 0);
        d.cmdOthers_Click([&](QString& t) { t = QString::fromUtf8(c.typed); });
        EXPECT_EQ(d.othersText, QString::fromUtf8(c.kept)) << c.typed;
    }
}

// A tempo the note already has stays as it is when the option list is only opened and closed, though
// it lies outside the tempo boxes' range: a project file carries 4..600, and the list must not change
// a loaded tempo without the user typing it.
TEST_F(NotePropertyTest, ALoadedTempoOutsideTheBoxRangeStaysWhenTheListIsOpened) {
    for (const char* kept : {"tempo=600", "tempo=4", "tempo=520.5"}) {
        const std::string ext = std::string("\t\t\t\t\t") + kept;
        const NoteArrays notes = makeNotes({{"か", 48, 1920, ext.c_str()}});
        NotePropertyDialog d = open(notes, 0, 0);
        d.cmdOthers_Click([](QString&) {});
        EXPECT_EQ(d.othersText, QString::fromUtf8(kept));
    }
}

TEST_F(NotePropertyTest, MixedIntensitiesAreLeftAloneUntilTyped) {
    const NoteArrays notes = makeNotes({{"あ", 48, 480, "\t80\t\t\t\t"}, {"い", 48, 480, "\t90\t\t\t\t"}});
    NotePropertyDialog d = open(notes, 0, 1);
    EXPECT_EQ(d.caption, QStringLiteral("選択範囲のプロパティ"));
    EXPECT_FALSE(d.cmdGenVisible);
    EXPECT_FALSE(d.txtWord.common);
    EXPECT_TRUE(d.txtLeng.common);
    EXPECT_FALSE(d.txtVolume.common);
    EXPECT_EQ(d.txtVolume.text, QString());

    NoteArrays out = notes;
    d.OKButton_Click();
    d.ApplyToNotes(0, 1, out);
    EXPECT_EQ(NoteExtField(out.NoteExt[0], ExtIntensity), QStringLiteral("80"));
    EXPECT_EQ(NoteExtField(out.NoteExt[1], ExtIntensity), QStringLiteral("90"));
    EXPECT_EQ(out.Lyrics, notes.Lyrics);

    d.fieldChanged(d.txtVolume, QStringLiteral("70"));  // typing makes the field common
    EXPECT_TRUE(d.txtVolume.common);
    d.ApplyToNotes(0, 1, out);
    EXPECT_EQ(NoteExtField(out.NoteExt[0], ExtIntensity), QStringLiteral("70"));
    EXPECT_EQ(NoteExtField(out.NoteExt[1], ExtIntensity), QStringLiteral("70"));

    d.ToggleFieldState(d.txtVolume);  // a double-click makes it grey again
    EXPECT_FALSE(d.txtVolume.common);
    d.ToggleFieldState(d.txtVolume);
    d.fieldChanged(d.txtVolume, QString());  // common and empty: every note gets an empty intensity
    d.ApplyToNotes(0, 1, out);
    EXPECT_EQ(NoteExtField(out.NoteExt[1], ExtIntensity), QString());
}

TEST_F(NotePropertyTest, OptionListsDifferingOnlyInStpStayShared) {
    const NoteArrays notes = makeNotes({{"あ", 48, 480, "\t\t\t\t\tstp=10\\nPBW=80"}, {"い", 48, 480, "\t\t\t\t\tPBW=80\\nstp=20"},
                                        {"う", 48, 480, "\t\t\t\t\tPBW=80"}});
    NotePropertyDialog d = open(notes, 0, 2);
    EXPECT_TRUE(d.cmdOthersEnabled);
    EXPECT_FALSE(d.txtSTP.common);
    EXPECT_EQ(d.othersText, QStringLiteral("PBW=80"));
    d.othersText = QStringLiteral("PBW=60");
    NoteArrays out = notes;
    d.ApplyToNotes(0, 2, out);
    EXPECT_EQ(NoteExtField(out.NoteExt[0], ExtOptions), QStringLiteral("PBW=60\\nstp=10"));
    EXPECT_EQ(NoteExtField(out.NoteExt[1], ExtOptions), QStringLiteral("PBW=60\\nstp=20"));
    EXPECT_EQ(NoteExtField(out.NoteExt[2], ExtOptions), QStringLiteral("PBW=60"));

    // Lists that differ otherwise: each note keeps its own, a common STP still sets it on every note.
    const NoteArrays other = makeNotes({{"あ", 48, 480, "\t\t\t\t\tPBW=80"}, {"い", 48, 480, "\t\t\t\t\tPBW=90\\nstp=5"}});
    NotePropertyDialog e = open(other, 0, 1);
    EXPECT_FALSE(e.cmdOthersEnabled);
    e.fieldChanged(e.txtSTP, QStringLiteral("7"));
    NoteArrays out2 = other;
    e.ApplyToNotes(0, 1, out2);
    EXPECT_EQ(NoteExtField(out2.NoteExt[0], ExtOptions), QStringLiteral("PBW=80\\nstp=7"));
    EXPECT_EQ(NoteExtField(out2.NoteExt[1], ExtOptions), QStringLiteral("PBW=90\\nstp=7"));
}

TEST_F(NotePropertyTest, ANoteTurnedRestKeepsTempoLabelAndRegions) {
    const NoteArrays notes = makeNotes(
        {{"あ", 48, 480, "10:5:\t80\t\t0Q120\tB50\ttempo=140\\nlabel=A\\n$region=サビ\\nPBW=80\\n$end=1\\nstp=3"}});
    NotePropertyDialog d = open(notes, 0, 0);
    d.fieldChanged(d.txtWord, QStringLiteral("R"));
    NoteArrays out = notes;
    d.OKButton_Click();
    d.ApplyToNotes(0, 0, out);
    EXPECT_EQ(out.Lyrics[0], QStringLiteral("R"));
    EXPECT_EQ(out.NoteExt[0], QStringLiteral("\t\t\t\t\ttempo=140\\nlabel=A\\n$region=サビ\\n$end=1"));

    // A range holding a rest: OK keeps the rest's own options too.
    const NoteArrays range = makeNotes({{"あ", 48, 480, "\t80\t\t\t\t"}, {"R", 48, 480, "\t\t\t\t\ttempo=90\\n$r=x"}});
    NotePropertyDialog e = open(range, 0, 1);
    NoteArrays out2 = range;
    e.OKButton_Click();
    e.ApplyToNotes(0, 1, out2);
    EXPECT_EQ(out2.NoteExt[1], range.NoteExt[1]);
    EXPECT_EQ(out2.NoteExt[0], QStringLiteral("::\t80\t\t\t\t"));
}

TEST_F(NotePropertyTest, ARestFirstMakesLaterValuesMixedAndFlagsFollowTheirStates) {
    const NoteArrays notes = makeNotes({{"R", 48, 480, ""}, {"あ", 48, 480, "\t\t\t\tB30N5g+1\t"},
                                        {"い", 50, 480, "\t\t\t\tB60Ng+1\t"}});
    NotePropertyDialog d = open(notes, 0, 2);
    EXPECT_FALSE(d.txtBre.common);
    EXPECT_EQ(d.chkNoFilter, 2);
    EXPECT_FALSE(d.txtFlags.common);
    EXPECT_FALSE(d.cboNoteCommon);
    NoteArrays out = notes;
    d.ApplyToNotes(0, 2, out);  // grey states: each note keeps its own tokens
    EXPECT_EQ(NoteExtField(out.NoteExt[1], ExtFlags), QStringLiteral("B30N5g+1"));
    EXPECT_EQ(NoteExtField(out.NoteExt[2], ExtFlags), QStringLiteral("B60Ng+1"));
    EXPECT_EQ(out.NoteNums[2], 50);

    // Clicks on the grey box: unchecked, checked, grey again.
    for (int expected : {0, 1, 2, 0}) {
        d.chkNoFilter_MouseDown();
        d.chkNoFilter_Click();
        EXPECT_EQ(d.chkNoFilter, expected);
    }
    d.chkNoFilter_MouseDown();
    d.chkNoFilter_Click();  // set: N on every note
    d.fieldChanged(d.txtBre, QString());  // common and empty: the B tokens go
    d.ApplyToNotes(1, 2, out);
    EXPECT_EQ(NoteExtField(out.NoteExt[1], ExtFlags), QStringLiteral("Ng+1"));
    EXPECT_EQ(NoteExtField(out.NoteExt[2], ExtFlags), QStringLiteral("Ng+1"));
}

TEST_F(NotePropertyTest, OkChecksTheFieldsInOrder) {
    const NoteArrays notes = makeNotes({{"あ", 48, 480, ""}});
    NotePropertyDialog d = open(notes, 0, 0);
    d.fieldChanged(d.txtVolume, QStringLiteral("-5"));
    d.fieldChanged(d.txtBre, QStringLiteral("150"));
    d.OKButton_Click();
    EXPECT_FALSE(d.hidden);
    EXPECT_EQ(d.txtVolume.text, QStringLiteral("0"));
    EXPECT_EQ(d.txtBre.text, QStringLiteral("150"));
    d.OKButton_Click();
    EXPECT_FALSE(d.hidden);
    EXPECT_EQ(d.txtBre.text, QStringLiteral("100"));
    d.fieldChanged(d.txtLeng, QStringLiteral("10"));  // below 15: set and accepted in the same press
    d.fieldChanged(d.txtOffset, QStringLiteral("x"));
    d.OKButton_Click();
    EXPECT_TRUE(d.Result);
    EXPECT_EQ(d.txtLeng.text, QStringLiteral("15"));
    EXPECT_EQ(d.txtOffset.text, QString());  // not a number: emptied
}

TEST_F(NotePropertyTest, LengthsAreQuarteredAndALengthThatOverflowsIsRefused) {
    const NoteArrays notes = makeNotes({{"あ", 48, 1923, ""}});
    NotePropertyDialog d = open(notes, 0, 0);
    EXPECT_EQ(d.txtLeng.text, QStringLiteral("480"));
    d.fieldChanged(d.txtLeng, QStringLiteral("12.625"));
    d.OKButton_Click();  // 12.625 is below 15
    EXPECT_EQ(d.txtLeng.text, QStringLiteral("15"));
    NoteArrays out = notes;
    d.txtLeng.text = QStringLiteral("12.625");  // written as typed: x 4 = 50.5, halves to even
    d.ApplyToNotes(0, 0, out);
    EXPECT_EQ(out.Lengths[0], 50);

    NotePropertyDialog e = open(notes, 0, 0);
    e.fieldChanged(e.txtLeng, QStringLiteral("536870912"));  // x 4 = 2^31
    e.OKButton_Click();
    EXPECT_FALSE(e.hidden);
    EXPECT_EQ(e.txtLeng.text, QString::number(NotePropertyDialog::MaxLength));
    e.OKButton_Click();
    ASSERT_TRUE(e.Result);
    e.ApplyToNotes(0, 0, out);
    EXPECT_EQ(out.Lengths[0], 2147483644);

    // A range beyond 16-bit note indexes.
    NoteArrays many;
    many.resizeNotes(40000);
    for (qint32 i = 0; i < 40000; ++i) many.Lyrics[i] = QStringLiteral("あ");
    NotePropertyDialog f = open(many, 39998, 39999);
    f.fieldChanged(f.txtVolume, QStringLiteral("60"));
    f.ApplyToNotes(39998, 39999, many);
    EXPECT_EQ(NoteExtField(many.NoteExt[39999], ExtIntensity), QStringLiteral("60"));
    EXPECT_EQ(NoteExtField(many.NoteExt[39997], ExtIntensity), QString());
}

TEST_F(NotePropertyTest, ScrollBarsFollowTheTypedValue) {
    const NoteArrays notes = makeNotes({{"あ", 48, 480, "\t100\t\t\t\t"}});
    NotePropertyDialog d = open(notes, 0, 0);
    d.fieldChanged(d.txtVolume, QStringLiteral("05"));
    EXPECT_EQ(d.vscrlVolume, -5);
    EXPECT_EQ(d.txtVolume.text, QStringLiteral("5"));
    d.fieldChanged(d.txtVolume, QStringLiteral("5.4"));  // the bar stays: the text stays as typed
    EXPECT_EQ(d.txtVolume.text, QStringLiteral("5.4"));
    d.fieldChanged(d.txtVolume, QStringLiteral("250"));  // outside the bar
    EXPECT_EQ(d.vscrlVolume, -5);
    EXPECT_EQ(d.txtVolume.text, QStringLiteral("250"));
    d.vscrlModulation_Change(-30);
    EXPECT_EQ(d.txtModulation.text, QStringLiteral("30"));
}

TEST_F(NotePropertyTest, DetailStateIsRemembered) {
    const NoteArrays notes = makeNotes({{"あ", 48, 480, ""}});
    NotePropertyDialog d = open(notes, 0, 0);
    EXPECT_FALSE(d.detailShown);
    d.ShowDetail(true);
    EXPECT_TRUE(settings.PropExpandDetail);
    EXPECT_TRUE(open(notes, 0, 0).detailShown);
}

}  // namespace
}  // namespace tova
