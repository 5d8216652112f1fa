#include "mainwindow/MidiFollower.h"
#include "song/NoteExtension.h"

#include <gtest/gtest.h>

using namespace tova;
using namespace Qt::Literals::StringLiterals;

namespace {

NoteArrays threeBeats() {
    NoteArrays n;
    n.Lengths = {1920, 1920, 1920};
    n.Lyrics = {u"あ"_s, u"い"_s, u"う"_s};
    n.NoteNums = {40, 41, 42};
    n.NoteExt = {QString(), QString(), QString()};
    return n;
}

TEST(MidiFollower, ClockFollowing) {
    const NoteArrays notes = threeBeats();
    MidiFollower f;
    struct Step { qint32 clocks; qint32 selects; qint32 indexAfter; };
    const Step steps[] = {
        {0, -1, 0},     // right after start the state names note 0: nothing is selected
        {12, -1, 0},
        {24, 1, 1},     // tick 1920 is the start of note 1
        {30, -1, 1},    // still note 1
        {0, 0, 0},      // backwards: the walk restarts and finds note 0
        {71, 2, 2},     // tick 5680
        {72, -1, -1},   // past the end: none
        {24, 1, 1},     // after none the search restarts from the first note
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.clocks);
        std::optional<qint32> sel = f.midiPlay(s.clocks, notes);
        EXPECT_EQ(sel.value_or(-1), s.selects);
        EXPECT_EQ(f.SyncNoteIndex, s.indexAfter);
    }
}

TEST(MidiFollower, ClockFollowingResumesWhereItStopped) {
    const NoteArrays notes = threeBeats();
    MidiFollower f;
    f.midiPlay(48, notes);  // note 2
    EXPECT_EQ(f.SyncNoteIndex, 2);
    EXPECT_EQ(f.SyncNoteStartTick, 3840);
}

TEST(MidiFollower, TimeCodeFollowingWithTempoChanges) {
    NoteArrays notes = threeBeats();
    SetNoteOption(notes.NoteExt[1], u"tempo"_s, u"60"_s);  // notes 1 and 2 last 1000 ms each
    // The tempo in force at a note: the project tempo replaced by the options up to that note.
    auto tempoAt = [&](qint32 i) {
        float t = 120.0f;
        for (qint32 k = 0; k <= i && k < notes.noteCount(); ++k) {
            QString o = GetNoteOption(notes.NoteExt[k], u"tempo"_s);
            if (!o.isEmpty()) t = o.toFloat();
        }
        return t;
    };
    MidiFollower f;
    struct Step { qint32 ms; qint32 selects; qint32 first; };
    const Step steps[] = {
        {250, -1, 0},    // inside note 0, which the state already names
        {600, 1, 1},     // note 1 spans 500 .. 1500
        {1499, -1, 1},
        {1600, 2, 2},    // note 2 spans 1500 .. 2500 at the changed tempo
        {100, 0, 0},     // backwards: restart
        {2600, -1, -1},  // beyond the end of the song selects nothing
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.ms);
        qint32 first = 0, last = 0;
        std::optional<qint32> sel = f.getPlayNotes(first, last, s.ms, notes, tempoAt);
        EXPECT_EQ(sel.value_or(-1), s.selects);
        EXPECT_EQ(f.SyncNoteIndex, s.first);
        if (s.first >= 0) {
            EXPECT_EQ(first, s.first);
            EXPECT_EQ(last, s.first);
        }
    }
}

}  // namespace
