#include "VoiceBankFixture.h"

#include "render/NoteTiming.h"

#include <gtest/gtest.h>

namespace tova::test {
namespace {

class NoteTimingTest : public VoiceBankFixture {
protected:
    void SetUp() override {
        VoiceBankFixture::SetUp();
        // "あ": pre-utterance 50, overlap 20; no prefix map.
        put(u"bank/oto.ini"_qs, "a.wav=\x82\xa0,10,60,-100,50,20\r\n");
        LoadOtoIni(file(u"bank"_qs));
        ASSERT_EQ(LoadPrefixMap(file(u"bank"_qs)), 0);
    }
};

TEST_F(NoteTimingTest, GetNoteOtoTimingTable) {
    const struct {
        const char16_t* ext;
        const char16_t* lyric;
        float pre, ovl, factor;
    } cases[] = {
        {u"100:50:0\t100\t0\t\t\t", u"R", 0, 0, 1},      // a rest, whatever its own values
        {u"100:50:0", u" r ", 0, 0, 1},
        {u"", u"", 0, 0, 1},
        {u"", u"あ", 50, 20, 1},                           // all from the oto record
        {u"::\t100", u"あ", 50, 20, 1},
        {u"80::\t100", u"あ", 80, 20, 1},                  // own pre-utterance, overlap from the record
        {u":5:", u"あ", 50, 5, 1},
        {u"::0", u"あ", 100, 40, 2},                       // velocity 0: factor 2
        {u"::200", u"あ", 25, 10, 0.5f},
        {u"80::0", u"あ", 160, 40, 2},                     // own value scaled too
        {u"::", u"ぬ", 0, 0, 1},                           // no record, no own values
        {u"30:10:", u"ぬ", 30, 10, 1},
        {u"abc:x5:50", u"あ", 0, 0, 1.41421354f},          // texts read as their leading number
    };
    for (const auto& c : cases) {
        float pre = -7, ovl = -7;
        const float factor = GetNoteOtoTiming(QString::fromUtf16(c.ext), 36, QString::fromUtf16(c.lyric), pre, ovl);
        const std::string what = QString::fromUtf16(c.ext).toStdString() + " / " + QString::fromUtf16(c.lyric).toStdString();
        EXPECT_FLOAT_EQ(pre, c.pre) << what;
        EXPECT_FLOAT_EQ(ovl, c.ovl) << what;
        EXPECT_FLOAT_EQ(factor, c.factor) << what;
    }
}

TEST_F(NoteTimingTest, AdjustPreutteranceTable) {
    const struct {
        float prevLength, pre, ovl;
        bool prevIsRest;
        float newPre, newOvl, reduction;
    } cases[] = {
        {100, 100, 20, false, 62.5f, 12.5f, 37.5f},  // limit 50, r = 0.625
        {100, 100, 20, true, 100, 20, 0},            // a rest leaves the whole length
        {100, 70, 20, false, 70, 20, 0},             // d equal to the limit
        {100, 20, 70, false, 20, 70, 0},             // overlap beyond the pre-utterance
        {0, 30, 10, true, 0, 0, 30},                 // no room at all
    };
    for (const auto& c : cases) {
        float pre = c.pre, ovl = c.ovl, shift = 5;
        const float reduction = AdjustPreutterance(c.prevLength, pre, ovl, shift, c.prevIsRest);
        EXPECT_FLOAT_EQ(pre, c.newPre);
        EXPECT_FLOAT_EQ(ovl, c.newOvl);
        EXPECT_FLOAT_EQ(reduction, c.reduction);
        EXPECT_FLOAT_EQ(shift, 5 + c.reduction);
    }
}

TEST_F(NoteTimingTest, GetNoteStartTimeShrinksToThePreviousNote) {
    NoteArrays notes;
    notes.resizeNotes(5);
    // Previous note: 240 ticks in the file = 960 internal; at tempo 120 that is 250 ms.
    notes.Lengths = {960, 960, 960, 960, 960};
    notes.Lyrics = {u"あ"_qs, u"か"_qs, u"R"_qs, u"か"_qs, u"R"_qs};
    notes.NoteNums = {36, 36, 36, 36, 36};
    notes.NoteExt = {u""_qs, u"150:20:\t\t\t\t\tstp=0"_qs, u"\t\t\t\t\tstp=12"_qs, u"150:20:\t\t\t\t\tstp=3"_qs,
                     u"50:0:0\t\t\t\t\tstp=4"_qs};

    float pre = -1, ovl = -1, stp = -1, factor = -1;
    // i = 0 is never shortened.
    EXPECT_FLOAT_EQ(GetNoteStartTime(120, notes, 0, pre, ovl, stp, &factor), 0);
    EXPECT_FLOAT_EQ(pre, 50);
    EXPECT_FLOAT_EQ(ovl, 20);
    EXPECT_FLOAT_EQ(stp, 0);
    EXPECT_FLOAT_EQ(factor, 1);

    // The worked example: pre - ovl = 130 > 125.
    const float cut = GetNoteStartTime(120, notes, 1, pre, ovl, stp);
    EXPECT_NEAR(pre, 144.2308f, 1e-3);
    EXPECT_NEAR(ovl, 19.2308f, 1e-3);
    EXPECT_NEAR(stp, 5.7692f, 1e-3);
    EXPECT_NEAR(cut, 5.7692f, 1e-3);
    EXPECT_NEAR(pre - ovl, 125.0f, 1e-3);

    // A rest at i: no timing, its own start point.
    EXPECT_FLOAT_EQ(GetNoteStartTime(120, notes, 2, pre, ovl, stp), 0);
    EXPECT_FLOAT_EQ(pre, 0);
    EXPECT_FLOAT_EQ(ovl, 0);
    EXPECT_FLOAT_EQ(stp, 12);

    // The same note after a rest of the same length keeps its values (130 is not above 250).
    EXPECT_FLOAT_EQ(GetNoteStartTime(120, notes, 3, pre, ovl, stp), 0);
    EXPECT_FLOAT_EQ(pre, 150);
    EXPECT_FLOAT_EQ(ovl, 20);
    EXPECT_FLOAT_EQ(stp, 3);

    // Velocity 0 doubles pre-utterance, overlap and start point; 100 fits in half of the sung note 3.
    EXPECT_FLOAT_EQ(GetNoteStartTime(120, notes, 4, pre, ovl, stp, &factor), 0);
    EXPECT_FLOAT_EQ(factor, 1);  // note 4 is a rest
    notes.Lyrics[4] = u"あ"_qs;
    EXPECT_FLOAT_EQ(GetNoteStartTime(120, notes, 4, pre, ovl, stp, &factor), 0);
    EXPECT_FLOAT_EQ(factor, 2);
    EXPECT_FLOAT_EQ(pre, 100);
    EXPECT_FLOAT_EQ(ovl, 0);
    EXPECT_FLOAT_EQ(stp, 8);
    // At a faster tempo the sung note before leaves less room: 960 ticks at 240 = 125 ms, room 62.5.
    EXPECT_FLOAT_EQ(GetNoteStartTime(240, notes, 4, pre, ovl, stp), 37.5f);
    EXPECT_FLOAT_EQ(pre, 62.5f);
    EXPECT_FLOAT_EQ(stp, 8 + 37.5f);

    // Pre-utterance not above the overlap is never shortened.
    notes.NoteExt[1] = u"20:20:"_qs;
    EXPECT_FLOAT_EQ(GetNoteStartTime(1000, notes, 1, pre, ovl, stp), 0);
    EXPECT_FLOAT_EQ(pre, 20);
}

}  // namespace
}  // namespace tova::test
