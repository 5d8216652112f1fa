// The fixed layers of the roll, drawn onto recording canvases.
#include "mainwindow/BackgroundDrawing.h"
#include "mainwindow/RollCanvas.h"

#include <QList>

#include <limits>

#include <gtest/gtest.h>

using namespace tova;

namespace {

struct Op {
    char kind;  // 'L' line, 'B' box, 'F' filled box, 'T' text
    double x1, y1, x2, y2;
    int32_t color;
    QString text;
};

class RecordingCanvas : public RollCanvas {
public:
    RecordingCanvas(double w, double h) : w_(w), h_(h) {}
    QList<Op> ops;
    double width() const override { return w_; }
    double height() const override { return h_; }
    void line(double x1, double y1, double x2, double y2, int32_t c) override { ops.append({'L', x1, y1, x2, y2, c, {}}); }
    void box(double x1, double y1, double x2, double y2, int32_t c) override { ops.append({'B', x1, y1, x2, y2, c, {}}); }
    void fillBox(double x1, double y1, double x2, double y2, int32_t c) override { ops.append({'F', x1, y1, x2, y2, c, {}}); }
    void setFontSize(double p) override { size_ = p; }
    double fontSize() const override { return size_; }
    double textWidth(const QString& t) const override { return 100.0 * t.size(); }
    void print(double x, double y, const QString& t, int32_t c) override { ops.append({'T', x, y, 0, 0, c, t}); }
    QList<Op> texts() const {
        QList<Op> r;
        for (const Op& o : ops)
            if (o.kind == 'T') r.append(o);
        return r;
    }

private:
    double w_, h_, size_ = 0;
};

BackgroundColors distinctColors() {
    BackgroundColors c;
    c.Piano1 = 1; c.Piano2 = 2; c.Roll1 = 3; c.Roll2 = 4; c.Fore = 5; c.Shadow = 6; c.Sepa1 = 7; c.Sepa2 = 8; c.Back = 9;
    return c;
}

TEST(BackgroundDrawing, KeyPatternAndLabels) {
    // From a C row down: C B A# A G# G F# F E D# D C#.
    const QString expected = QStringLiteral("021010102101");
    for (int r = 0; r < 24; ++r) EXPECT_EQ(BackgroundDrawing::keyKind(r), expected.at(r % 12)) << r;
    EXPECT_EQ(BackgroundDrawing::keyKind(-1), QChar(u'1'));  // the row above the top (C#) is a black key
    EXPECT_EQ(BackgroundDrawing::octaveLabel(0), QStringLiteral("C8"));
    EXPECT_EQ(BackgroundDrawing::octaveLabel(36), QStringLiteral("C5"));
    EXPECT_EQ(BackgroundDrawing::octaveLabel(84), QStringLiteral("C1"));
    EXPECT_EQ(BackgroundDrawing::rollFontSize(150), 7);
    EXPECT_EQ(BackgroundDrawing::rollFontSize(210), 9);
    EXPECT_EQ(BackgroundDrawing::rollFontSize(360), 14);
}

TEST(BackgroundDrawing, WholeRollShowsEveryOctaveLabel) {
    // A roll tall enough for all rows: C8 on row 0 .. C1 on row 84, each at the keyboard's right - 315.
    RecordingCanvas kb(1320, 85 * 150), roll(8655, 85 * 150), ruler(8655, 420);
    ScrollBarState h{0, 0, 0}, v{1, 60, 0};
    BackgroundView view;
    view.RowHeight = 150;
    BackgroundDrawing::draw(view, distinctColors(), h, v, kb, roll, ruler);
    EXPECT_EQ(v.Max, 0);
    EXPECT_EQ(v.Value, 0);  // the value followed the maximum into the range 0..1
    QList<Op> labels = kb.texts();
    ASSERT_EQ(labels.size(), 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(labels[i].text, QStringLiteral("C%1").arg(8 - i));
        EXPECT_DOUBLE_EQ(labels[i].x1, 1320 - 315);
        EXPECT_DOUBLE_EQ(labels[i].y1, 150.0 * 12 * i);
        EXPECT_EQ(labels[i].color, 5);
    }
    // The last row painted is row 85 (one below note 0), never further.
    double lowest = 0;
    for (const Op& o : roll.ops)
        if (o.kind == 'F') lowest = std::max(lowest, o.y2);
    EXPECT_DOUBLE_EQ(lowest, 150.0 * 86);
}

TEST(BackgroundDrawing, RowsAndKeysAtAScrollPosition) {
    RecordingCanvas kb(1320, 2100), roll(8640, 2100), ruler(8655, 420);
    ScrollBarState h{0, 0, 0}, v{1, 0, 12};
    BackgroundView view;  // row height 210, zoom 2, 4 beats a bar
    BackgroundDrawing::draw(view, distinctColors(), h, v, kb, roll, ruler);
    EXPECT_EQ(v.Max, 75);
    EXPECT_EQ(h.Max, 32);
    EXPECT_EQ(roll.fontSize(), 9);
    // Rows 11 .. 22 are painted (one above the view, ten in it, one more below).
    QList<Op> fills;
    for (const Op& o : roll.ops)
        if (o.kind == 'F') fills.append(o);
    ASSERT_EQ(fills.size(), 12);
    EXPECT_DOUBLE_EQ(fills[0].y1, -210 + 15);  // row 11 (C#) lies just above the view
    EXPECT_EQ(fills[0].color, 4);
    EXPECT_DOUBLE_EQ(fills[1].y1, 15);         // row 12 is a C at the top
    EXPECT_EQ(fills[1].color, 3);
    // The line under the C row is the foreground colour, others the shadow colour.
    QList<Op> rowLines;
    for (const Op& o : roll.ops)
        if (o.kind == 'L' && o.y1 == o.y2) rowLines.append(o);
    EXPECT_EQ(rowLines[1].color, 5);
    EXPECT_DOUBLE_EQ(rowLines[1].y1, 210);
    EXPECT_EQ(rowLines[2].color, 6);
    // Keyboard: background, then row 11 (black key: a border line and the key), row 12 (C: label only),
    // row 13 (B: border line at its top).
    ASSERT_GE(kb.ops.size(), 5);
    EXPECT_EQ(kb.ops[0].kind, 'F');
    EXPECT_EQ(kb.ops[0].color, 1);
    EXPECT_EQ(kb.ops[1].kind, 'L');
    EXPECT_DOUBLE_EQ(kb.ops[1].x1, 660);
    EXPECT_DOUBLE_EQ(kb.ops[1].y1, -210 + 105);
    EXPECT_EQ(kb.ops[2].kind, 'F');
    EXPECT_DOUBLE_EQ(kb.ops[2].x2, 660);
    EXPECT_EQ(kb.ops[3].kind, 'T');
    EXPECT_EQ(kb.ops[3].text, QStringLiteral("C7"));
    EXPECT_EQ(kb.ops[4].kind, 'L');
    EXPECT_DOUBLE_EQ(kb.ops[4].y1, 210);
    EXPECT_DOUBLE_EQ(kb.ops[4].x2, 1320);
}

TEST(BackgroundDrawing, BeatLinesAndMeasureNumbers) {
    struct Case { const char* what; float zoom; int beatsPerBar; int hValue; int tpb; QList<double> numberX; QStringList numbers; };
    const Case cases[] = {
        // At the start of the song measure 0 stands 45 twips left of the ruler's edge, the others 120.
        {"4/4 at the start", 2.0f, 4, 0, 960, {-45, 3840 - 120, 7680 - 120}, {" 0", " 1", " 2"}},
        {"3/4 counts in threes", 2.0f, 3, 0, 960, {-45, 2880 - 120, 5760 - 120}, {" 0", " 1", " 2"}},
        {"scrolled to beat 2", 2.0f, 4, 2, 960, {1920 - 120, 5760 - 120}, {" 1", " 2"}},
        {"zoom 8", 8.0f, 4, 0, 240, {}, {}},
        {"zoom 0.5", 0.5f, 4, 0, 3840, {-45}, {" 0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingCanvas kb(1320, 2100), roll(8640, 2100), ruler(8655, 420);
        ScrollBarState h{0, 100, c.hValue}, v{1, 0, 30};
        BackgroundView view;
        view.Zoom = c.zoom;
        view.BeatsPerBar = c.beatsPerBar;
        BackgroundDrawing::draw(view, distinctColors(), h, v, kb, roll, ruler);
        EXPECT_EQ(ruler.ops[0].kind, 'F');
        EXPECT_EQ(ruler.ops[0].color, 9);
        QList<Op> beatLines;
        for (const Op& o : roll.ops)
            if (o.kind == 'L' && o.x1 == o.x2) beatLines.append(o);
        const int count = int(std::nearbyint(8640.0 / c.tpb));
        ASSERT_EQ(beatLines.size(), count + 1);
        for (int j = 0; j <= count; ++j) {
            EXPECT_DOUBLE_EQ(beatLines[j].x1, double(c.tpb) * j);
            EXPECT_EQ(beatLines[j].color, (c.hValue + j) % c.beatsPerBar == 0 ? 7 : 8);
        }
        if (c.numbers.isEmpty()) continue;
        QList<Op> numbers = ruler.texts();
        ASSERT_GE(numbers.size(), c.numbers.size());
        for (int i = 0; i < c.numbers.size(); ++i) {
            EXPECT_EQ(numbers[i].text, c.numbers[i]);
            EXPECT_DOUBLE_EQ(numbers[i].x1, c.numberX[i]);
            EXPECT_DOUBLE_EQ(numbers[i].y1, 15);
        }
    }
}

// A song of more than 2^31 beats: the bar stops at the largest 32-bit value, and the beats shown from
// there count on past it.
TEST(BackgroundDrawing, MeasureNumbersAtTheEndOfTheLongestBar) {
    RecordingCanvas kb(1320, 2100), roll(8640, 2100), ruler(8655, 420);
    ScrollBarState h{0, 100, 0}, v{1, 0, 30};
    BackgroundView view;
    view.Zoom = 2.0f;
    view.BeatsPerBar = 4;
    view.SongLength = qint64(1920) * std::numeric_limits<int>::max() * 2;
    h.Max = h.Value = std::numeric_limits<int>::max();
    BackgroundDrawing::draw(view, distinctColors(), h, v, kb, roll, ruler);
    ASSERT_EQ(h.Value, std::numeric_limits<int>::max());
    // Beat 2^31 - 1 is the last of a measure: the next measure, 2^29, starts one beat (960 twips) in.
    const QList<Op> numbers = ruler.texts();
    ASSERT_GE(numbers.size(), 1);
    EXPECT_EQ(numbers[0].text, QStringLiteral(" 536870912"));
    EXPECT_DOUBLE_EQ(numbers[0].x1, 960 - 120);
    EXPECT_EQ(numbers[1].text, QStringLiteral(" 536870913"));
}

TEST(BackgroundDrawing, ToneLabel) {
    RecordingCanvas kb(1320, 2100);
    // Narrow names keep the 315-twip label; "C#4" is 300 wide here (100 a character), "C4" 200.
    ToneLabelPlacement p = BackgroundDrawing::toneLabel(36, 28, 210, 1320, kb);
    EXPECT_TRUE(p.visible);
    EXPECT_EQ(p.caption, QStringLiteral("C4"));
    EXPECT_DOUBLE_EQ(p.width, 315);
    EXPECT_DOUBLE_EQ(p.left, 1320 - 315);
    EXPECT_DOUBLE_EQ(p.top, (84 - 36 - 28) * 210.0);
    // A wider name gives a label exactly as wide as the text.
    p = BackgroundDrawing::toneLabel(37, 0, 210, 1320, kb);
    EXPECT_EQ(p.caption, QStringLiteral("C#4"));
    EXPECT_DOUBLE_EQ(p.width, 315);
    struct WideCanvas : RecordingCanvas {
        using RecordingCanvas::RecordingCanvas;
        double textWidth(const QString& t) const override { return 200.0 * t.size(); }
    } w2(1320, 2100);
    p = BackgroundDrawing::toneLabel(37, 0, 210, 1320, w2);
    EXPECT_DOUBLE_EQ(p.width, 600);
    EXPECT_DOUBLE_EQ(p.left, 720);
    // Outside the 85 rows: hidden.
    EXPECT_FALSE(BackgroundDrawing::toneLabel(-1, 0, 210, 1320, kb).visible);
    EXPECT_FALSE(BackgroundDrawing::toneLabel(85, 0, 210, 1320, kb).visible);
}

}  // namespace
