// The timeline the roll's drawing keeps: start ticks, tempos and play times of every note, the searches
// that find the notes on screen and the sounding note, and its rebuilding after edits of the song.
#include "NoteDrawingFixtures.h"

#include "mainwindow/NoteTimeline.h"

#include <limits>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;

namespace {

// Notes of no length between others, all at tempo 120: starts 0, 480, 480, 1440, 1440, 1440; end 1920.
// Play lengths 125, 0, 250, 0, 0, 125 ms.
NoteArrays withEmptyNotes() {
    return makeSong({{480, "a", 60, {}}, {0, "i", 60, {}}, {960, "u", 60, {}},
                     {0, "e", 60, {}}, {0, "o", 60, {}}, {480, "ka", 60, {}}});
}

TEST(NoteTimeline, SearchesAroundNotesOfNoLength) {
    const NoteArrays notes = withEmptyNotes();
    NoteTimeline t;
    t.update(notes, 120);
    ASSERT_TRUE(t.ordered());
    EXPECT_EQ(t.songLength(), 1920);
    EXPECT_EQ(t.startTick(3), 1440);

    const struct {
        double tick;
        qint32 firstEnding, lastStarting;
    } ticks[] = {
        {-1, 0, -1}, {0, 0, 0}, {479, 0, 0}, {480, 2, 2}, {1439, 2, 2}, {1440, 5, 5}, {1919, 5, 5}, {1920, 6, 5},
    };
    for (const auto& c : ticks) {
        SCOPED_TRACE(c.tick);
        EXPECT_EQ(t.firstEndingAfter(c.tick), c.firstEnding);
        EXPECT_EQ(t.lastStartingBy(c.tick), c.lastStarting);
    }

    // A note sounds strictly inside its play time; on a boundary, before the song or after it none does.
    const struct {
        double ms;
        qint32 note;
    } times[] = {
        {-5, -1}, {0, -1}, {60, 0}, {125, -1}, {126, 2}, {374, 2}, {375, -1}, {400, 5}, {500, -1}, {501, -1},
        {std::numeric_limits<double>::quiet_NaN(), -1},
    };
    for (const auto& c : times) {
        SCOPED_TRACE(c.ms);
        EXPECT_EQ(t.noteAtPlayMs(c.ms), c.note);
    }
}

TEST(NoteTimeline, FollowsEditsOfTheSong) {
    NoteArrays notes = withEmptyNotes();
    NoteTimeline t;
    t.update(notes, 120);

    // A length changed in place moves every later note.
    notes.Lengths[0] = 960;
    t.update(notes, 120);
    EXPECT_EQ(t.startTick(5), 1920);
    EXPECT_DOUBLE_EQ(t.playMsBefore(5), 500);

    // A tempo option read where it is, and again when the same text changes a second time.
    SetNoteOption(notes.NoteExt[2], QStringLiteral("tempo"), QStringLiteral("60"));
    t.update(notes, 120);
    EXPECT_EQ(t.tempoAfter(1), 120.0f);
    EXPECT_EQ(t.tempoAfter(5), 60.0f);
    EXPECT_DOUBLE_EQ(t.playMs(2), 500);
    SetNoteOption(notes.NoteExt[2], QStringLiteral("tempo"), QStringLiteral("240"));
    t.update(notes, 120);
    EXPECT_EQ(t.tempoAfter(5), 240.0f);

    // Notes inserted and removed before it shift the tempo change with them.
    InsertNoteAt(1, notes);
    notes.NoteExt[1] = withOptions(QStringLiteral("tempo=100"));
    t.update(notes, 120);
    EXPECT_EQ(t.tempoAfter(0), 120.0f);
    EXPECT_EQ(t.tempoAfter(1), 100.0f);
    EXPECT_EQ(t.tempoAfter(3), 240.0f);
    DeleteNoteAt(0, notes);
    DeleteNoteAt(0, notes);
    t.update(notes, 120);
    EXPECT_EQ(t.count(), 5);
    EXPECT_EQ(t.tempoAfter(0), 120.0f);
    EXPECT_EQ(t.tempoAfter(1), 240.0f);

    // The project tempo alone, and the seconds of a range at the tempos in force.
    t.update(notes, 150);
    EXPECT_EQ(t.tempoAfter(0), 150.0f);
    EXPECT_DOUBLE_EQ(t.secondsOf(0, 4), 0.0 / 150 / 32 + 960.0 / 240 / 32 + 480.0 / 240 / 32);

    // A negative length puts the notes out of order; the searches are not to be used then.
    notes.Lengths[2] = -10;
    t.update(notes, 150);
    EXPECT_FALSE(t.ordered());
}

}  // namespace
