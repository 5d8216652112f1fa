// The note layer of the roll: geometry records, colours, ruler marks, play position and the status text.
#include "NoteDrawingFixtures.h"

#include "mainwindow/NoteDrawing.h"

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;

namespace {

NoteColors distinctColors() {
    NoteColors c;
    c.NoteNor = 101; c.NoteTop = 102; c.NoteSel = 103;
    c.NoteTNor = 111; c.NoteTTop = 112; c.NoteTSel = 113;
    c.NoteRNor = 121; c.NoteRTop = 122; c.NoteRSel = 123;
    c.PtchSel = 131; c.PtchNor = 132; c.PtchGry = 133;
    c.TempoNor = 141; c.TempoAll = 142; c.SelectBar = 143; c.Hilight = 144; c.Back = 145; c.Fore = 146;
    return c;
}

// Zoom 1, no scrolling, no selection unless a test sets one.
NoteScene plainScene() {
    NoteScene s;
    s.Zoom = 1.0f;
    s.RowHeight = 210;
    s.HScrollValue = 0;
    s.VScrollValue = 0;
    s.SelStart = s.SelEnd = 1000;
    return s;
}

struct Drawn {
    RecordingCanvas roll{9000, 5295};
    RecordingCanvas ruler{9000, 420};
    NoteGeometryList geometry;
    CurveHandles handles;
    NoteDrawingResult result;
};

void draw(Drawn& d, const NoteArrays& notes, const NoteScene& scene, const ScriptedServices& services = {},
          const QString& option = QString()) {
    NoteDrawing drawing(&services);
    d.result = drawing.DrawNotes(notes, scene, distinctColors(), d.geometry, d.handles, d.roll, d.ruler, option);
}

TEST(NoteDrawing, WidthsAndSnappedLeftEdges) {
    const struct {
        float zoom;
        qint32 first, second;  // lengths in ticks
        float left, width;     // of the second note
    } cases[] = {
        {1, 7, 10, 0, 20},      // x = 7 snaps to the pixel at 0; 10 twips wide gives the minimum 20
        {1, 8, 480, 15, 495},   // x = 8 snaps to 15; 480 twips is 32 pixels plus the shared border
        {1, 0, 20, 0, 20},
        {1, 0, 21, 0, 30},
        {2, 16, 960, 15, 495},  // the same on screen at zoom 2
        {2, 15, 41, 15, 20},    // x = 7.5 rounds to 8 and w = 20.5 to 20 (halves to even)
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.zoom << " " << c.first << " " << c.second);
        NoteScene scene = plainScene();
        scene.Zoom = c.zoom;
        Drawn d;
        draw(d, makeSong({{c.first, "a", 60, {}}, {c.second, "i", 62, {}}}), scene);
        ASSERT_EQ(d.geometry.size(), 2);
        EXPECT_FLOAT_EQ(d.geometry[1].Left, c.left);
        EXPECT_FLOAT_EQ(d.geometry[1].Width, c.width);
        EXPECT_FLOAT_EQ(d.geometry[1].Top, (84 - 62) * 210);
        EXPECT_FLOAT_EQ(d.geometry[1].Height, 225);
        EXPECT_FLOAT_EQ(d.geometry[1].NoteTempo, 120);
    }
    // The two helpers on their own, negative positions included.
    EXPECT_FLOAT_EQ(NoteDrawing::snappedLeft(-7), 0);
    EXPECT_FLOAT_EQ(NoteDrawing::snappedLeft(-8), -15);
    EXPECT_FLOAT_EQ(NoteDrawing::noteWidth(0), 20);
    EXPECT_FLOAT_EQ(NoteDrawing::noteWidth(22), 30);
    EXPECT_FLOAT_EQ(NoteDrawing::noteWidth(23), 45);  // 1.53 + 1.5 = 3.03 pixels
}

TEST(NoteDrawing, BoxThenOutlineThenLyricNoteByNote) {
    Drawn d;
    NoteScene scene = plainScene();
    scene.VScrollValue = 20;
    draw(d, makeSong({{480, QStringLiteral("さ"), 60, {}}, {480, QStringLiteral("くら"), 59, {}}}), scene);
    const QList<DrawOp>& ops = d.roll.ops;
    ASSERT_EQ(ops.size(), 6);
    const double top0 = (84 - 60 - 20) * 210, top1 = (84 - 59 - 20) * 210;
    // Note 0: filled box over the row from its top line to its bottom line, outline, lyric one pixel in.
    EXPECT_EQ(ops[0].kind, 'F');
    EXPECT_DOUBLE_EQ(ops[0].x1, 0);
    EXPECT_DOUBLE_EQ(ops[0].y1, top0);
    EXPECT_DOUBLE_EQ(ops[0].x2, 480);
    EXPECT_DOUBLE_EQ(ops[0].y2, top0 + 210);
    EXPECT_EQ(ops[0].color, 101);
    EXPECT_EQ(ops[1].kind, 'B');
    EXPECT_DOUBLE_EQ(ops[1].x2, 480);
    EXPECT_EQ(ops[1].color, 111);
    EXPECT_EQ(ops[2].kind, 'T');
    EXPECT_EQ(ops[2].text, QStringLiteral("さ"));
    EXPECT_DOUBLE_EQ(ops[2].x1, 15);
    EXPECT_DOUBLE_EQ(ops[2].y1, top0 + 15);
    // Note 1 starts on note 0's right border column.
    EXPECT_EQ(ops[3].kind, 'F');
    EXPECT_DOUBLE_EQ(ops[3].x1, 480);
    EXPECT_DOUBLE_EQ(ops[3].y1, top1);
    EXPECT_EQ(ops[5].text, QStringLiteral("くら"));
}

TEST(NoteDrawing, SelectionColoursAndDuration) {
    // Three beats at tempo 120; a tempo option of 60 on the third makes its beat last a second.
    const NoteArrays notes = makeSong({{1920, "a", 60, {}},
                                       {1920, "R", 60, {}},
                                       {1920, "u", 60, withOptions(QStringLiteral("tempo=60"))},
                                       {1920, "e", 60, {}}});
    const struct {
        qint32 selStart, selEnd;
        QString status;
        int32_t fills[4];
        int32_t texts[4];
    } cases[] = {
        // Two notes, either order: 0.5 s each.
        {0, 1, "1.000000 sec", {102, 123, 101, 101}, {112, 113, 111, 111}},
        {1, 0, "1.000000 sec", {103, 122, 101, 101}, {113, 112, 111, 111}},
        // The slow note alone.
        {2, 2, "1.000000 sec", {101, 121, 102, 101}, {111, 111, 112, 111}},
        // The tempo option stays in force for the note after it.
        {3, 1, "2.500000 sec", {101, 123, 103, 102}, {111, 113, 113, 112}},
        // Nothing selected: the position after the last note.
        {4, 4, "0.000000 sec", {101, 121, 101, 101}, {111, 111, 111, 111}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.selStart << ".." << c.selEnd);
        NoteScene scene = plainScene();
        scene.SelStart = c.selStart;
        scene.SelEnd = c.selEnd;
        Drawn d;
        draw(d, notes, scene);
        EXPECT_EQ(d.result.StatusText, c.status);
        const QList<DrawOp> fills = d.roll.of('F');
        const QList<DrawOp> outlines = d.roll.of('B');
        ASSERT_EQ(fills.size(), 4);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(fills[i].color, c.fills[i]) << i;
            EXPECT_EQ(outlines[i].color, c.texts[i]) << i;
        }
    }
}

TEST(NoteDrawing, EmptySongKeepsGeometryAndResetsTotals) {
    Drawn d;
    d.geometry.resize(3);
    d.geometry[2].Left = 1234;
    d.handles.PitchPointPos.append({1, 2, 0, 0});
    NoteArrays empty;
    empty.makeEmpty();
    draw(d, empty, plainScene());
    EXPECT_EQ(d.geometry.size(), 3);
    EXPECT_FLOAT_EQ(d.geometry[2].Left, 1234);
    EXPECT_EQ(d.handles.PitchPointPos.size(), 1);
    EXPECT_EQ(d.handles.VibratoHandleRect.size(), 1);
    EXPECT_EQ(d.result.StatusText, QStringLiteral("0.000000 sec"));
    EXPECT_EQ(d.result.HScrollMax, 32);
    EXPECT_EQ(d.result.SongLength, 0);
    EXPECT_EQ(d.result.PlayScrollNote, -1);
    EXPECT_TRUE(d.roll.ops.isEmpty());
    // Only the ruler's lower lane is cleared.
    ASSERT_EQ(d.ruler.ops.size(), 1);
    EXPECT_EQ(d.ruler.ops[0].kind, 'F');
    EXPECT_DOUBLE_EQ(d.ruler.ops[0].y1, 210);
    EXPECT_DOUBLE_EQ(d.ruler.ops[0].y2, 360);
    EXPECT_DOUBLE_EQ(d.ruler.ops[0].x2, 9000);
    EXPECT_EQ(d.ruler.ops[0].color, 145);
}

TEST(NoteDrawing, SongLengthScrollRangeAndHiddenNotes) {
    // 100 beats at zoom 2 on a roll 9600 twips wide: 90 beats past the view plus 32.
    QList<NoteRow> rows;
    for (int i = 0; i < 100; ++i) rows.append({1920, "a", 60, {}});
    NoteScene scene = plainScene();
    scene.Zoom = 2.0f;
    scene.HScrollValue = 10;
    Drawn d{RecordingCanvas(9600, 5295), RecordingCanvas(9600, 420), {}, {}, {}};
    d.geometry.resize(1);
    d.geometry[0].Width = 500;
    d.geometry[0].NoteTempo = 77;
    draw(d, makeSong(rows), scene);
    EXPECT_EQ(d.result.SongLength, 1920 * 100);
    EXPECT_EQ(d.result.HScrollMax, 122);
    // Beats 10 .. 20 are on screen (note 20 starts exactly at the right edge and still counts).
    EXPECT_EQ(d.roll.of('F').size(), 11);
    EXPECT_FLOAT_EQ(d.geometry[10].Left, 0);
    EXPECT_FLOAT_EQ(d.geometry[20].Left, 9600);
    // A note off screen only moves its left edge out of reach; its other values stay.
    EXPECT_FLOAT_EQ(d.geometry[0].Left, -560);
    EXPECT_FLOAT_EQ(d.geometry[0].NoteTempo, 77);
    EXPECT_FLOAT_EQ(d.geometry[21].Left, -60);  // a record never drawn: width 0
    EXPECT_FLOAT_EQ(d.geometry[21].NoteTempo, 0);
}

TEST(NoteDrawing, NoteNumbersOutsideTheRollAreNotClamped) {
    Drawn d;
    draw(d, makeSong({{480, "a", 90, {}}, {480, "i", -5, {}}}), plainScene());
    EXPECT_FLOAT_EQ(d.geometry[0].Top, -6 * 210);
    EXPECT_FLOAT_EQ(d.geometry[1].Top, 89 * 210);
    ASSERT_EQ(d.roll.of('F').size(), 2);
    EXPECT_DOUBLE_EQ(d.roll.of('F')[1].y1, 89 * 210);
}

TEST(NoteDrawing, RulerMarks) {
    ScriptedServices services;
    services.region = QStringLiteral("サビ");
    const NoteArrays notes = makeSong({{1920, "a", 60, {}},
                                       {1920, "i", 60, withOptions(QStringLiteral("label=A\\ntempo=140"))},
                                       {1920, "u", 60, {}}});
    NoteScene scene = plainScene();
    scene.SelStart = 1;
    scene.SelEnd = 2;
    Drawn d;
    draw(d, notes, scene, services);
    const QList<DrawOp>& r = d.ruler.ops;
    // Lane cleared first.
    EXPECT_EQ(r[0].kind, 'F');
    EXPECT_DOUBLE_EQ(r[0].y1, 210);
    // Note 0 begins at the left edge: the tempo in force there, 120.00.
    DrawOp edge = d.ruler.text(QStringLiteral("120.00"));
    EXPECT_EQ(edge.kind, 'T');
    EXPECT_DOUBLE_EQ(edge.x1, 0);
    EXPECT_DOUBLE_EQ(edge.y1, 180);
    EXPECT_EQ(edge.color, 142);
    // Note 1: label box at its x, the text one pixel in; its own tempo at height 180.
    bool sawLabelFill = false, sawLabelBox = false;
    for (const DrawOp& o : r) {
        if (o.kind == 'F' && o.x1 == 1920 && o.y1 == 15) {
            sawLabelFill = true;
            EXPECT_DOUBLE_EQ(o.x2, 1920 + 100);
            EXPECT_DOUBLE_EQ(o.y2, 195);
            EXPECT_EQ(o.color, 145);
        }
        if (o.kind == 'B' && o.x1 == 1920 && o.y1 == 15) {
            sawLabelBox = true;
            EXPECT_EQ(o.color, 146);
        }
    }
    EXPECT_TRUE(sawLabelFill);
    EXPECT_TRUE(sawLabelBox);
    const DrawOp label = d.ruler.text(QStringLiteral("A"));
    EXPECT_DOUBLE_EQ(label.x1, 1935);
    EXPECT_DOUBLE_EQ(label.y1, 30);
    EXPECT_EQ(label.color, 146);
    const DrawOp own = d.ruler.text(QStringLiteral("140.00"));
    EXPECT_DOUBLE_EQ(own.x1, 1920);
    EXPECT_DOUBLE_EQ(own.y1, 180);
    EXPECT_EQ(own.color, 141);
    // Region name of the selection, only at the selection start.
    const DrawOp region = d.ruler.text(QStringLiteral("サビ"));
    EXPECT_DOUBLE_EQ(region.x1, 1920 + 45);
    EXPECT_DOUBLE_EQ(region.y1, 60);
    EXPECT_EQ(region.color, 142);
    EXPECT_EQ(d.ruler.texts().count(QStringLiteral("サビ")), 1);
    // Selection bars of notes 1 and 2, 30 twips left of each note and one pixel narrower.
    QList<DrawOp> bars;
    for (const DrawOp& o : r)
        if (o.kind == 'F' && o.color == 143) bars.append(o);
    ASSERT_EQ(bars.size(), 2);
    EXPECT_DOUBLE_EQ(bars[0].x1, 1890);
    EXPECT_DOUBLE_EQ(bars[0].y1, 240);
    EXPECT_DOUBLE_EQ(bars[0].x2, 1890 + 1905);
    EXPECT_DOUBLE_EQ(bars[0].y2, 330);
    EXPECT_DOUBLE_EQ(bars[1].x1, 3840 - 30);
}

TEST(NoteDrawing, TempoAtTheLeftEdge) {
    // Note 0 sets 150 and lies off screen; note 1 crosses the left edge and shows the tempo in force
    // there; note 2 starts inside the view and prints nothing at the edge.
    const NoteArrays notes = makeSong({{1000, "a", 60, withOptions(QStringLiteral("tempo=150"))},
                                       {1000, "i", 60, {}},
                                       {3000, "u", 60, withOptions(QStringLiteral("tempo=90"))}});
    NoteScene scene = plainScene();
    scene.HScrollValue = 1;
    Drawn d;
    draw(d, notes, scene);
    QList<DrawOp> atEdge;
    for (const DrawOp& o : d.ruler.of('T'))
        if (o.x1 == 0 && o.y1 == 180 && o.color == 142) atEdge.append(o);
    ASSERT_EQ(atEdge.size(), 1);
    EXPECT_EQ(atEdge[0].text, QStringLiteral("150.00"));
    EXPECT_EQ(d.ruler.text(QStringLiteral("90.00")).color, 141);
    EXPECT_DOUBLE_EQ(d.ruler.text(QStringLiteral("90.00")).x1, 80);
    // A note starting exactly at the left edge counts as crossing it.
    const NoteArrays aligned = makeSong({{1920, "a", 60, withOptions(QStringLiteral("tempo=150"))},
                                         {1920, "i", 60, {}}});
    Drawn d3;
    draw(d3, aligned, scene);
    ASSERT_EQ(d3.roll.of('F').size(), 1);  // note 0 ends at the edge and is not drawn
    EXPECT_EQ(d3.ruler.text(QStringLiteral("150.00")).color, 142);
    EXPECT_DOUBLE_EQ(d3.ruler.text(QStringLiteral("150.00")).x1, 0);
    // The first note of the song carries its own tempo: that one is printed at the edge.
    Drawn d2;
    draw(d2, notes, plainScene());
    const DrawOp first = d2.ruler.text(QStringLiteral("150.00"));
    EXPECT_EQ(first.kind, 'T');
    EXPECT_DOUBLE_EQ(first.x1, 0);
}

TEST(NoteDrawing, PlayPositionCursorAndScrollNote) {
    // Beats of 500 ms at tempo 120; zoom 1 gives 3.84 twips a millisecond.
    const NoteArrays notes = makeSong({{1920, "a", 60, {}}, {1920, "i", 60, {}}, {1920, "R", 60, {}}});
    const struct {
        int hScroll;
        double width, inner;
        qint32 firstNote, posMs;
        float firstPre;        // pre-utterance left in the first played note's record
        qint32 scrollNote;
        bool cursor;
        double cursorX;
        int32_t note1Fill;     // -1: note 1 not drawn
    } cases[] = {
        {0, 9000, 9000, 0, 750, 0, -1, true, 1920 + 3.84 * 250, 144},   // note 1 sounds, in view
        {0, 9000, 9000, 0, 500, 0, -1, false, 0, 101},                  // on the boundary: nothing sounds
        {0, 9000, 3000, 0, 750, 0, 1, true, 1920 + 3.84 * 250, 144},    // reaches past the right edge
        {2, 9000, 9000, 0, 750, 0, 1, true, -1935 - 60 + 3.84 * 250, -1},  // scrolled out of view
        {0, 9000, 9000, 1, 150, 100, -1, true, 1920 + 3.84 * 50, 144},  // counted from the first played note
        {0, 9000, 9000, 1, 50, 100, -1, false, 0, 101},                 // before its pre-utterance
        {0, 9000, 9000, 0, 0, 0, -1, false, 0, 101},                    // stopped
        // Stopped, with the first played note's pre-utterance negative (its start lies before the
        // start of the output): nothing plays, so no cursor stays behind on a later redraw.
        {0, 9000, 9000, 1, 0, -100, -1, false, 0, 101},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.hScroll << " " << c.firstNote << " " << c.posMs);
        NoteScene scene = plainScene();
        scene.HScrollValue = c.hScroll;
        scene.PlayFirstNote = c.firstNote;
        scene.PlayPosMs = c.posMs;
        Drawn d{RecordingCanvas(c.width, 5295, c.inner), RecordingCanvas(c.width, 420), {}, {}, {}};
        d.geometry.resize(3);
        d.geometry[1].PreUtterMs = c.firstPre;
        d.geometry[1].Width = 1935;
        draw(d, notes, scene);
        EXPECT_EQ(d.result.PlayScrollNote, c.scrollNote);
        EXPECT_EQ(d.result.PlayCursorX.has_value(), c.cursor);
        if (c.cursor) EXPECT_NEAR(*d.result.PlayCursorX, c.cursorX, 1e-3);
        if (c.note1Fill >= 0) {
            bool found = false;
            for (const DrawOp& o : d.roll.of('F'))
                if (o.x1 == 1920) {
                    EXPECT_EQ(o.color, c.note1Fill);
                    found = true;
                }
            EXPECT_TRUE(found);
        }
    }
}

TEST(NoteDrawing, RestsAreNeverHighlighted) {
    // The rest sounds (500 .. 1000 ms) and stays in its rest colour; at the selection start it takes the
    // selection-start rest colour.
    const NoteArrays notes = makeSong({{1920, "a", 60, {}}, {1920, " r ", 60, {}}, {1920, "", 60, {}}});
    NoteScene scene = plainScene();
    scene.PlayPosMs = 700;
    Drawn d;
    draw(d, notes, scene);
    EXPECT_EQ(d.roll.of('F')[1].color, 121);
    EXPECT_TRUE(d.result.PlayCursorX.has_value());
    scene.SelStart = scene.SelEnd = 1;
    Drawn d2;
    draw(d2, notes, scene);
    EXPECT_EQ(d2.roll.of('F')[1].color, 122);
    EXPECT_EQ(d2.roll.of('B')[1].color, 112);
    // The empty lyric is a rest too, printed as nothing.
    EXPECT_EQ(d2.roll.of('F')[2].color, 121);
    EXPECT_EQ(d2.roll.of('T')[2].text, QString());
}

TEST(NoteDrawing, EnvelopeEntries) {
    using E = std::array<int16_t, 11>;
    const struct {
        QString env;
        E entries;
    } cases[] = {
        {"", {0, 5, 35, 0, 100, 100, 0, 0, 0, 0, 100}},
        {"0 5 35 0 100 100 0", {0, 5, 35, 0, 100, 100, 0, 0, 0, 0, 100}},
        {"1 2 3 4 5 6 7 % 8 9 10", {1, 2, 3, 4, 5, 6, 7, 0, 8, 9, 10}},
        {"1 2 3 4 5 6 7 % 8 9", {1, 2, 3, 4, 5, 6, 7, 0, 8, 9, 5}},
        {"1 2 3 4 5 6 7 % 8 9 ", {1, 2, 3, 4, 5, 6, 7, 0, 8, 9, 5}},
        {"2.5 3.5 x", {2, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        // Numbers beyond the 16-bit range are held at its ends instead of failing the drawing.
        {"99999 -99999 0 0 70000", {32767, -32768, 0, 0, 32767, 0, 0, 0, 0, 0, 32767}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.env.toStdString());
        EXPECT_EQ(NoteDrawing::envelopeEntries(c.env), c.entries);
    }
}

TEST(NoteDrawing, CurveViewBarsTimingAndEnvelope) {
    ScriptedServices services;
    const NoteArrays notes =
        makeSong({{1920, "a", 60, QStringLiteral("50:20:100\t\t\t\t\tenv=0 10 30 0 90 80 0")},
                  {1920, "i", 62, QStringLiteral("60:30:100")},
                  {1920, "u", 61, QStringLiteral("70:10:100\t\t\t\t\ttempo=150")}});
    NoteScene scene = plainScene();
    scene.ShowCurve = true;
    Drawn d;
    draw(d, notes, scene, services);
    // Every visible note's timing, from its own values (no voice bank is loaded).
    EXPECT_EQ(d.geometry.size(), 3);
    EXPECT_FLOAT_EQ(d.geometry[0].PreUtterMs, 50);
    EXPECT_FLOAT_EQ(d.geometry[1].PreUtterMs, 60);
    EXPECT_FLOAT_EQ(d.geometry[1].OverlapMs, 30);
    EXPECT_FLOAT_EQ(d.geometry[2].VelocityFactor, 1);
    EXPECT_EQ(d.geometry[0].Env, (std::array<int16_t, 11>{0, 10, 30, 0, 90, 80, 0, 0, 0, 0, 90}));
    EXPECT_EQ(d.geometry[1].Env[10], 100);
    // Notes are two-pixel bars at the bottom of their rows; no boxes; lyrics still at the row's top left.
    for (int i = 0; i < 3; ++i) {
        const double rowTop = (84 - notes.NoteNums[i]) * 210.0;
        bool bar = false;
        for (const DrawOp& o : d.roll.of('F'))
            if (o.x1 == 1920.0 * i && o.y1 == rowTop + 180 && o.y2 == rowTop + 210 && o.x2 == 1920.0 * i + 1905)
                bar = true;
        EXPECT_TRUE(bar) << i;
        EXPECT_DOUBLE_EQ(d.roll.text(notes.Lyrics[i]).x1, 1920.0 * i + 15);
        EXPECT_DOUBLE_EQ(d.roll.text(notes.Lyrics[i]).y1, rowTop + 15);
    }
    EXPECT_TRUE(d.roll.of('B').isEmpty());  // no note outlines (and no handles without mode 2)
}

TEST(NoteDrawing, FirstVisibleNoteTimingUsesTheTempoBeforeIt) {
    // Note 1 sets tempo 150 and wants 100 ms of pre-utterance after a quarter-beat note: the room is half
    // of note 0 at the tempo in force there (120: 62.5 ms). That holds whether note 0 is on screen (and
    // fills note 1's record) or scrolled away (note 1 is the first one drawn).
    const NoteArrays notes = makeSong({{480, "a", 60, QStringLiteral("0:0:100")},
                                       {3840, "i", 60, withOptions(QStringLiteral("tempo=150"), "100:0:100")},
                                       {1920, "u", 60, QStringLiteral("100:0:100")}});
    for (int hScroll : {0, 1}) {
        SCOPED_TRACE(hScroll);
        NoteScene scene = plainScene();
        scene.ShowCurve = true;
        scene.HScrollValue = hScroll;
        Drawn d;
        draw(d, notes, scene);
        EXPECT_FLOAT_EQ(d.geometry[1].PreUtterMs, 62.5f);
        EXPECT_FLOAT_EQ(d.geometry[1].StartPointMs, 37.5f);
        // Note 2 fits into half of note 1 at 150: no change.
        EXPECT_FLOAT_EQ(d.geometry[2].PreUtterMs, 100);
    }
}

}  // namespace

namespace {

// At zoom 0.5 a note of 2,000,000,000 ticks is 4,000,000,000 twips long, more than 32 bits hold; the
// scroll bar reaches beats where its left edge lies as far before the screen. It still fills the roll
// and a click anywhere on it finds it.
TEST(NoteDrawing, ANoteLongerThan32BitTwipsCoversTheRoll) {
    for (int hs : {0, 1000000}) {
        SCOPED_TRACE(hs);
        const NoteArrays notes = makeSong({{2000000000, QStringLiteral("a"), 50, {}}, {1920, QStringLiteral("b"), 50, {}}});
        NoteScene scene = plainScene();
        scene.Zoom = 0.5f;
        scene.HScrollValue = hs;
        Drawn d;
        draw(d, notes, scene);
        const NoteGeometryRecord& g = d.geometry[0];
        EXPECT_LE(g.Left, 0);
        EXPECT_GE(double(g.Left) + g.Width, d.roll.width());
        const QList<DrawOp> boxes = d.roll.of('F');
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_LE(boxes[0].x1, 0);
        EXPECT_GE(boxes[0].x2, d.roll.width());
    }
}

}  // namespace
