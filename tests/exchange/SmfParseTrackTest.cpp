// Turning one MIDI track into notes and rests: time scales, gaps, overlaps, chords, tempo changes,
// lyrics, the export's text events, pitch bends and the default note settings.
#include "core/Settings.h"
#include "exchange/midi/SmfFile.h"
#include "exchange/midi/SmfFormatError.h"
#include "exchange/midi/SmfParseTrack.h"
#include "platform/FakePorts.h"
#include "song/NoteExtension.h"
#include "song/PitchText.h"
#include "SmfFixtures.h"

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test::smf;

namespace {

struct Parsed {
    qint32 result = 0;
    NoteArrays notes;
    QStringList tempos;
};

Parsed parse(const Track& track, qint16 division = 480, const QStringList& tempos = {}, int channel = 0) {
    Bytes in(track.chunk());
    SmfFile file;
    file.open(in);
    Parsed p;
    p.tempos = tempos;
    qint32 count = 0;
    p.result = SmfParseTrack(file, division, count, p.tempos, p.notes, channel);
    EXPECT_EQ(count, p.result);
    return p;
}

class SmfParseTrackTest : public ::testing::Test {
protected:
    void TearDown() override { settings() = saved_; }
    Settings saved_ = settings();
};

}  // namespace

TEST_F(SmfParseTrackTest, FileTicksBecomeInternalTicks) {
    struct Case {
        qint16 division;
        quint32 ticks;
        qint32 length;
    };
    const Case cases[] = {{480, 480, 1920}, {96, 96, 1920}, {96, 1, 20}, {960, 240, 480}, {7, 7, 1920}, {480, 1, 4},
                          {1920, 3, 3}, {3, 1, 640}};
    for (const Case& c : cases) {
        Track t;
        t.on(0, 60).off(c.ticks, 60).end();
        const Parsed p = parse(t, c.division);
        ASSERT_EQ(p.result, 1) << c.division;
        EXPECT_EQ(p.notes.Lengths, QList<qint32>({c.length})) << c.division << " " << c.ticks;
    }
}

TEST_F(SmfParseTrackTest, GapsOverlapsChordsAndNoteNumbers) {
    struct Case {
        const char* what;
        Track track;
        QList<qint32> lengths;
        QList<qint32> noteNums;
        QStringList lyrics;
    };
    const QString a = QStringLiteral("あ");
    const Case cases[] = {
        {"a gap under 40 internal ticks lengthens the earlier note", Track().on(0, 60).off(480, 60).on(5, 62).off(480, 62),
         {1940, 1920}, {36, 38}, {a, a}},
        {"a gap of 40 is a rest", Track().on(0, 60).off(480, 60).on(10, 62).off(480, 62),
         {1920, 40, 1920}, {36, 36, 38}, {a, "R", a}},
        {"a gap at the start is always a rest", Track().on(1, 60).off(480, 60), {4, 1920}, {36, 36}, {"R", a}},
        {"overlapping notes: the later note-on ends the earlier note",
         Track().on(0, 60).on(480, 62).off(120, 60).off(360, 62), {1920, 1920}, {36, 38}, {a, a}},
        {"a second note-off of the same note is ignored",
         Track().on(0, 60).off(480, 60).off(20, 60).on(460, 62).off(480, 62), {1920, 1920, 1920}, {36, 36, 38},
         {a, "R", a}},
        {"of a chord only the last note-on survives",
         Track().on(0, 60).on(0, 64).on(0, 67).off(480, 60).off(0, 64).off(0, 67), {1920}, {43}, {a}},
        {"a pending note under 40 ticks is dropped into the previous entry",
         Track().on(0, 60).off(480, 60).on(0, 62).on(5, 64).off(480, 64), {1940, 1920}, {36, 40}, {a, a}},
        {"a note without note-off at the end is not written", Track().on(0, 60).off(480, 60).on(0, 62),
         {1920}, {36}, {a}},
        {"MIDI numbers: 60, 5, 15, 23, 24, 127",
         Track().on(0, 60).off(480, 60).on(0, 5).off(480, 5).on(0, 15).off(480, 15).on(0, 23).off(480, 23)
             .on(0, 24).off(480, 24).on(0, 127).off(480, 127),
         {1920, 1920, 1920, 1920, 1920, 1920}, {36, 5, 3, 11, 0, 103}, {a, a, a, a, a, a}},
        {"lyrics carry to later notes", Track().lyric(Sa).on(0, 60).off(480, 60).on(0, 62).off(480, 62)
                                            .lyric(Ku).on(0, 64).off(480, 64),
         {1920, 1920, 1920}, {36, 38, 40}, {QStringLiteral("さ"), QStringLiteral("さ"), QStringLiteral("く")}},
        {"a note-on with velocity 0 ends the note", Track().on(0, 60).on(480, 60, 0), {1920}, {36}, {a}},
    };
    for (const Case& c : cases) {
        Track t = c.track;
        const Parsed p = parse(t.end());
        EXPECT_EQ(p.notes.Lengths, c.lengths) << c.what;
        EXPECT_EQ(p.notes.NoteNums, c.noteNums) << c.what;
        EXPECT_EQ(p.notes.Lyrics, c.lyrics) << c.what;
    }
}

TEST_F(SmfParseTrackTest, TempoChangesCutRestsAndBecomeOptions) {
    // The conductor changes to 60 bpm in the middle of the rest between two notes.
    Track t;
    t.on(0, 60).off(480, 60).on(960, 62).off(480, 62).end();
    const Parsed p = parse(t, 480, {"0 500000", "960 1000000"});
    EXPECT_EQ(p.notes.Lyrics, QStringList({QStringLiteral("あ"), " ", "R", QStringLiteral("あ")}));
    EXPECT_EQ(p.notes.Lengths, QList<qint32>({1920, 1920, 1920, 1920}));
    EXPECT_EQ(p.notes.NoteExt, QStringList({"\t100\t0\t\t\ttempo=120.00", "\t\t\t\t\t", "\t\t\t\t\ttempo=60.00",
                                            "\t100\t0\t\t\t"}));

    // A change while a note sounds cuts nothing; the next note carries the new tempo. The track's own
    // tempo events join the list.
    Track own;
    own.on(0, 60).tempo(400000, 240).off(240, 60).on(0, 62).off(480, 62).on(0, 64).off(480, 64).end();
    const Parsed q = parse(own, 480, {"0 500000"});
    EXPECT_EQ(q.tempos, QStringList({"0 500000", "240 400000"}));
    EXPECT_EQ(q.notes.NoteExt, QStringList({"\t100\t0\t\t\ttempo=120.00", "\t100\t0\t\t\ttempo=150.00",
                                            "\t100\t0\t\t\t"}));

    // A change at or before the end of the last entry cuts no piece of no length, or of a negative one;
    // the rest ahead starts with the tempo.
    struct Case {
        const char* what;
        Track track;
        QStringList tempos;
        QStringList lyrics;
        QList<qint32> lengths;
        QStringList exts;
        qint16 division = 480;
    };
    const QString a = QStringLiteral("あ");
    const Case cases[] = {
        {"a track that starts with a rest meets the start tempo again", Track().on(480, 60).off(480, 60),
         {"0 500000"}, {"R", a}, {1920, 1920}, {"\t\t\t\t\ttempo=120.00", "\t100\t0\t\t\t"}},
        {"the track's own change, listed after a later one of the conductor",
         Track().on(0, 60).tempo(600000, 480).off(480, 60).on(1440, 62).off(480, 62), {"0 500000", "1920 400000"},
         {a, " ", "R", a}, {3840, 3840, 1920, 1920},
         {"\t100\t0\t\t\ttempo=120.00", "\t\t\t\t\t", "\t\t\t\t\ttempo=100.00", "\t100\t0\t\t\t"}},
        // Another event on the change's tick (a controller, the next note's lyric, the track's own
        // tempo event) still cuts the rest there: the rest before it keeps the old tempo.
        {"a controller on the tick of a change inside a rest",
         Track().on(0, 60).off(480, 60).control(480, 7, 100).on(480, 62).off(480, 62), {"0 500000", "960 1000000"},
         {a, " ", "R", a}, {1920, 1920, 1920, 1920},
         {"\t100\t0\t\t\ttempo=120.00", "\t\t\t\t\t", "\t\t\t\t\ttempo=60.00", "\t100\t0\t\t\t"}},
        {"the track's own change in a rest, the next lyric on its tick",
         Track().on(0, 60).off(480, 60).tempo(1000000, 480).lyric(Sa).on(480, 62).off(480, 62), {"0 500000"},
         {a, " ", "R", QStringLiteral("さ")}, {1920, 1920, 1920, 1920},
         {"\t100\t0\t\t\ttempo=120.00", "\t\t\t\t\t", "\t\t\t\t\ttempo=60.00", "\t100\t0\t\t\t"}},
        // After a change inside a rest, a change back to the tempo before it is written too.
        {"a change inside a rest, and back at the next note", Track().on(0, 60).off(480, 60).on(960, 62).off(480, 62),
         {"0 500000", "960 1000000", "1440 500000"}, {a, " ", "R", a}, {1920, 1920, 1920, 1920},
         {"\t100\t0\t\t\ttempo=120.00", "\t\t\t\t\t", "\t\t\t\t\ttempo=60.00", "\t100\t0\t\t\ttempo=120.00"}},
        {"a second tempo on tick 0 before a leading rest", Track().control(0, 7, 100).on(480, 60).off(480, 60),
         {"0 500000", "0 1000000"}, {"R", a}, {1920, 1920}, {"\t\t\t\t\ttempo=60.00", "\t100\t0\t\t\t"}},
        // A note too short for an internal tick is dropped; a change while it sounded goes to what follows.
        {"a change during a note of no internal length",
         Track().on(0, 60).off(7680, 60).on(0, 62).off(1, 62).on(7679, 64).off(7680, 64), {"0 500000", "7681 1000000"},
         {a, "R", a}, {1920, 1920, 1920}, {"\t100\t0\t\t\ttempo=120.00", "\t\t\t\t\ttempo=60.00", "\t100\t0\t\t\t"},
         7680},
    };
    for (const Case& c : cases) {
        Track track = c.track;
        const Parsed r = parse(track.end(), c.division, c.tempos);
        EXPECT_EQ(r.notes.Lyrics, c.lyrics) << c.what;
        EXPECT_EQ(r.notes.Lengths, c.lengths) << c.what;
        EXPECT_EQ(r.notes.NoteExt, c.exts) << c.what << ": " << r.notes.NoteExt.join(u'|').toStdString();
    }
}

TEST_F(SmfParseTrackTest, TextEventsOfTheExportCarryNoteParameters) {
    settings().DefaultEnv = "0 10 35 0 100 100 0";
    settings().DefaultVolume = 80;
    settings().DefaultModulation = 20;
    settings().DefaultFlags = "B40";
    Track t;
    t.text("0000: offset=25 mod=40 flag=g-5 tempo=140.00 env=0,5,35,0,100,100,0 stp=12").text("0000: pitch=0Q140.00 5 10");
    t.lyric(Sa).on(0, 60, 90).off(480, 60);
    t.text("0001: offset=$pitch$").bendRange(2).lyric(Ku).on(0, 62).bend(0, 0).bend(48, 4096).off(432, 62).end();
    const Parsed p = parse(t, 480, {"0 500000"});
    ASSERT_EQ(p.result, 2);
    // Intensity, modulation, flags and envelope come from the settings, not from the file.
    EXPECT_EQ(p.notes.NoteExt[0],
              "25\t80\t20\t0Q140.00 5 10\tB40\ttempo=140.00\\nenv=0 10 35 0 100 100 0\\nstp=12");
    const QStringList second = SplitNoteExt(p.notes.NoteExt[1]);
    EXPECT_EQ(second[0], "$pitch$") << "only the pitch field is filled in";
    EXPECT_EQ(second[3], "0Q140.00 0 0 0 0 0 0 0 0 0 100 100 100") << "sampled at the tempo of the text";
    EXPECT_EQ(second[5], "env=0 10 35 0 100 100 0");

    // A TAB inside a text value shifts the fields, but the string keeps its six fields.
    Track tab;
    tab.text("0000: offset=a\tb flag=x").on(0, 60).off(480, 60).end();
    const QString shifted = parse(tab).notes.NoteExt[0];
    EXPECT_EQ(shifted.count(u'\t'), 5) << shifted.toStdString();
    EXPECT_EQ(NoteExtField(shifted, ExtTiming), "a");
    EXPECT_EQ(NoteExtField(shifted, ExtIntensity), "80");

    // A tempo of 0 in a text event is no tempo at all.
    Track zero;
    zero.text("0000: tempo=0").on(0, 60).off(480, 60).end();
    EXPECT_THROW(parse(zero), SmfFormatError);
}

TEST_F(SmfParseTrackTest, PitchBendsFollowTheBendRangeAndTheChannel) {
    Track t;
    t.bendRange(12).bend(0, 8191).on(240, 60).bend(0, 0).bend(48, 4096).bend(0, 2048, 1).off(432, 60);
    t.control(0, 101, 1).control(0, 100, 0).control(0, 6, 24);  // not RPN 0: the range stays
    t.bend(100, -8192).on(380, 62).bend(0, 0).bend(5, 4096).off(475, 62).end();
    const Parsed p = parse(t, 480, {}, 1);
    ASSERT_EQ(p.result, 4);
    EXPECT_EQ(p.notes.Lyrics, QStringList({"R", QStringLiteral("あ"), "R", QStringLiteral("あ")}));
    EXPECT_EQ(NoteExtField(p.notes.NoteExt[1], ExtPitches), "0Q120.00 0 0 0 0 0 0 0 0 0 600 600 600")
        << "bends during the rest before the note are dropped; channel 2's bend is not ours";
    EXPECT_EQ(NoteExtField(p.notes.NoteExt[3], ExtPitches), "0Q120.00 600 600 600");
}

TEST_F(SmfParseTrackTest, ModeTwoAddsPortamentoAndVibrato) {
    Settings& s = settings();
    s.Mode2 = true;
    s.Mode2PBS = "-40";
    s.Mode2PBW = "80";
    s.Mode2VBR = "65";
    s.Mode2VBRExclude = 960;
    struct Case {
        const char* what;
        Track track;
        QString pbs, pbw, vbr;  // of the last note
    };
    const Case cases[] = {
        {"an octave up doubles start and width", Track().on(0, 60).off(480, 60).on(0, 72).off(480, 72),
         "-80", "160", "65"},
        {"kept within half of each short note",
         Track().on(0, 60).off(60, 60).on(0, 62).off(60, 62), "-32", "62", ""},
        {"after a rest there is no portamento", Track().on(0, 60).off(480, 60).on(480, 62).off(480, 62), "", "",
         "65"},
        {"the first note has none", Track().on(0, 60).off(480, 60), "", "", "65"},
    };
    for (const Case& c : cases) {
        Track t = c.track;
        const Parsed p = parse(t.end());
        const QString ext = p.notes.NoteExt.last();
        EXPECT_EQ(GetNoteOption(ext, "PBS"), c.pbs) << c.what;
        EXPECT_EQ(GetNoteOption(ext, "PBW"), c.pbw) << c.what;
        EXPECT_EQ(GetNoteOption(ext, "VBR"), c.vbr) << c.what;
    }
    s.Mode2 = false;
    const Parsed off = parse(Track().on(0, 60).off(480, 60).on(0, 72).off(480, 72).end());
    EXPECT_EQ(GetNoteOption(off.notes.NoteExt.last(), "PBS"), "");
    EXPECT_EQ(GetNoteOption(off.notes.NoteExt.last(), "VBR"), "");
}

TEST_F(SmfParseTrackTest, FarApartBendsCannotGrowCurvesWithoutBound) {
    // Two notes of 2^27 ticks, each with a bend at its very end: the first curve stops at the budget,
    // the second gets none.
    Track t;
    t.on(0, 60).bend(0, 0).bend(1 << 27, 4096).off(0, 60).on(0, 62).bend(0, 0).bend(1 << 27, 4096).off(0, 62).end();
    const Parsed p = parse(t);
    ASSERT_EQ(p.result, 2);
    const QString first = NoteExtField(p.notes.NoteExt[0], ExtPitches);
    EXPECT_EQ(first.count(u' ') + 1, MaxDecodedPitchValues);
    EXPECT_EQ(NoteExtField(p.notes.NoteExt[1], ExtPitches), "");

    // Lengths that leave 32 bits are refused.
    EXPECT_THROW(parse(Track().on(0, 60).off(1 << 21, 60).end(), 1), OverflowError);
    Track far;
    for (int i = 0; i < 9; ++i) far.text("x", 0x0FFFFFFF);
    EXPECT_THROW(parse(far.end()), SmfFormatError) << "the track's time passes 2^31 ticks";
}

TEST_F(SmfParseTrackTest, AppendsAfterExistingNotes) {
    Bytes in(Track().on(0, 60).off(5, 60).on(0, 62).off(480, 62).end().chunk());
    SmfFile file;
    file.open(in);
    NoteArrays notes;
    notes.resizeNotes(1);
    notes.Lyrics[0] = "x";
    notes.Lengths[0] = 100;
    qint32 count = 1;
    QStringList tempos;
    EXPECT_EQ(SmfParseTrack(file, 480, count, tempos, notes), 3);
    EXPECT_EQ(notes.Lyrics, QStringList({"x", QStringLiteral("あ"), QStringLiteral("あ")}));
    EXPECT_EQ(notes.Lengths, QList<qint32>({100, 20, 1920}));

    // A short gap before the first new note goes to the caller's last note.
    Bytes in2(Track().on(2, 60).off(480, 60).end().chunk());
    SmfFile file2;
    file2.open(in2);
    EXPECT_EQ(SmfParseTrack(file2, 480, count, tempos, notes), 4);
    EXPECT_EQ(notes.Lengths, QList<qint32>({100, 20, 1928, 1920}));
}
