// The three tuning passes on small songs: the worked examples as golden vectors, the edge lists, and
// the per-note loops with their tempos.

#include "autotune/AutoCombine.h"
#include "autotune/AutoPitch.h"
#include "autotune/AutoVibrato.h"
#include "autotune/TuningFrame.h"
#include "autotune/TuningText.h"
#include "platform/Vb.h"
#include "song/FakeNoteTiming.h"
#include "song/NoteArrays.h"
#include "song/PitchCurves.h"
#include "song/NoteExtension.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tova {
namespace {

struct N {
    const char16_t* lyric;
    qint32 num;
    qint32 length;
    const char16_t* ext;
};

NoteArrays makeNotes(std::initializer_list<N> list) {
    NoteArrays n;
    n.resizeNotes(qint32(list.size()));
    int k = 0;
    for (const N& x : list) {
        n.Lyrics[k] = QString::fromUtf16(x.lyric);
        n.NoteNums[k] = x.num;
        n.Lengths[k] = x.length;
        n.NoteExt[k] = QString::fromUtf16(x.ext);
        ++k;
    }
    return n;
}

QStringList points(const NoteArrays& n, int i) { return NoteExtField(n.NoteExt.at(i), ExtPitches).split(u' '); }
QString option(const NoteArrays& n, int i, const char* key) { return GetNoteOption(n.NoteExt.at(i), QLatin1String(key)); }

// ---------------------------------------------------------------- vibrato

TEST(AutoVibrato, WorkedCaseWithTheDialogDefaults) {
    NoteArrays n = makeNotes({{u"あ", 48, 1920, u""}});
    test::FakeNoteTiming timing;
    ApplyAutoVibrato(120, 120, 0, n, timing, VibratoSettings{});
    const QString golden =
        "0Q120 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1 3 6 10 14 18 22 24 25 24 21 16 10 1 -8 "
        "-19 -30 -41 -50 -58 -63 -66 -65 -60 -52 -41 -26 -10 9 29 48 66 82 91 94 92 86 76 63 47 31 15 -2 -16 -29 "
        "-39 -46 -50 -52 -50 -46 -41 -33 -25 -17 -9 -2 4 9 11 13 12 11 9 6 2 0 0";
    EXPECT_EQ(NoteExtField(n.NoteExt.at(0), ExtPitches), golden);
    EXPECT_EQ(points(n, 0).size(), 98);
    EXPECT_EQ(option(n, 0, "VBR"), QStringLiteral("70 150 100 50 50 50 0 0"));
}

TEST(AutoVibrato, RestsThresholdAndShortVibratoLeaveTheNoteAlone) {
    test::FakeNoteTiming timing;
    const struct {
        const char16_t* lyric;
        qint32 length;
        bool changed;
    } cases[] = {
        {u"R", 1920, false}, {u"", 1920, false}, {u" R ", 1920, false}, {u"r", 1920, true},
        {u"あ", 1919, false}, {u"あ", 1920, true},
    };
    for (const auto& c : cases) {
        NoteArrays n = makeNotes({{c.lyric, 48, c.length, u"\t\t\t\t\tx=1"}});
        const QString before = n.NoteExt.at(0);
        ApplyAutoVibrato(120, 120, 0, n, timing, VibratoSettings{});
        EXPECT_EQ(n.NoteExt.at(0) != before, c.changed) << QString::fromUtf16(c.lyric).toStdString() << c.length;
    }
    // A long note whose vibrato part is 100 ms or less: share 20 of 500 ms.
    NoteArrays n = makeNotes({{u"あ", 48, 1920, u""}});
    VibratoSettings s;
    s.Share = 20;
    ApplyAutoVibrato(120, 120, 0, n, timing, s);
    EXPECT_EQ(n.NoteExt.at(0), QString());
}

TEST(AutoVibrato, CycleFadeOffsetAndExtraPoints) {
    test::FakeNoteTiming timing;
    {  // cycle 0 counts as 200
        NoteArrays n = makeNotes({{u"あ", 48, 1920, u""}});
        VibratoSettings s;
        s.Cycle = 0;
        ApplyAutoVibrato(120, 120, 0, n, timing, s);
        EXPECT_EQ(option(n, 0, "VBR").split(u' ').at(1), QStringLiteral("200"));
    }
    {  // vibLen 300 ms: fade 150, fields 50; vibLen 1000 ms: fade 200, fields 20
        const struct {
            qint32 ticks;
            double share;
            const char* fadeField;
        } cases[] = {{1920, 60, "50"}, {3840 * 2, 50, "20"}};
        for (const auto& c : cases) {
            NoteArrays n = makeNotes({{u"あ", 48, c.ticks, u""}});
            VibratoSettings s;
            s.Share = c.share;
            ApplyAutoVibrato(120, 120, 0, n, timing, s);
            const QStringList vbr = option(n, 0, "VBR").split(u' ');
            EXPECT_EQ(vbr.at(3), QLatin1String(c.fadeField));
            EXPECT_EQ(vbr.at(4), QLatin1String(c.fadeField));
        }
    }
    {  // offset -1: the curve swings between -2 x depth and 0
        NoteArrays n = makeNotes({{u"あ", 48, 3840, u""}});
        VibratoSettings s;
        s.UpDownRate = -10;
        ApplyAutoVibrato(120, 120, 0, n, timing, s);
        EXPECT_EQ(option(n, 0, "VBR").split(u' ').at(6), QStringLiteral("-100"));
        int low = 0, high = -1000;
        for (const QString& p : points(n, 0)) low = std::min(low, int(Vb::Val(p))), high = std::max(high, int(Vb::Val(p)));
        EXPECT_LE(low, -190);
        EXPECT_GE(low, -200);
        EXPECT_EQ(high, 0);
    }
    {  // more points than the sound: the extra ones stay; adding rides on the old values
        QString many = QStringLiteral("7");
        for (int k = 1; k < 120; ++k) many += QStringLiteral(" 7");
        NoteArrays n = makeNotes({{u"あ", 48, 1920, u""}});
        n.NoteExt[0] = QStringLiteral("\t\t\t") + many + QStringLiteral("\t\t");
        VibratoSettings s;
        s.Ride = true;
        ApplyAutoVibrato(120, 120, 0, n, timing, s);
        const QStringList p = points(n, 0);
        ASSERT_EQ(p.size(), 120);
        EXPECT_EQ(p.at(0), QStringLiteral("7Q120"));
        EXPECT_EQ(p.at(119), QStringLiteral("7"));
        EXPECT_EQ(p.at(64), QStringLiteral("101"));  // 94 + 7
    }
}

TEST(AutoVibrato, OneClickPhaseComesFromTheGenerator) {
    test::FakeNoteTiming timing;
    VibratoSettings s;
    ReadVibratoOptions({1, 1, 2}, s);
    EXPECT_EQ(s.Share, 50);
    EXPECT_EQ(s.Cycle, 170);
    EXPECT_EQ(s.Depth, 50);
    const auto run = [&](double r) {
        NoteArrays n = makeNotes({{u"あ", 48, 1920, u""}});
        s.Random = [r] { return r; };
        ApplyAutoVibrato(120, 120, 0, n, timing, s);
        return n.NoteExt.at(0);
    };
    EXPECT_EQ(run(0.25), run(0.25));
    EXPECT_NE(run(0.25), run(0.5));
    // A quarter of the way through [0, 1): the phase is a quarter cycle, 25 %.
    EXPECT_NEAR(Vb::Val(GetNoteOption(run(0.25), QStringLiteral("VBR")).split(u' ').at(5)), 25.0, 1e-9);
    // The one-click pass treats a lower-case r as sung too, and needs only half a cycle.
    NoteArrays rest = makeNotes({{u"R", 48, 1920, u""}});
    ApplyAutoVibrato(120, 120, 0, rest, timing, s);
    EXPECT_EQ(rest.NoteExt.at(0), QString());
}

// ---------------------------------------------------------------- pitch bends

// Note i has pre-utterance 120 and overlap 200, so the previous note's list runs past the bend's end
// and note i's head starts before the bend.
NoteArrays stepSong(qint32 from, qint32 to) {
    return makeNotes({{u"か", from, 1920, u""}, {u"さ", to, 1920, u"120:200:"}});
}

TEST(AutoPitch, RisingSemitoneWithTheDialogDefaults) {
    NoteArrays n = stepSong(48, 49);
    test::FakeNoteTiming timing;
    ApplyAutoPitch(120, 120, 120, 1, n, timing, BendSettings{});
    const float step = PitchStepMs(120);
    // Tail: T0 = 500 - 50 = 450; the bend reaches 100 after 550 ms, the list ends at 580 ms.
    const QStringList p = points(n, 0);
    ASSERT_EQ(p.size(), int(std::floor(580 / step + 0.5)) + 2);
    EXPECT_EQ(p.at(0), QStringLiteral("0Q120"));
    int last = 0;
    for (int j = 1; j < p.size(); ++j) {
        const float t = step * j;
        const int v = int(Vb::Val(p.at(j)));
        if (t <= 450) EXPECT_EQ(v, 0) << j;
        if (t > 550) EXPECT_EQ(v, 100) << j;
        EXPECT_GE(v, last) << j;  // rises monotonically
        last = v;
    }
    EXPECT_EQ(int(Vb::Val(p.at(96))), 51);  // 500.7 ms, just past half-way: (1 - cos(pi x 0.507)) / 2
    // Head: T1 = 120 - 50 = 70; -100 before it, arriving at 0 at 170 ms (point 33).
    const QStringList c = points(n, 1);
    ASSERT_EQ(c.size(), 34);
    EXPECT_EQ(c.at(0), QStringLiteral("-100Q120"));
    for (int j = 1; j < 14; ++j) EXPECT_EQ(c.at(j), QStringLiteral("-100")) << j;
    EXPECT_EQ(c.at(33), QStringLiteral("0"));
    EXPECT_EQ(option(n, 1, "PBS"), QStringLiteral("-50"));
    EXPECT_EQ(option(n, 1, "PBW"), QStringLiteral("100"));
}

TEST(AutoPitch, StartAndWidthGrowPerSemitoneBothWays) {
    test::FakeNoteTiming timing;
    for (qint32 to : {51, 45}) {
        NoteArrays n = stepSong(48, to);
        ApplyAutoPitch(120, 120, 120, 1, n, timing, BendSettings{});
        EXPECT_EQ(option(n, 1, "PBS"), QStringLiteral("-70")) << to;
        EXPECT_EQ(option(n, 1, "PBW"), QStringLiteral("140")) << to;
        EXPECT_EQ(points(n, 1).at(1), to > 48 ? QStringLiteral("-300") : QStringLiteral("300"));
    }
}

TEST(AutoPitch, NothingIsDrawnForEqualNotesRestsOrADisabledDirection) {
    test::FakeNoteTiming timing;
    const struct {
        const char16_t* prev;
        const char16_t* cur;
        qint32 to;
        bool oneClick;
        bool drawn;
    } cases[] = {
        {u"か", u"さ", 48, false, false}, {u"R", u"さ", 50, false, false}, {u"か", u" R ", 50, false, false},
        {u"か", u"", 50, false, false},   {u"か", u"r", 50, false, true},  {u"か", u"r", 50, true, false},
    };
    for (const auto& c : cases) {
        NoteArrays n = makeNotes({{c.prev, 48, 1920, u""}, {c.cur, c.to, 1920, u"\t\t\t5 5\t\t"}});
        BendSettings s;
        s.OneClick = c.oneClick;
        ApplyAutoPitch(120, 120, 120, 1, n, timing, s);
        EXPECT_EQ(option(n, 1, "PBS").isEmpty(), !c.drawn) << QString::fromUtf16(c.cur).toStdString();
    }
    // The reset clears note i's pitch data even where nothing is drawn.
    NoteArrays n = makeNotes({{u"か", 48, 1920, u""}, {u"さ", 48, 1920, u"\t\t\t5 5\t\t"}});
    BendSettings s;
    s.ResetFirst = true;
    ApplyAutoPitch(120, 120, 120, 1, n, timing, s);
    EXPECT_EQ(NoteExtField(n.NoteExt.at(1), ExtPitches), QString());
    s.UpEnabled = false;
    n = stepSong(48, 50);
    ApplyAutoPitch(120, 120, 120, 1, n, timing, s);
    EXPECT_EQ(option(n, 1, "PBS"), QString());
}

TEST(AutoPitch, FirstPointKeepsItsValueAndTakesTheTempo) {
    NoteArrays n = makeNotes({{u"か", 48, 1920, u"\t\t\t12Q120 3\t\t"}, {u"さ", 50, 1920, u""}});
    test::FakeNoteTiming timing;
    ApplyAutoPitch(120, 95.5f, 120, 1, n, timing, BendSettings{});
    EXPECT_EQ(points(n, 0).at(0), QStringLiteral("12Q95.5"));
    EXPECT_EQ(points(n, 0).at(1), QStringLiteral("3"));
}

TEST(AutoPitch, NoteParametersReplaceStartAndWidth) {
    test::FakeNoteTiming timing;
    NoteArrays n = makeNotes({{u"か", 48, 1920, u""}, {u"さ", 50, 1920, u"\t\t\t\t\tPBS=-40;5\\nPBW=80 60"}});
    ApplyAutoPitch(120, 120, 120, 1, n, timing, BendSettings{});
    EXPECT_EQ(option(n, 1, "PBS"), QStringLiteral("-40"));
    EXPECT_EQ(option(n, 1, "PBW"), QStringLiteral("80"));  // the first width of the list
}

TEST(AutoPitch, OneClickLimitsToTheNeighbouringNotesAndWritesModulation) {
    test::FakeNoteTiming timing;
    BendSettings s;
    ReadPitchOptions({0, 0, 3, true, true}, s);  // ゆっくり, 早い
    EXPECT_EQ(s.UpStart, -180);
    EXPECT_EQ(s.UpWidth, 180);
    s.Modulation = 30;
    // Previous note 100 ms, current note 150 ms at tempo 120.
    NoteArrays n = makeNotes({{u"か", 48, 384, u""}, {u"さ", 49, 576, u""}});
    ApplyAutoPitch(120, 120, 120, 1, n, timing, s);
    EXPECT_EQ(option(n, 1, "PBS"), QStringLiteral("-50"));
    EXPECT_EQ(option(n, 1, "PBW"), QStringLiteral("155"));
    EXPECT_EQ(NoteExtField(n.NoteExt.at(0), ExtModulation), QStringLiteral("30"));
    EXPECT_EQ(NoteExtField(n.NoteExt.at(1), ExtModulation), QStringLiteral("30"));
    // "真ん中" and "遅い" for falling bends, straight lines.
    ReadPitchOptions({1, 1, 5, false, false}, s);
    EXPECT_EQ(s.UpStart, -50);
    EXPECT_EQ(s.DownStart, 0);
    EXPECT_FALSE(s.UpCurve);
}

TEST(AutoPitch, ZeroOrNegativeWidthDrawsAStep) {
    test::FakeNoteTiming timing;
    for (double width : {0.0, -30.0}) {
        NoteArrays n = stepSong(48, 50);
        BendSettings s;
        s.UpWidth = width;
        s.UpWidthEx = 0;
        ApplyAutoPitch(120, 120, 120, 1, n, timing, s);
        EXPECT_EQ(option(n, 1, "PBW"), QStringLiteral("0"));
        for (int i : {0, 1})
            for (const QString& p : points(n, i)) {
                const int v = int(Vb::Val(p));
                EXPECT_TRUE(v == 0 || v == 200 || v == -200) << p.toStdString();
            }
    }
}

// ---------------------------------------------------------------- vowel combining

TEST(AutoCombine, WorkedJointWithTheDialogDefaults) {
    NoteArrays n = makeNotes({{u"か", 48, 1920, u"\t100\t\t\t\t"}, {u"あ", 48, 1920, u""}});
    test::FakeNoteTiming timing;
    CombineSettings s;
    ApplyAutoCombine(120, 120, 1, n, timing, s);
    const QStringList f = SplitNoteExt(n.NoteExt.at(1));
    EXPECT_EQ(f.at(ExtTiming), QStringLiteral("50:100:"));
    EXPECT_EQ(f.at(ExtIntensity), QStringLiteral("95"));
    EXPECT_EQ(option(n, 1, "env"), QStringLiteral("100 5 35 100 100 100 0"));
    EXPECT_EQ(option(n, 0, "env"), QStringLiteral("0 5 0 0 100 100 100 % 100"));
}

TEST(AutoCombine, JointEdges) {
    test::FakeNoteTiming timing;
    const struct {
        const char* name;
        const char16_t* prev;
        const char16_t* cur;
        qint32 prevTicks;
        const char16_t* curExt;
        const char16_t* prevExt;
        const char* start;
        const char* timingField;  // empty: not joined
        const char* curEnv;
        const char* prevEnv;
    } cases[] = {
        {"after a rest", u"R", u"あ", 1920, u"", u"", "-50", "", "", ""},
        {"after r", u"r", u"あ", 1920, u"", u"", "-50", "", "", ""},
        {"empty lyric joins", u"か", u"", 1920, u"", u"", "-50", "50:100:", "100 5 35 100 100 100 0", "0 5 0 0 100 100 100 % 100"},
        {"short previous note", u"か", u"あ", 120, u"", u"", "-50", "31:100:", "100 5 35 100 100 100 0", "0 5 0 0 100 100 100 % 100"},
        {"velocity 50", u"か", u"あ", 1920, u"::50", u"", "-50", "50:100:50", "141 5 35 100 100 100 0", "0 5 0 0 100 100 100 % 141"},
        {"seven-field previous envelope", u"か", u"あ", 1920, u"", u"\t\t\t\t\tenv=0 5 35 0 100 100 0", "-50", "50:100:", "100 5 35 100 100 100 0", "0 5 35 0 100 100 100  100"},
        {"commas are blanks", u"か", u"あ", 1920, u"\t\t\t\t\tenv=0,5,35,0,100,100,0", u"", "-50", "50:100:", "100 5 35 100 100 100 0", "0 5 0 0 100 100 100 % 100"},
        {"prefixed alias", u"か", u"a あ", 1920, u"", u"", "-50", "", "", ""},
    };
    for (const auto& c : cases) {
        NoteArrays n = makeNotes({{c.prev, 48, c.prevTicks, c.prevExt}, {c.cur, 48, 1920, c.curExt}});
        CombineSettings s;
        s.Start = QLatin1String(c.start);
        ApplyAutoCombine(120, 120, 1, n, timing, s);
        EXPECT_EQ(NoteExtField(n.NoteExt.at(1), ExtTiming), QLatin1String(c.timingField)) << c.name;
        EXPECT_EQ(option(n, 1, "env"), QLatin1String(c.curEnv)) << c.name;
        EXPECT_EQ(option(n, 0, "env"), QLatin1String(c.prevEnv)) << c.name;
    }
    // The first note is never joined.
    NoteArrays first = makeNotes({{u"あ", 48, 1920, u""}});
    CombineSettings s;
    ApplyAutoCombine(120, 120, 0, first, timing, s);
    EXPECT_EQ(first.NoteExt.at(0), QString());
}

TEST(AutoCombine, StartBeyondTheWidthIsHeldAndWrittenBack) {
    NoteArrays n = makeNotes({{u"か", 48, 1920, u""}, {u"あ", 48, 1920, u""}});
    test::FakeNoteTiming timing;
    CombineSettings s;
    s.Start = QStringLiteral("-150");
    ApplyAutoCombine(120, 120, 1, n, timing, s);
    EXPECT_EQ(NoteExtField(n.NoteExt.at(1), ExtTiming), QStringLiteral("100:100:"));
    EXPECT_EQ(s.Start, QStringLiteral("-100"));
}

TEST(AutoCombine, RefusedJointGetsNoOtherEnvelope) {
    NoteArrays n = makeNotes({{u"か", 48, 1920, u""}, {u"あ", 48, 1920, u""}});
    test::FakeNoteTiming timing;
    CombineSettings s;
    s.Enabled = false;
    s.EnvOther = true;
    ApplyAutoCombine(120, 120, 1, n, timing, s);
    EXPECT_EQ(n.NoteExt.at(1), QString());
}

TEST(AutoCombine, TypeOneAndOtherEnvelopes) {
    test::FakeNoteTiming timing;
    // Type 1: note "さ" with pre-utterance pre and sound length L at tempo 120 (1920 ticks = 500 ms).
    const struct {
        const char16_t* ext;
        qint32 ticks;
        const char* env;
    } type1[] = {
        {u"3::", 1920, "5 0 35 95 115 75 0"},
        {u"10::", 153, "5 5 15 95 115 75 0"},       // L 39.84, L - pre 29.8: 30 \ 2
        {u"10::", 171, "5 5 17 95 115 75 0"},       // L 44.53, L - pre 34.5: 35 \ 2
        {u"10::", 192, "5 5 35 95 115 75 0"},       // L - pre 40
    };
    for (const auto& c : type1) {
        NoteArrays n = makeNotes({{u"か", 48, 1920, u""}, {u"さ", 48, c.ticks, c.ext}});
        CombineSettings s;
        s.Env1 = true;
        ApplyAutoCombine(120, 120, 1, n, timing, s);
        EXPECT_EQ(option(n, 1, "env"), QLatin1String(c.env)) << c.ticks;
    }
    const struct {
        qint32 ticks;
        const char* p2;
    } other[] = {{1152, "70"}, {1075, "70"}, {768, "50"}};  // L 300, 280 (279.9 rounds to 280), 200
    for (const auto& c : other) {
        NoteArrays n = makeNotes({{u"か", 48, 1920, u""}, {u"ら", 48, c.ticks, u"12::"}});
        CombineSettings s;
        s.EnvOther = true;
        ApplyAutoCombine(120, 120, 1, n, timing, s);
        const QStringList env = option(n, 1, "env").split(u' ');
        EXPECT_EQ(env.at(0), QStringLiteral("12"));
        EXPECT_EQ(env.at(1), QLatin1String(c.p2)) << c.ticks;
        EXPECT_EQ(env.mid(3, 3).join(u' '), QStringLiteral("130 100 75"));
    }
}

TEST(AutoCombine, OneClickJoint) {
    test::FakeNoteTiming timing;
    OmakaseCombineSettings s;
    const bool all[6] = {true, true, true, true, true, true};
    ReadCombineOptions(all, QStringLiteral("を"), 0, s);  // しっかり
    EXPECT_EQ(s.Targets, QStringLiteral("あ,い,う,え,お,ん,を"));
    // Tempo 125: previous note 100 ms (400 ticks), vowel 120 ms (480 ticks).
    NoteArrays n = makeNotes({{u"か", 48, 400, u""}, {u"あ", 48, 480, u"\t100\t\t\t\t"}});
    ApplyOmakaseCombine(125, 125, 1, n, timing, s);
    EXPECT_EQ(NoteExtField(n.NoteExt.at(1), ExtTiming), QStringLiteral("50:135:"));
    EXPECT_EQ(NoteExtField(n.NoteExt.at(1), ExtIntensity), QStringLiteral("95"));  // 100 x 0.95 in double
    EXPECT_EQ(option(n, 1, "env"), QStringLiteral("135 0 35 100 100 100 0"));
    EXPECT_EQ(option(n, 0, "env"), QStringLiteral("0 5 0 0 100 100 100 % 135"));
    // When the next note joins too, the note keeps its intensity; an empty one becomes 100.
    NoteArrays three = makeNotes({{u"か", 48, 1920, u""}, {u"あ", 48, 1920, u""}, {u"い", 48, 1920, u""}});
    ApplyOmakaseCombine(120, 120, 1, three, timing, s);
    EXPECT_EQ(NoteExtField(three.NoteExt.at(1), ExtIntensity), QStringLiteral("100"));
    // Skipped: an empty lyric, and a vowel after "R"; joined after "r".
    for (const auto& [prev, cur, joined] : {std::tuple{u"か", u"", false}, std::tuple{u"R", u"あ", false},
                                            std::tuple{u"r", u"あ", true}}) {
        NoteArrays m = makeNotes({{prev, 48, 1920, u""}, {cur, 48, 1920, u""}});
        ApplyOmakaseCombine(120, 120, 1, m, timing, s);
        EXPECT_EQ(!m.NoteExt.at(1).isEmpty(), joined);
    }
}

// ---------------------------------------------------------------- option helpers and loops

TEST(TuningText, OptionHelpers) {
    const QString ext = QStringLiteral("\t\t\t\t\tPBS=-40;5\\nPBW=120");
    qint32 v = 7;
    GetNoteProp(ext, QStringLiteral("PBS"), v);
    EXPECT_EQ(v, -40);
    GetNoteProp(ext, QStringLiteral("PBW"), v);
    EXPECT_EQ(v, 120);
    GetNoteProp(ext, QStringLiteral("PBY"), v);
    EXPECT_EQ(v, 120);
    for (const auto& [text, expected] : {std::pair{"PBS=2.5", 2}, std::pair{"PBS=3.5", 4}}) {
        GetNoteProp(QStringLiteral("\t\t\t\t\t") + QLatin1String(text), QStringLiteral("PBS"), v);
        EXPECT_EQ(v, expected);
    }
    QString e = QStringLiteral("\t\t\t\t\tPBS=-40\\nPBW=120");
    SetNoteProp(e, QStringLiteral("PBW"), 80);
    EXPECT_EQ(NoteExtField(e, ExtOptions), QStringLiteral("PBS=-40\\nPBW=80"));
    e = QStringLiteral("a\tb\tc");
    SetNoteProp(e, QStringLiteral("PBW"), 80);
    EXPECT_EQ(e, QStringLiteral("a\tb\tc\t\t\tPBW=80"));
    QString list = QStringLiteral("label=a=b\\nenv=1 2");
    SetPropValue(list, QStringLiteral("env"), QStringLiteral("3 4"));
    EXPECT_EQ(list, QStringLiteral("label=a=b\\nenv=3 4"));
    list = QStringLiteral("env");
    EXPECT_EQ(GetPropValue(list, QStringLiteral("env")), QString());
    SetPropValue(list, QStringLiteral("env"), QString());
    EXPECT_EQ(list, QStringLiteral("env="));
}

TEST(TuningFrame, LoopsCarryTheTempos) {
    NoteArrays n = makeNotes({{u"a", 48, 1, u"\t\t\t\t\ttempo=90"}, {u"b", 48, 1, u""}, {u"c", 48, 1, u"\t\t\t\t\ttempo=0"},
                              {u"d", 48, 1, u"\t\t\t\t\ttempo=150"}});
    QStringList calls;
    RunPitchLoop(120, 0, 10, n, [&](float a, float b, float c, qint32 i) {
        calls << QStringLiteral("%1:%2,%3,%4").arg(i).arg(a).arg(b).arg(c);
    });
    // Starts at note 1 with note 0's own tempo; a tempo of 0 counts as absent.
    EXPECT_EQ(calls.join(u' '), QStringLiteral("1:120,90,90 2:90,90,90 3:90,90,150"));
    calls.clear();
    RunTwoTempoLoop(100, 1, 3, n, [&](float a, float b, qint32 i) { calls << QStringLiteral("%1:%2,%3").arg(i).arg(a).arg(b); });
    EXPECT_EQ(calls.join(u' '), QStringLiteral("1:100,100 2:100,100 3:100,150"));
    calls.clear();
    RunPitchLoop(120, 0, 0, n, [&](float, float, float, qint32 i) { calls << QString::number(i); });
    EXPECT_TRUE(calls.isEmpty());
}

TEST(TuningFrame, AFailingPassPutsTheNotesBack) {
    NoteArrays n = makeNotes({{u"a", 48, 1920, u""}, {u"b", 48, 1920, u""}, {u"c", 48, 1920, u""}});
    const NoteArrays before = n;
    EXPECT_THROW(RunRestoringOnFailure(n,
                                       [&] {
                                           RunTwoTempoLoop(120, 0, 2, n, [&](float, float, qint32 i) {
                                               if (i == 2) throw std::runtime_error("pass failed");
                                               n.NoteExt[i] = QStringLiteral("changed");
                                           });
                                       }),
                 std::runtime_error);
    EXPECT_EQ(n.NoteExt, before.NoteExt);
}

}  // namespace
}  // namespace tova
