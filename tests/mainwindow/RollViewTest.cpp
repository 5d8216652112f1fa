// The roll's coordinate system, zoom and row-height steps, the wheel table and the scroll helpers.
#include "mainwindow/RollCoordinates.h"
#include "mainwindow/ScrollHelpers.h"
#include "mainwindow/ViewScale.h"
#include "mainwindow/WheelSteps.h"

#include <limits>

#include <gtest/gtest.h>

using namespace tova;

namespace {

TEST(RollCoordinates, MappingsBothWays) {
    // x of a tick and back, at the view's scroll value and zoom.
    EXPECT_DOUBLE_EQ(RollCoordinates::xOfTick(3840, 1, 2.0f), 960);
    EXPECT_DOUBLE_EQ(RollCoordinates::tickAtX(960, 1, 2.0f), 3840);
    EXPECT_DOUBLE_EQ(RollCoordinates::xOfTick(0, 2, 0.5f), -7680);
    EXPECT_EQ(RollCoordinates::widthOfLength(480, 1.0f), 480);
    EXPECT_EQ(RollCoordinates::widthOfLength(5, 2.0f), 2);   // 2.5 rounds to even
    EXPECT_EQ(RollCoordinates::widthOfLength(7, 2.0f), 4);   // 3.5 rounds to even
    // Rows: note 84 is row 0; the vertical value scrolls rows off the top.
    EXPECT_EQ(RollCoordinates::rowTop(84, 0, 210), 0);
    EXPECT_EQ(RollCoordinates::rowTop(83, 1, 210), 0);
    EXPECT_EQ(RollCoordinates::rowTop(60, 28, 210), -4 * 210);
    const struct { double y; int v; int rh; int note; } cases[] = {
        {0, 0, 210, 84}, {209, 0, 210, 84}, {210, 0, 210, 83}, {0, 28, 210, 56},
        {-1, 0, 210, 84},          // above the top row: Int(-0.004) = -1 gives 85, clamped to 84
        {210 * 90, 0, 210, 0},     // below the bottom row: clamped to 0
        {150 * 10 + 149, 5, 150, 69},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.y);
        EXPECT_EQ(RollCoordinates::noteAtY(c.y, c.v, c.rh), c.note);
    }
}

TEST(RollCoordinates, ScrollRanges) {
    // An empty song offers 32 beats; a long one its length past the roll's width plus 32.
    EXPECT_EQ(RollCoordinates::hScrollMax(0, 8655, 2.0f), 32);
    EXPECT_EQ(RollCoordinates::hScrollMax(1920 * 100, 9600, 2.0f), 100 - 10 + 32);
    EXPECT_EQ(RollCoordinates::hScrollMax(1920 * 10, 9600, 2.0f), 32);  // song shorter than the view
    // A song of more beats than 16 bits count is reached to its end.
    EXPECT_EQ(RollCoordinates::hScrollMax(qint64(1920) * 100000, 0, 1.0f), 100000 + 32);
    EXPECT_EQ(RollCoordinates::hScrollMax(qint64(1920) * 50000, 9600, 2.0f), 50000 - 10 + 32);
    // Vertical: the rows that do not fit; none when all 85 fit.
    EXPECT_EQ(RollCoordinates::vScrollMax(210, 5295), 60);   // (17850 - 5295) / 210 = 59.79
    EXPECT_EQ(RollCoordinates::vScrollMax(150, 12750), 0);
    EXPECT_EQ(RollCoordinates::vScrollMax(150, 20000), 0);
    EXPECT_EQ(RollCoordinates::vScrollMax(360, 0), 85);
}

TEST(ViewScale, ZoomSequenceAndEnabledStates) {
    ViewScale v;
    v.Zoom = 8.0f;
    v.ZoomOutEnabled = false;
    // Zooming in walks 8, 7, ... 1, 0.5, then stays; only the last step disables zoom in.
    const float in[] = {7, 6, 5, 4, 3, 2, 1, 0.5f, 0.5f};
    for (float z : in) {
        v.zoomIn();
        EXPECT_FLOAT_EQ(v.Zoom, z);
        EXPECT_TRUE(v.ZoomOutEnabled);
        EXPECT_EQ(v.ZoomInEnabled, z > 0.5f);
    }
    // Zooming out walks back: 0.5 to 1 enables zoom in again; 7 to 8 disables zoom out.
    const float out[] = {1, 2, 3, 4, 5, 6, 7, 8, 8};
    for (float z : out) {
        v.zoomOut();
        EXPECT_FLOAT_EQ(v.Zoom, z);
        EXPECT_TRUE(v.ZoomInEnabled);
        EXPECT_EQ(v.ZoomOutEnabled, z < 8.0f);
    }
}

TEST(ViewScale, RowHeightStopsAtItsLimits) {
    ViewScale v;
    EXPECT_EQ(v.RowHeight, 210);
    v.RowHeight = 360;
    v.heightLarge();
    EXPECT_EQ(v.RowHeight, 360);
    v.heightSmall();
    EXPECT_EQ(v.RowHeight, 330);
    v.RowHeight = 150;
    v.heightSmall();
    EXPECT_EQ(v.RowHeight, 150);
    v.heightLarge();
    EXPECT_EQ(v.RowHeight, 180);
}

TEST(WheelSteps, Table) {
    const int16_t kShift = 1, kCtrl = 2, kBoth = 3;
    struct Case {
        const char* what;
        float zoom;
        int16_t rowHeight;
        int16_t direction;
        int16_t keys;
        int hValue, vValue;
        float zoomAfter;
        int16_t rowHeightAfter;
        bool redraw;
        int hAfter, vAfter;  // -1: not set
    };
    const Case cases[] = {
        {"ctrl+shift away at 1 gives 0.5", 1, 210, +1, kBoth, 5, 5, 0.5f, 210, true, -1, -1},
        {"ctrl+shift away at 0.5 stays", 0.5f, 210, +1, kBoth, 5, 5, 0.5f, 210, true, -1, -1},
        {"ctrl+shift towards at 0.5 gives 1", 0.5f, 210, -1, kBoth, 5, 5, 1, 210, true, -1, -1},
        {"ctrl+shift towards at 8 stays", 8, 210, -1, kBoth, 5, 5, 8, 210, true, -1, -1},
        {"ctrl+shift towards at 3 gives 4", 3, 210, -1, kBoth, 5, 5, 4, 210, true, -1, -1},
        {"ctrl away grows the rows", 2, 210, +1, kCtrl, 5, 5, 2, 240, true, -1, -1},
        {"ctrl towards at 150 stays", 2, 150, -1, kCtrl, 5, 5, 2, 150, true, -1, -1},
        {"ctrl away at 360 stays", 2, 360, +1, kCtrl, 5, 5, 2, 360, true, -1, -1},
        {"shift away at 0 does nothing", 2, 210, +1, kShift, 0, 5, 2, 210, false, -1, -1},
        {"shift towards scrolls right", 2, 210, -1, kShift, 0, 5, 2, 210, false, 1, -1},
        {"shift towards at the maximum does nothing", 2, 210, -1, kShift, 40, 5, 2, 210, false, -1, -1},
        {"plain away shows higher notes", 2, 210, +1, 0, 0, 5, 2, 210, false, -1, 4},
        {"plain away at the top does nothing", 2, 210, +1, 0, 0, 1, 2, 210, false, -1, -1},
        {"plain towards shows lower notes", 2, 210, -1, 0, 0, 5, 2, 210, false, -1, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ViewScale view;
        view.Zoom = c.zoom;
        view.RowHeight = c.rowHeight;
        view.ZoomInEnabled = true;
        view.ZoomOutEnabled = true;
        ScrollBarState h{0, 40, c.hValue};
        ScrollBarState v{1, 60, c.vValue};
        WheelOutcome out = WheelSteps::apply(c.direction, c.keys, view, h, v);
        EXPECT_FLOAT_EQ(view.Zoom, c.zoomAfter);
        EXPECT_EQ(view.RowHeight, c.rowHeightAfter);
        EXPECT_EQ(out.redraw, c.redraw);
        EXPECT_EQ(out.hValue.value_or(-1), c.hAfter);
        EXPECT_EQ(out.vValue.value_or(-1), c.vAfter);
        // The wheel never touches the enabled state of the zoom commands.
        EXPECT_TRUE(view.ZoomInEnabled);
        EXPECT_TRUE(view.ZoomOutEnabled);
    }
}

TEST(WheelSteps, VerticalBarWhoseMaximumFellBelowItsMinimum) {
    // All 85 rows fit: the vertical bar runs from 1 down to 0 and both values are reachable.
    ViewScale view;
    ScrollBarState h{0, 32, 0};
    ScrollBarState v{1, 0, 1};
    EXPECT_EQ(WheelSteps::apply(-1, 0, view, h, v).vValue.value_or(-1), -1);
    EXPECT_EQ(WheelSteps::apply(+1, 0, view, h, v).vValue.value_or(-1), 0);
}

TEST(ScrollHelpers, ScrollToNoteStart) {
    const QList<qint32> lengths{3000, 1920, 960, 1920 * 10};
    ScrollBarState h{0, 40, 7};
    // A note starting at tick 3000: Int(3000/1920 - 1) = 0; a lead of one half rounds to 0 and gives 1.
    EXPECT_EQ(ScrollHelpers::scrollToNoteStart(lengths, 1, h), 0);
    EXPECT_EQ(ScrollHelpers::scrollToNoteStart(lengths, 1, h, 0.5), 1);
    EXPECT_EQ(ScrollHelpers::scrollToNoteStart(lengths, 1, h, 1.5), 0);  // 1.5 rounds to 2: Int(-0.44) = -1, kept at 0
    EXPECT_EQ(ScrollHelpers::scrollToNoteStart(lengths, 3, h, 0.0), 3);       // 5880 / 1920 = 3.06
    ScrollBarState small{0, 2, 0};
    EXPECT_EQ(ScrollHelpers::scrollToNoteStart(lengths, 3, small, 0.0), 2);  // kept within the range
}

TEST(ScrollHelpers, ScrollToSelection) {
    const QList<qint32> lengths{1920, 1920, 1920, 1920};
    NoteGeometryList g(4);
    g[2].Left = 600;
    g[2].Width = 900;
    ScrollBarState h{0, 40, 0};
    // The selection-start note lies inside the roll: nothing happens unless forced.
    EXPECT_FALSE(ScrollHelpers::scrollToSelection(lengths, 2, false, g, 2, 8640, 2.0f, h).has_value());
    // Forced: Int((3840 - (4320 - 1920) * 2) / 1920) + 1 = Int(-0.5) + 1 = 0.
    EXPECT_EQ(*ScrollHelpers::scrollToSelection(lengths, 2, true, g, 2, 8640, 2.0f, h), 0);
    // Reaching past the right edge counts as out of view.
    g[2].Width = 8040;
    EXPECT_TRUE(ScrollHelpers::scrollToSelection(lengths, 2, false, g, 2, 8640, 2.0f, h).has_value());
    // Left of the left edge, too; a far note scrolls to its beat minus the half view.
    g[3].Left = -1;
    EXPECT_EQ(*ScrollHelpers::scrollToSelection(lengths, 3, false, g, 3, 1920, 1.0f, h), 4);
    // An index outside the drawn records is not checked for visibility.
    EXPECT_TRUE(ScrollHelpers::scrollToSelection(lengths, 9, false, g, 2, 8640, 2.0f, h).has_value());
}

TEST(ScrollHelpers, NoteToRightEdgeAndInsideWindow) {
    const QList<qint32> lengths{1920, 1920, 1920 * 20, 480};
    // A note ending inside the visible span gives 0.
    EXPECT_EQ(ScrollHelpers::noteToRightEdge(lengths, 0, 8655, 255, 2.0f), 0);
    // span = 8400 * 2 = 16800; end of note 2 = 42240: -Int(-25440 / 1920) = 14.
    EXPECT_EQ(ScrollHelpers::noteToRightEdge(lengths, 2, 8655, 255, 2.0f), 14);

    // Inside: starts right of the left edge and ends within the span.
    EXPECT_FALSE(ScrollHelpers::noteToInsideWindow(lengths, 4, 1, 0, 8655, 255, 2.0f).has_value());
    // A note starting exactly at the left edge counts as outside; the value stays the same.
    EXPECT_EQ(*ScrollHelpers::noteToInsideWindow(lengths, 4, 0, 0, 8655, 255, 2.0f), 0);
    EXPECT_EQ(*ScrollHelpers::noteToInsideWindow(lengths, 4, 1, 1, 8655, 255, 2.0f), 1);
    // Ending past the span: its start beat goes to the left edge.
    EXPECT_EQ(*ScrollHelpers::noteToInsideWindow(lengths, 4, 2, 0, 8655, 255, 2.0f), 2);
    // Before the left edge.
    EXPECT_EQ(*ScrollHelpers::noteToInsideWindow(lengths, 4, 3, 30, 8655, 255, 2.0f), 22);
    // Outside the notes: nothing.
    EXPECT_FALSE(ScrollHelpers::noteToInsideWindow(lengths, 4, 4, 0, 8655, 255, 2.0f).has_value());
    EXPECT_FALSE(ScrollHelpers::noteToInsideWindow(lengths, 4, -1, 0, 8655, 255, 2.0f).has_value());
}

TEST(ScrollHelpers, NotesPastTheLargestBarValue) {
    // 2,100 notes of the longest length: the last starts after beat 2^31, past what the bar's 32 bits
    // count. Scrolling to it goes as far as the bar goes, not back to the start of the song.
    const QList<qint32> lengths(2100, std::numeric_limits<qint32>::max());
    const qint32 last = 2099;
    ASSERT_GT(RollCoordinates::startTick(lengths, last) / Roll::TicksPerBeat, qint64(std::numeric_limits<int>::max()));
    EXPECT_EQ(ScrollHelpers::noteToRightEdge(lengths, last, 8655, 255, 2.0f), std::numeric_limits<int>::max());
    EXPECT_EQ(*ScrollHelpers::noteToInsideWindow(lengths, 2100, last, 0, 8655, 255, 2.0f), std::numeric_limits<int>::max());
}

}  // namespace
