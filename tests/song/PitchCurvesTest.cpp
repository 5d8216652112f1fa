#include "song/PitchCurves.h"

#include "FakeNoteTiming.h"
#include "platform/Vb.h"
#include "song/NoteExtension.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tova;
using namespace Qt::Literals::StringLiterals;

namespace {

// An extension string with the timing field "pre:ovl:vel" and an option list ("a=1\\nb=2").
QString ext(const QString& timing, const QString& options = QString()) {
    return timing + u"\t100\t0\t\t\t"_s + options;
}

void addNote(NoteArrays& notes, const QString& lyric, qint32 ticks, qint32 noteNum, const QString& extension) {
    if (notes.Lyrics.isEmpty()) {
        notes.Lyrics = {lyric};
        notes.Lengths = {ticks};
        notes.NoteNums = {noteNum};
        notes.NoteExt = {extension};
        return;
    }
    notes.Lyrics << lyric;
    notes.Lengths << ticks;
    notes.NoteNums << noteNum;
    notes.NoteExt << extension;
}

QStringList pitchesOf(const NoteArrays& notes, qint32 i) {
    const QString p = GetNoteOption(notes.NoteExt.at(i), u"pitches"_s);
    return p.isEmpty() ? QStringList() : p.split(u' ');
}

double num(const QString& entry) { return Vb::Val(entry); }

const float kPi = float(4.0 * std::atan(1.0));

// At tempo 62.5 the sampling step is 441 samples, exactly 10 ms, and a 1920-tick note lasts 960 ms.
constexpr float kTempo10 = 62.5f;

TEST(PitchCurves, SamplingStepIsAWholeNumberOfSamples) {
    // A tempo no song can have (from a damaged file) still gives a step of one sample, never zero.
    const struct { float tempo; int samples; } cases[] = {{120, 230}, {100, 276}, {62.5f, 441}, {240, 115}, {1e6f, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tempo);
        EXPECT_EQ(PitchStepMs(c.tempo), float(c.samples / 44100.0 * 1000.0));
    }
    EXPECT_NEAR(PitchStepMs(120), 5.2154, 1e-4);
}

// A note two semitones above its sung predecessor, PBS -40, one segment of 80 ms, pre-utterance 50.
TEST(PitchCurves, TwoSemitoneRiseFollowsTheDefaultCurve) {
    NoteArrays notes;
    addNote(notes, u"a"_s, 1920, 40, ext(u"50:0:100"_s));
    addNote(notes, u"a"_s, 1920, 42, ext(u"50:0:100"_s, u"PBS=-40\\nPBW=80"_s));
    test::FakeNoteTiming timing;

    const QStringList list = MakeMode2Pitches(120, 120, 120, 1, notes, timing);
    EXPECT_EQ(pitchesOf(notes, 1), list);

    const float step = PitchStepMs(120);
    const double total = 500 + 0 + 50;  // length + start point + pre-utterance; last note: nothing follows
    ASSERT_EQ(list.size(), qsizetype(std::floor(total / step + 0.5)) + 2);
    EXPECT_EQ(list.at(0), u"-200Q120"_s);
    int rising = 0, after = 0;
    for (qsizetype k = 1; k < list.size(); ++k) {
        const double t = double(step) * double(k);
        SCOPED_TRACE(t);
        if (t < 10) {
            EXPECT_EQ(list.at(k), u"-200"_s);
        } else if (t <= 90) {
            const double expected = std::floor(-200 + 200 * (1 - std::cos(double(kPi) * (t - 10) / 80)) / 2);
            EXPECT_EQ(list.at(k), Vb::DoubleText(expected));
            ++rising;
        } else {
            EXPECT_EQ(list.at(k), QString());  // the own curve writes nothing after its end
            ++after;
        }
    }
    EXPECT_EQ(rising, 16);  // 10..90 ms in 5.2154 ms steps
    EXPECT_GT(after, 80);
    // Pre-utterance of this note with the previous tempo, of the previous note with the one before.
    EXPECT_TRUE(timing.startTimeCalls.contains(qMakePair(qint32(1), 120.0f)));
    EXPECT_TRUE(timing.startTimeCalls.contains(qMakePair(qint32(0), 120.0f)));
}

TEST(PitchCurves, StartHeightDependsOnThePreviousNote) {
    const struct {
        const char16_t* what;
        const char16_t* prevLyric;  // nullptr: the note is the first of the song
        const char16_t* pbs;
        const char16_t* first;
    } cases[] = {
        {u"after a rest, curve starting before the pre-utterance", u"R", u"-40;5", u"50Q62.5"},
        {u"after a rest, curve starting after the pre-utterance", u"R", u"60;5", u"0Q62.5"},
        {u"after a rest, without y", u" r ", u"-40", u"0Q62.5"},
        {u"after a sung note a fifth higher", u"a", u"-40;5", u"700Q62.5"},
        {u"first note of the song", nullptr, u"-40;5", u"0Q62.5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.what).toStdString());
        NoteArrays notes;
        if (c.prevLyric) addNote(notes, QString::fromUtf16(c.prevLyric), 960, 47, ext(u"30:10:"_s));
        const QString own = ext(u"50:0:"_s, u"PBS="_s + QString::fromUtf16(c.pbs) + u"\\nPBW=80"_s);
        addNote(notes, u"a"_s, 960, 40, own);
        test::FakeNoteTiming timing;
        const QStringList list = MakeMode2Pitches(kTempo10, kTempo10, kTempo10, notes.lastNote(), notes, timing);
        ASSERT_FALSE(list.isEmpty());
        EXPECT_EQ(list.at(0), QString::fromUtf16(c.first));
    }
}

TEST(PitchCurves, SegmentShapesAtTheMidpoint) {
    // The curve starts at t = 0 (PBS -50 against a pre-utterance of 50) and rises to 1000 cents over
    // 100 ms: its midpoint is entry 5.
    // pi is a single-precision value, so the curves using it stop a hair short of (or beyond) their end.
    const struct { const char16_t* shape; const char16_t* middle; const char16_t* end; } cases[] = {
        {u"s", u"500", u"1000"}, {u"r", u"707", u"999"}, {u"j", u"292", u"1000"},
        {u"", u"500", u"999"},   {u"x", u"500", u"999"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.shape).toStdString());
        NoteArrays notes;
        addNote(notes, u"a"_s, 1920, 40,
                ext(u"50:0:"_s, u"PBS=-50\\nPBW=100\\nPBY=100\\nPBM="_s + QString::fromUtf16(c.shape)));
        test::FakeNoteTiming timing;
        const QStringList list = MakeMode2Pitches(kTempo10, kTempo10, kTempo10, 0, notes, timing);
        EXPECT_EQ(list.at(0), u"0Q62.5"_s);
        EXPECT_EQ(list.at(5), QString::fromUtf16(c.middle));
        EXPECT_EQ(list.at(10), QString::fromUtf16(c.end));
        EXPECT_EQ(list.at(11), QString());
    }
}

TEST(PitchCurves, PreviousNoteCurveIsAddedWhereItReaches) {
    // The previous note (960 ms) has its rise from 50 to 100 cents placed from -60 to 140 ms on this
    // note's axis; with two segments the first one (ending before t = 0) is skipped.
    const struct { const char16_t* options; double a, b; } cases[] = {
        {u"PBS=900\\nPBW=200\\nPBY=10\\nPBM=s", 0, 100},
        {u"PBS=850\\nPBW=50 200\\nPBY=5 10\\nPBM=s s", 50, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.options).toStdString());
        NoteArrays notes;
        addNote(notes, u"a"_s, 1920, 40, ext(u"0:0:"_s, QString::fromUtf16(c.options)));
        addNote(notes, u"i"_s, 1920, 41, ext(u"0:0:"_s));
        test::FakeNoteTiming timing;
        const QStringList list = MakeMode2Pitches(kTempo10, kTempo10, kTempo10, 1, notes, timing);
        ASSERT_EQ(list.size(), 98);  // 960 ms: entries 0 to Int(96 + 0.5) + 1
        for (int k = 0; k <= 14; ++k) {
            const double t = 10.0 * k;
            const double expected = std::floor(c.a + (c.b - c.a) * (t + 60) / 200);
            EXPECT_EQ(num(list.at(k)), expected) << k;
        }
        EXPECT_EQ(list.at(0), Vb::DoubleText(std::floor(c.a + (c.b - c.a) * 0.3)) + u"Q62.5"_s);
        EXPECT_EQ(list.at(15), QString());
        EXPECT_EQ(list.at(97), QString());
    }
}

TEST(PitchCurves, NextNoteCurveLeadsToTheNextPitch) {
    // Note 0 (960 ms) is followed by a note five semitones higher whose curve starts 20 ms before it and
    // rises over 10 ms; its pre-utterance 30 and overlap 10 shorten note 0's list by 20 ms.
    NoteArrays notes;
    addNote(notes, u"a"_s, 1920, 40, ext(u"0:0:"_s));
    addNote(notes, u"i"_s, 1920, 45, ext(u"30:10:"_s, u"PBS=-20\\nPBW=10\\nPBY=0\\nPBM=s"_s));
    test::FakeNoteTiming timing;
    const QStringList list = MakeMode2Pitches(kTempo10, kTempo10, kTempo10, 0, notes, timing);
    // total = 960 - 30 + 10 = 940: entries 0 to Int(94 + 0.5) + 1.
    ASSERT_EQ(list.size(), 96);
    EXPECT_EQ(list.at(0), u"0Q62.5"_s);
    EXPECT_EQ(list.at(93), QString());     // 930 ms: before the next curve (940 ms)
    EXPECT_EQ(list.at(94), u"0"_s);        // 940 ms: its start, 0 cents
    EXPECT_EQ(list.at(95), u"500"_s);      // 950 ms: its end, the next pitch
    // A longer list (a rest after the next note does not change this note) keeps the full interval.
    NoteArrays longer = notes;
    longer.NoteExt[1] = ext(u"30:10:"_s, u"PBS=-200\\nPBW=10\\nPBY=0\\nPBM=s"_s);
    const QStringList l2 = MakeMode2Pitches(kTempo10, kTempo10, kTempo10, 0, longer, timing);
    for (int k = 78; k < 96; ++k) EXPECT_EQ(l2.at(k), u"500"_s) << k;

    // Followed by a rest: nothing follows, the list ends with the note.
    NoteArrays beforeRest;
    addNote(beforeRest, u"a"_s, 1920, 40, ext(u"0:0:"_s));
    addNote(beforeRest, u"R"_s, 1920, 45, ext(u"30:10:"_s, u"PBS=-20\\nPBW=10"_s));
    const QStringList l3 = MakeMode2Pitches(kTempo10, kTempo10, kTempo10, 0, beforeRest, timing);
    EXPECT_EQ(l3.size(), 98);
    EXPECT_EQ(l3.at(97), QString());
}

TEST(PitchCurves, RestsAndMissingPointsGiveNothingOrStartHeights) {
    NoteArrays notes;
    addNote(notes, u"a"_s, 1920, 40, ext(u"0:0:"_s));
    addNote(notes, u"R"_s, 1920, 40, ext(u"0:0:"_s, u"pitches=1 2 3"_s));
    addNote(notes, u"a"_s, 1920, 40, ext(u"0:0:"_s));
    test::FakeNoteTiming timing;
    EXPECT_TRUE(MakeMode2Pitches(kTempo10, kTempo10, kTempo10, 1, notes, timing).isEmpty());
    EXPECT_EQ(GetNoteOption(notes.NoteExt.at(1), u"pitches"_s), u"1 2 3"_s);  // left alone

    // No points: the own curve writes nothing after its start; the list is all zeros and blanks.
    const QStringList list = MakeMode2Pitches(kTempo10, kTempo10, kTempo10, 2, notes, timing);
    ASSERT_EQ(list.size(), 98);
    EXPECT_EQ(list.at(0), u"0Q62.5"_s);
    for (int k = 1; k < 98; ++k) EXPECT_EQ(list.at(k), QString());
}

// ---- vibrato ----

// The vibrato of the Part's reference, written out: the value at t of a VBR on a note.
double referenceVibrato(double t, double vibStart, double noteEnd, double fi, double fo, double depth, double cycle,
                        double phasePercent, double heightPercent) {
    const double pi = 4 * std::atan(1.0);
    double g = 1;
    if (t < vibStart + fi)
        g = (t - vibStart) / fi;
    else if (t >= noteEnd - fo)
        g = (noteEnd - t) / fo;
    return (std::sin(2 * pi / cycle * (t - vibStart) - phasePercent * 2 * pi / 100) + heightPercent / 100) * depth * g;
}

TEST(PitchVibrato, DefaultVibratoOnAFiveHundredMillisecondNote) {
    // "65,180,35,20,20,0,0,0": V = 325 ms starting 175 ms after the note's start (pre-utterance 50);
    // fades of 65 ms; depth 35 cents; cycle 180 ms; no expression.
    NoteArrays notes;
    addNote(notes, u"a"_s, 1920, 40, ext(u"50:0:"_s, u"expression=9 9"_s));
    SetNoteOption(notes.NoteExt[0], u"VBR"_s, u"65,180,35,20,20,0,0,0"_s);  // typed with commas
    EXPECT_EQ(GetNoteOption(notes.NoteExt.at(0), u"VBR"_s), u"65 180 35 20 20 0 0 0"_s);
    test::FakeNoteTiming timing;
    MakeMode2Pitches(120, 120, 120, 0, notes, timing);
    const QStringList before = pitchesOf(notes, 0);
    ApplyPitchAndVibrato(120, 120, 0, notes, timing, VibratoMode::ThisOnly);
    const QStringList after = pitchesOf(notes, 0);
    EXPECT_EQ(GetNoteOption(notes.NoteExt.at(0), u"expression"_s), QString());

    const double step = PitchStepMs(120);
    const double vibStart = 175 + 50, noteEnd = 550;
    ASSERT_EQ(after.size(), before.size());
    int inside = 0;
    for (qsizetype j = 0; j < after.size(); ++j) {
        const double t = step * double(j);
        SCOPED_TRACE(t);
        double expected = num(before.at(j));
        if (vibStart <= t && t <= noteEnd) {
            expected = std::floor(expected + referenceVibrato(t, vibStart, noteEnd, 65, 65, 35, 180, 0, 0) + 0.5);
            ++inside;
        }
        EXPECT_EQ(num(after.at(j)), expected);
        if (j > 0) EXPECT_FALSE(after.at(j).isEmpty());
    }
    EXPECT_EQ(inside, 62);  // entries 44 (229.5 ms) to 105 (547.6 ms)
    EXPECT_TRUE(after.at(0).endsWith(u"Q120"_s));
    // Hand-checked points: entry 50 (260.77 ms) is in the fade-in, g = 35.77 / 65: 18.27; entry 56
    // (292.06 ms) is past it: sin(2 pi 67.06 / 180) x 35 = 25.12; entry 70 (365.08 ms): -34.45; entry
    // 105 (547.62 ms) is in the fade-out, g = 2.38 / 65: -1.24.
    EXPECT_EQ(after.at(44), u"0"_s);
    EXPECT_EQ(after.at(50), u"18"_s);
    EXPECT_EQ(after.at(56), u"25"_s);
    EXPECT_EQ(after.at(70), u"-34"_s);
    EXPECT_EQ(after.at(105), u"-1"_s);
}

// A two-note song: note 0 (500 ms at tempo 120, pre 50) with a vibrato; note 1 with pre 40, ovl 10, whose
// lead-in (40 ms, 8 entries) lies inside note 0's vibrato.
NoteArrays vibratoPair(const QString& vbr) {
    NoteArrays notes;
    addNote(notes, u"a"_s, 1920, 40, ext(u"50:0:"_s, u"VBR="_s + vbr));
    addNote(notes, u"i"_s, 1920, 42, ext(u"40:10:"_s));
    return notes;
}

TEST(PitchVibrato, ModesDecideWhichListsChange) {
    test::FakeNoteTiming timing;
    const QString vbr = u"65 180 35 20 20 25 10 50"_s;
    const struct {
        const char16_t* mode;
        bool own, next, adding;
    } cases[] = {
        {u"", true, true, false}, {u"other", true, true, false}, {u"Override", true, true, true},
        {u"ThisOnly", true, false, true}, {u"NextOnly", false, true, true},
    };
    for (const auto& c : cases) {
        const QString mode = QString::fromUtf16(c.mode);
        SCOPED_TRACE(mode.toStdString());
        NoteArrays notes = vibratoPair(vbr);
        SetNoteOption(notes.NoteExt[0], u"pitches"_s, u"7Q120 7 7"_s);
        SetNoteOption(notes.NoteExt[1], u"pitches"_s, u"3Q120 3 3"_s);
        const QString ownBefore = GetNoteOption(notes.NoteExt.at(0), u"pitches"_s);
        const QString nextBefore = GetNoteOption(notes.NoteExt.at(1), u"pitches"_s);
        ApplyPitchAndVibrato(120, 120, 0, notes, timing, mode);
        const QStringList own = pitchesOf(notes, 0), next = pitchesOf(notes, 1);

        const double step = PitchStepMs(120), vibStart = 225, noteEnd = 550;
        if (c.own) {
            // total = 500 + 50 - 40 + 10 = 520: entries to Ceiling(520 / step) = 100.
            ASSERT_EQ(own.size(), 101);
            EXPECT_EQ(own.at(0), u"7Q120"_s);
            EXPECT_EQ(own.at(2), u"7"_s);
            EXPECT_EQ(own.at(3), u"0"_s);  // extended entries outside the vibrato become 0
            for (qsizetype j = 44; j < own.size(); ++j) {
                const double t = step * double(j);
                const double v = referenceVibrato(t, vibStart, noteEnd, 65, 65, 35, 180, 25, 10);
                EXPECT_EQ(num(own.at(j)), std::floor(v + 0.5)) << j;
            }
            const QStringList expr = GetNoteOption(notes.NoteExt.at(0), u"expression"_s).split(u' ');
            ASSERT_EQ(expr.size(), own.size());
            const double t = step * 60;
            EXPECT_EQ(num(expr.at(60)),
                      std::floor(referenceVibrato(t, vibStart, noteEnd, 65, 65, 35, 180, 25, 10) * 1.0 + 0.5));
            EXPECT_EQ(expr.at(0), u"0"_s);
        } else {
            EXPECT_EQ(GetNoteOption(notes.NoteExt.at(0), u"pitches"_s), ownBefore);
        }
        if (c.next) {
            // Lead-in: Ceiling((40 + 0) / step) = 8 entries after entry 0; entry j lies at 510 + j x step.
            ASSERT_EQ(next.size(), 9);
            EXPECT_TRUE(next.at(0).endsWith(u"Q120"_s));
            for (int j = 0; j < 9; ++j) {
                const double t = step * j + noteEnd - 40;
                const double v = referenceVibrato(t, vibStart, noteEnd, 65, 65, 35, 180, 25, 10);
                const double base = j <= 2 && c.adding ? 3 : 0;
                EXPECT_EQ(num(next.at(j)), std::floor(base + v + 0.5)) << j;
            }
        } else {
            EXPECT_EQ(GetNoteOption(notes.NoteExt.at(1), u"pitches"_s), nextBefore);
        }
    }
}

TEST(PitchVibrato, FieldRulesAndLimits) {
    test::FakeNoteTiming timing;
    auto run = [&](const QString& vbr, const QString& mode = QString()) {
        NoteArrays notes = vibratoPair(vbr);
        ApplyPitchAndVibrato(120, 120, 0, notes, timing, mode);
        return notes;
    };
    auto opt = [](const NoteArrays& n, qint32 i, const char16_t* key) {
        return GetNoteOption(n.NoteExt.at(i), QString::fromUtf16(key));
    };

    // A cycle of 0 behaves as 200 ms.
    EXPECT_EQ(opt(run(u"65 0 35 20 20 0 0 0"_s), 0, u"pitches"),
              opt(run(u"65 200 35 20 20 0 0 0"_s), 0, u"pitches"));
    EXPECT_NE(opt(run(u"65 0 35 20 20 0 0 0"_s), 0, u"pitches"),
              opt(run(u"65 180 35 20 20 0 0 0"_s), 0, u"pitches"));
    // The expression depth is 0.02 per unit, held within -2..2.
    EXPECT_EQ(opt(run(u"65 180 35 20 20 0 0 100"_s), 0, u"expression"),
              opt(run(u"65 180 35 20 20 0 0 400"_s), 0, u"expression"));
    EXPECT_EQ(opt(run(u"65 180 35 20 20 0 0 -100"_s), 0, u"expression"),
              opt(run(u"65 180 35 20 20 0 0 -900"_s), 0, u"expression"));
    EXPECT_NE(opt(run(u"65 180 35 20 20 0 0 50"_s), 0, u"expression"),
              opt(run(u"65 180 35 20 20 0 0 100"_s), 0, u"expression"));
    // Seven fields are enough; six are not.
    EXPECT_FALSE(opt(run(u"65 180 35 20 20 0 0"_s), 0, u"pitches").isEmpty());
    EXPECT_EQ(opt(run(u"65 180 35 20 20 0"_s), 0, u"pitches"), QString());
    EXPECT_EQ(opt(run(u"65 180 35 20 20 0"_s), 1, u"pitches"), QString());

    // A vibrato of 50 ms or less leaves the note alone but still reaches into the next lead-in: 10% of
    // 500 ms starts at 500 ms on the note's axis (pre 50), inside the lead-in from 510 ms.
    const NoteArrays shortVib = run(u"10 180 35 20 20 0 0 0"_s);
    EXPECT_EQ(opt(shortVib, 0, u"pitches"), QString());
    const QStringList lead = opt(shortVib, 1, u"pitches").split(u' ');
    ASSERT_EQ(lead.size(), 9);
    EXPECT_NE(lead.at(3), u"0"_s);  // inside the vibrato, faded in over 10 ms

    // Reset: zeros everywhere, no expression.
    NoteArrays reset = vibratoPair(u"65 180 35 20 20 0 0 100"_s);
    SetNoteOption(reset.NoteExt[0], u"pitches"_s, u"7Q120 7 7"_s);
    SetNoteOption(reset.NoteExt[0], u"expression"_s, u"1 2 3"_s);
    ApplyPitchAndVibrato(120, 120, 0, reset, timing, VibratoMode::Reset);
    const QStringList zeros = opt(reset, 0, u"pitches").split(u' ');
    EXPECT_EQ(zeros.at(0), u"0Q120"_s);
    EXPECT_EQ(zeros.count(u"0"_s), zeros.size() - 1);
    EXPECT_EQ(opt(reset, 0, u"expression"), QString());
    EXPECT_EQ(opt(reset, 1, u"pitches"), u"0Q120 0 0 0 0 0 0 0 0"_s);

    // The last note carries nothing over; a rest changes nothing.
    NoteArrays single;
    addNote(single, u"a"_s, 1920, 40, ext(u"50:0:"_s, u"VBR=65 180 35 20 20 0 0 0"_s));
    ApplyPitchAndVibrato(120, 120, 0, single, timing);
    EXPECT_EQ(opt(single, 0, u"pitches").split(u' ').size(), 107);  // to Ceiling(550 / step) = 106
    NoteArrays rest = vibratoPair(u"65 180 35 20 20 0 0 0"_s);
    rest.Lyrics[0] = u"R"_s;
    ApplyPitchAndVibrato(120, 120, 0, rest, timing);
    EXPECT_EQ(opt(rest, 0, u"pitches"), QString());
    EXPECT_EQ(opt(rest, 1, u"pitches"), QString());

    // The next note's own tempo sets its step and its tempo mark.
    NoteArrays tempoNext = vibratoPair(u"65 180 35 20 20 0 0 0"_s);
    SetNoteOption(tempoNext.NoteExt[1], u"tempo"_s, u"62.5"_s);
    ApplyPitchAndVibrato(120, 120, 0, tempoNext, timing, VibratoMode::NextOnly);
    const QStringList lead2 = opt(tempoNext, 1, u"pitches").split(u' ');
    ASSERT_EQ(lead2.size(), 5);  // Ceiling(40 / 10) = 4
    EXPECT_TRUE(lead2.at(0).endsWith(u"Q62.5"_s));
}

TEST(PitchVibrato, ComputeNotePitchCombinesCurveAndBothVibratos) {
    test::FakeNoteTiming timing;
    NoteArrays notes;
    addNote(notes, u"a"_s, 1920, 40, ext(u"50:0:"_s, u"VBR=65 180 35 20 20 0 0 0"_s));
    addNote(notes, u"i"_s, 1920, 42,
            ext(u"40:10:"_s, u"tempo=100\\npitches=old\\nPBS=-40\\nPBW=80\\nVBR=65 180 35 20 20 0 0 50"_s));

    NoteArrays expected = notes;
    SetNoteOption(expected.NoteExt[1], u"pitches"_s, QString());
    MakeMode2Pitches(100, 120, 100, 1, expected, timing);
    ApplyPitchAndVibrato(120, 100, 0, expected, timing, VibratoMode::NextOnly);
    ApplyPitchAndVibrato(100, 120, 1, expected, timing, VibratoMode::ThisOnly);

    timing.startTimeCalls.clear();
    ComputeNotePitch(1, notes, timing);
    EXPECT_EQ(notes.NoteExt, expected.NoteExt);
    // Entry 0 lies 40 ms before note 0's end, inside its vibrato: -200 plus that vibrato.
    const QStringList own = pitchesOf(notes, 1);
    const double v = referenceVibrato(510, 225, 550, 65, 65, 35, 180, 0, 0);
    EXPECT_EQ(own.at(0), Vb::DoubleText(std::floor(-200 + v + 0.5)) + u"Q100"_s);
    EXPECT_FALSE(GetNoteOption(notes.NoteExt.at(1), u"expression"_s).isEmpty());
    EXPECT_EQ(GetNoteOption(notes.NoteExt.at(0), u"pitches"_s), QString());  // the previous note stays

    // The first note uses its own tempo for the missing predecessors.
    NoteArrays first;
    addNote(first, u"a"_s, 1920, 40, ext(u"50:0:"_s, u"tempo=90\\nPBS=-40\\nPBW=80"_s));
    timing.startTimeCalls.clear();
    ComputeNotePitch(0, first, timing);
    EXPECT_TRUE(GetNoteOption(first.NoteExt.at(0), u"pitches"_s).startsWith(u"0Q90 "_s));
    for (const auto& call : timing.startTimeCalls) EXPECT_EQ(call.second, 90.0f);
}

}  // namespace

namespace {

// The longest note a project file holds lasts an hour at tempo 120; the renderer renders at most ten
// minutes of a note, so its list holds ten minutes of values (and a step): the curve and the vibrato
// up to there as on any note, nothing past it. A note within the bound keeps its whole list.
TEST(PitchCurves, ListsStopWhereTheRendererStops) {
    test::FakeNoteTiming timing;
    NoteArrays notes;
    addNote(notes, u"a"_s, 3455999 * 4, 40, ext(u"50:0:"_s, u"PBS=-40\\nPBW=80 40\\nPBY=0 -5\\nVBR=99 180 35 20 20 0 0 0"_s));
    addNote(notes, u"i"_s, 3455999 * 4, 42, ext(u"40:10:"_s, u"PBW=80\\nPBY=3"_s));
    const double step = PitchStepMs(120);
    const qsizetype bound = qsizetype(std::ceil(MaxRenderedNoteMs / step)) + 2;
    for (qint32 i : {0, 1}) {
        SCOPED_TRACE(i);
        ComputeNotePitch(i, notes, timing);
        const QStringList list = pitchesOf(notes, i);
        EXPECT_GE(list.size(), bound - 3);
        EXPECT_LE(list.size(), bound);
    }
    // The vibrato (from 36 s on) reaches the bound of note 0's list.
    const QStringList first = pitchesOf(notes, 0);
    EXPECT_NE(first.at(first.size() - 10), first.at(first.size() - 30));

    // Ten seconds: the whole note, as before.
    NoteArrays shorter;
    addNote(shorter, u"a"_s, 1920 * 20, 40, ext(u"50:0:"_s, u"PBW=80\\nPBY=3"_s));
    MakeMode2Pitches(120, 120, 120, 0, shorter, timing);
    EXPECT_EQ(pitchesOf(shorter, 0).size(), qsizetype(std::lround((10000.0 + 50) / step)) + 2);
}

}  // namespace
