// Stepping, scrolling to sung notes, selecting and searching.
#include "NoteDrawingFixtures.h"

#include "commands/FakeEditContext.h"
#include "mainwindow/NoteNavigation.h"
#include "platform/FakePorts.h"

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;

namespace {

// A window with a roll 9600 twips wide at zoom 1 (five beats), a 255-twip vertical bar and a horizontal
// bar of 0..100; it records what the commands asked of it.
class FakeNavigationWindow : public FakeEditContext {
public:
    NoteArrays& song;
    qint32& start;
    qint32& end;
    QString& focused;
    QStringList calls;

    explicit FakeNavigationWindow(const QList<NoteRow>& rows) : song(s), start(s.SelStart), end(s.SelEnd), focused(focus) {
        static_cast<NoteArrays&>(s) = makeSong(rows);
        if (rows.isEmpty()) s.makeEmpty();
        start = end = 0;
        zoomValue = 1.0f;
        rollWidth = 9600;
        vScroll = 255;
        layOut();
    }
    // The rectangles a drawing at the current scroll value leaves (zoom 1, left edge at beat h.Value).
    void layOut() {
        geometry.resize(std::max<qint32>(song.noteCount(), 1));
        double x = 0;
        for (qint32 i = 0; i < song.noteCount(); ++i) {
            geometry[i].Left = float(x - h.Value * 1920.0);
            geometry[i].Width = float(song.Lengths[i] + 15);
            x += song.Lengths[i];
        }
    }
    void select(qint32 a, qint32 b) { start = a, end = b; }

    void setHScrollValue(int v) override {
        EXPECT_TRUE(h.holds(v)) << v;
        calls.append(QStringLiteral("h=%1").arg(v));
        h.Value = v;
    }
    void DrawBackground() override { calls.append(QStringLiteral("bg")); }
    void DrawNotes() override {
        calls.append(QStringLiteral("notes"));
        layOut();
    }
    void focusLyricEntry() override { calls.append(QStringLiteral("focus Text2")); }
    void sendKeys(const QString& box, const QString& keys) override {
        calls.append((keys == u"^A" ? QStringLiteral("Ctrl+A ") : keys + QLatin1Char(' ')) + box);
    }
};

TEST(NoteNavigation, SteppingSkipsRests) {
    FakeNavigationWindow w({{480, "a", 60, {}}, {480, "R", 60, {}}, {480, "i", 60, {}}});
    NoteNavigation nav(w);
    w.select(0, 0);
    nav.mnNoteNext_Click();
    EXPECT_EQ(w.start, 2);
    EXPECT_EQ(w.end, 2);
    EXPECT_EQ(w.cur, 2);
    EXPECT_EQ(w.calls, QStringList{"notes"});
    // Past the last sung note: the position after the last note, no current note, full redraw.
    w.calls.clear();
    nav.mnNoteNext_Click();
    EXPECT_EQ(w.start, 3);
    EXPECT_EQ(w.end, 3);
    EXPECT_EQ(w.cur, -1);
    EXPECT_EQ(w.calls, (QStringList{"bg", "notes"}));
    // From there, Next does nothing and Previous comes back to note 2, then note 0.
    w.calls.clear();
    nav.mnNoteNext_Click();
    EXPECT_TRUE(w.calls.isEmpty());
    nav.mnNoteBack_Click();
    EXPECT_EQ(w.start, 2);
    EXPECT_EQ(w.cur, 2);
    nav.mnNoteBack_Click();
    EXPECT_EQ(w.start, 0);
    EXPECT_EQ(w.end, 0);
    // Nothing before note 0; nothing from beyond the position after the last note.
    w.calls.clear();
    nav.mnNoteBack_Click();
    w.select(4, 4);
    nav.mnNoteBack_Click();
    EXPECT_TRUE(w.calls.isEmpty());
    EXPECT_EQ(w.start, 4);
}

TEST(NoteNavigation, SteppingScrollsNotesIntoView) {
    // Ten one-beat notes; the roll shows five beats.
    QList<NoteRow> rows;
    for (int i = 0; i < 10; ++i) rows.append({1920, QStringLiteral("a%1").arg(i), 60, {}});
    FakeNavigationWindow w(rows);
    NoteNavigation nav(w);
    // Note 4 ends at 9600 + 1920: past the inner width; its end goes to the right edge:
    // -Int((9345 - 9600) / 1920) = 1.
    w.select(3, 3);
    nav.mnNoteNext_Click();
    EXPECT_EQ(w.calls, (QStringList{"h=1", "bg", "notes"}));
    EXPECT_EQ(w.start, 4);
    // Note 2 starts left of the edge at value 3: scroll so it starts one beat in (Int(2 - 1) = 1).
    w.h.Value = 3;
    w.layOut();
    w.select(3, 3);
    w.calls.clear();
    nav.mnNoteBack_Click();
    EXPECT_EQ(w.calls, (QStringList{"h=1", "bg", "notes"}));
    EXPECT_EQ(w.start, 2);
    EXPECT_EQ(w.cur, 2);
}

TEST(NoteNavigation, FirstLastAndSelectionStart) {
    FakeNavigationWindow w({{1920 * 4, "R", 60, {}}, {1920, "a", 60, {}}, {1920 * 8, "i", 60, {}}, {1920, "", 60, {}}});
    NoteNavigation nav(w);
    w.select(1, 2);
    // First sung note starts at beat 4: value 3, selection unchanged.
    nav.mnNoteTop_Click();
    EXPECT_EQ(w.calls, (QStringList{"h=3", "bg", "notes"}));
    EXPECT_EQ(w.start, 1);
    EXPECT_EQ(w.end, 2);
    // Last sung note ends at beat 13: -Int((9345 - 24960) / 1920) = 9.
    w.calls.clear();
    nav.mnNoteLast_Click();
    EXPECT_EQ(w.calls, (QStringList{"h=9", "bg", "notes"}));
    // Selection start: note 1 at beat 4 with the default lead of one beat.
    w.calls.clear();
    nav.mnNoteSelectTop_Click();
    EXPECT_EQ(w.calls, (QStringList{"h=3", "bg", "notes"}));
    // A first sung note near the start never scrolls before the bar's minimum; halves round to even.
    FakeNavigationWindow near({{960, "R", 60, {}}, {1920, "a", 60, {}}});
    NoteNavigation(near).mnNoteTop_Click();
    EXPECT_EQ(near.calls, (QStringList{"h=0", "bg", "notes"}));
    FakeNavigationWindow half({{1920 * 5 / 2 + 1920, "R", 60, {}}, {1920, "a", 60, {}}});
    NoteNavigation(half).mnNoteTop_Click();  // p = 2.5
    EXPECT_EQ(half.calls.first(), QStringLiteral("h=2"));
    // A value beyond the bar's maximum is held at the maximum instead of being refused.
    FakeNavigationWindow far({{1920 * 60, "R", 60, {}}, {1920, "a", 60, {}}});
    far.h.Max = 40;
    NoteNavigation(far).mnNoteTop_Click();
    EXPECT_EQ(far.calls.first(), QStringLiteral("h=40"));
}

TEST(NoteNavigation, SelectingRanges) {
    FakeNavigationWindow w({{480, "R", 60, {}}, {480, "a", 60, {}}, {480, "R", 60, {}}, {480, "i", 60, {}},
                            {480, "r", 60, {}}});
    NoteNavigation nav(w);
    w.cur = 4;
    nav.mnSelectNotes_Click();
    EXPECT_EQ(w.start, 1);
    EXPECT_EQ(w.end, 3);
    EXPECT_EQ(w.cur, 4);
    EXPECT_EQ(w.calls, (QStringList{"bg", "notes"}));
    w.calls.clear();
    nav.mnSelectAll_Click();
    EXPECT_EQ(w.start, 0);
    EXPECT_EQ(w.end, 4);
    EXPECT_EQ(w.calls, QStringList{"notes"});
    // With a text box focused, Ctrl+A selects the box's text and the notes stay as they were.
    for (const QString box : {QStringLiteral("Text2"), QStringLiteral("Text1"), QStringLiteral("txtTempo")}) {
        w.select(2, 2);
        w.calls.clear();
        w.focused = box;
        nav.mnSelectAll2_Click();
        EXPECT_EQ(w.calls, QStringList{QStringLiteral("Ctrl+A ") + box});
        EXPECT_EQ(w.start, 2);
        EXPECT_EQ(w.end, 2);
    }
    // An empty song: select all gives 0 .. -1.
    FakeNavigationWindow empty({});
    NoteNavigation(empty).mnSelectAll_Click();
    EXPECT_EQ(empty.start, 0);
    EXPECT_EQ(empty.end, -1);
}

TEST(NoteNavigation, OnlyRestsOrNoNotes) {
    for (const QList<NoteRow>& rows : {QList<NoteRow>{{480, "R", 60, {}}, {480, "", 60, {}}}, QList<NoteRow>{}}) {
        FakeNavigationWindow w(rows);
        NoteNavigation nav(w);
        w.select(1, 1);
        w.cur = 7;
        nav.mnSelectNotes_Click();
        nav.mnNoteTop_Click();
        nav.mnNoteLast_Click();
        nav.mnNoteBack_Click();
        if (rows.isEmpty()) nav.mnNoteSelectTop_Click();
        EXPECT_TRUE(w.calls.isEmpty());
        EXPECT_EQ(w.start, 1);
        EXPECT_EQ(w.cur, 7);
    }
    // Next on rests only walks past them all to the end position.
    FakeNavigationWindow rests({{480, "R", 60, {}}, {480, "", 60, {}}});
    rests.select(0, 0);
    NoteNavigation(rests).mnNoteNext_Click();
    EXPECT_EQ(rests.start, 2);
    EXPECT_EQ(rests.cur, -1);
}

TEST(NoteNavigation, SearchMatchesPartsOfLyricsExactly) {
    const struct {
        QString text;
        bool found;
    } cases[] = {{"k", true}, {"a", true}, {"ka", true}, {"KA", false}, {"kaa", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        ScopedFakePorts ports;
        FakeNavigationWindow w({{480, "x", 60, {}}, {480, "ka", 60, {}}});
        w.select(0, 0);
        w.lyricEntry = c.text;
        NoteNavigation(w).mnSearch_Click();
        EXPECT_EQ(w.start == 1, c.found);
        EXPECT_EQ(ports.messageBox.shown.size(), c.found ? 0 : 1);
        if (!c.found) {
            EXPECT_EQ(ports.messageBox.lastText(), QStringLiteral("見つかりませんでした。"));
            EXPECT_EQ(ports.messageBox.shown[0].buttons, MsgButtons::OK);
            EXPECT_TRUE(w.calls.isEmpty());
        }
    }
}

TEST(NoteNavigation, SearchWalksFromTheSelection) {
    // Eleven notes, all "ka": which note a search from each selection finds.
    QList<NoteRow> rows;
    for (int i = 0; i < 11; ++i) rows.append({1920, QStringLiteral("ka"), 60, {}});
    const struct {
        qint32 selStart, selEnd;
        bool forwards;
        qint32 hit;  // -1: not found
    } cases[] = {
        {5, 5, true, 6},   {5, 5, false, 4},
        {7, 5, true, 6},   {5, 7, false, 4},   // the smaller end is the reference
        {10, 10, true, -1}, {0, 0, false, -1},  // no wrap-around
        {11, 11, true, 1}, {11, 11, false, -1}, // after the last note: the reference is note 0
        {20, 20, true, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.selStart << " " << c.selEnd << " " << c.forwards);
        ScopedFakePorts ports;
        FakeNavigationWindow w(rows);
        w.select(c.selStart, c.selEnd);
        w.cur = 3;
        w.lyricEntry = QStringLiteral("ka");
        NoteNavigation nav(w);
        c.forwards ? nav.mnSearch_Click() : nav.mnSearchRev_Click();
        if (c.hit >= 0) {
            EXPECT_EQ(w.start, c.hit);
            EXPECT_EQ(w.end, c.hit);
            EXPECT_EQ(w.cur, 3);  // the current note stays
            // The hit's start half a beat in from the left: Int(hit - 0.5).
            EXPECT_EQ(w.calls, (QStringList{QStringLiteral("h=%1").arg(c.hit - 1), "bg", "notes"}));
            EXPECT_TRUE(ports.messageBox.shown.isEmpty());
        } else {
            EXPECT_EQ(w.start, c.selStart);
            EXPECT_EQ(ports.messageBox.shown.size(), 1);
        }
    }
}

TEST(NoteNavigation, SearchScrollValues) {
    // A hit starting at tick 480 scrolls to beat 0, never below the bar's minimum.
    ScopedFakePorts ports;
    FakeNavigationWindow w({{480, "a", 60, {}}, {480, "ka", 60, {}}, {1920 * 80, "R", 60, {}}, {480, "ka", 60, {}}});
    w.h.Value = 7;
    w.select(0, 0);
    w.lyricEntry = QStringLiteral("ka");
    NoteNavigation nav(w);
    nav.mnSearch_Click();
    EXPECT_EQ(w.calls.first(), QStringLiteral("h=0"));
    // Backwards to note 0 at tick 0: value 0.
    w.lyricEntry = QStringLiteral("a");
    w.calls.clear();
    nav.mnSearchRev_Click();
    EXPECT_EQ(w.start, 0);
    EXPECT_EQ(w.calls.first(), QStringLiteral("h=0"));
    // A hit beyond the bar's range is held at its maximum.
    w.lyricEntry = QStringLiteral("ka");
    w.select(1, 1);
    w.calls.clear();
    nav.mnSearch_Click();
    EXPECT_EQ(w.start, 3);
    EXPECT_EQ(w.calls.first(), QStringLiteral("h=80"));
    EXPECT_EQ(w.h.Value, 80);
}

TEST(NoteNavigation, SearchWithoutTextFocusesTheLyricBox) {
    ScopedFakePorts ports;
    FakeNavigationWindow w({{480, "ka", 60, {}}});
    NoteNavigation nav(w);
    nav.mnSearch_Click();
    nav.mnSearchRev_Click();
    EXPECT_EQ(w.calls, (QStringList{"focus Text2", "focus Text2"}));
    EXPECT_TRUE(ports.messageBox.shown.isEmpty());
    // An empty song reports no hit.
    FakeNavigationWindow empty({});
    empty.lyricEntry = QStringLiteral("a");
    NoteNavigation(empty).mnSearch_Click();
    NoteNavigation(empty).mnSearchRev_Click();
    EXPECT_EQ(ports.messageBox.shown.size(), 2);
}

}  // namespace
