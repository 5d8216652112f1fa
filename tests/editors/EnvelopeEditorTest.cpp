// The envelope text, and the envelope editor's slots, buttons, graph geometry and handle dragging.

#include "editors/EnvelopeEditor.h"
#include "editors/EnvelopeText.h"

#include <gtest/gtest.h>

#include <vector>

namespace tova {
namespace {

TEST(EnvelopeText, ReadingIsPositional) {
    const struct {
        const char* text;
        const char* fields;  // the eleven fields joined by "|"
    } cases[] = {
        {"", "0|5|35|0|100|100|0||||"},
        {"0,5,35,0,100,100,0,%,10", "0|5|35|0|100|100|0|%|10||"},
        {"0 5 35 0 100 100 0 x 10 20 80", "0|5|35|0|100|100|0|x|10|20|80"},  // the marker is not examined
        {"0  5 35 0 100 100 0", "0||5|35|0|100|100|0|||"},                    // two blanks: an empty field
        {"1 2 3 4 5 6 7 % 8 9 10 11 12", "1|2|3|4|5|6|7|%|8|9|10"},           // past eleven: dropped
        {"1 2", "1|2|||||||||"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ReadEnvelopeFields(QString::fromLatin1(c.text)).join(u'|'), QString::fromLatin1(c.fields));
    }
}

TEST(EnvelopeText, WritingNormalisesTheMainValuesAndAddsThePercentPartOnlyWhenNeeded) {
    const QStringList def{"0", "5", "35", "0", "100", "100", "0"};
    const struct {
        QStringList main;
        const char *p4, *p5, *v5, *text;
    } cases[] = {
        {def, "", "", "", ""},  // the default is the empty text
        {def, "10", "", "", "0 5 35 0 100 100 0 % 10"},
        {def, "", "10", "100", "0 5 35 0 100 100 0 % 0 10 100"},
        {def, "10", "", "80", "0 5 35 0 100 100 0 % 10  80"},  // an empty p5 keeps its place
        {{"5.0", "abc", "35", "0", "100", "100", "0"}, "", "", "", "5 0 35 0 100 100 0"},
        {{"1.25", "", "35", "0", "100", "100", "0"}, "7.50", "", "", "1.25 0 35 0 100 100 0 % 7.5"},
    };
    for (const auto& c : cases) {
        const QString text = WriteEnvelopeText(c.main, QString::fromLatin1(c.p4), QString::fromLatin1(c.p5), QString::fromLatin1(c.v5));
        EXPECT_EQ(text, QString::fromLatin1(c.text));
    }
    // What is written reads back into the same places.
    const QStringList back = ReadEnvelopeFields(QStringLiteral("0 5 35 0 100 100 0 % 10  80"));
    EXPECT_EQ(back[8], QStringLiteral("10"));
    EXPECT_EQ(back[9], QString());
    EXPECT_EQ(back[10], QStringLiteral("80"));
}

// The default-envelope command's arguments: a 480 ms note after a rest of 120 ms, pre 20, ovl 10.
EnvelopeDialogArgs defaultsArgs(const QString& env = QString()) {
    EnvelopeDialogArgs a;
    a.prevIsRest = true;
    a.prevLengthMs = 120;
    a.noteLengthMs = 480;
    a.envelope = env;
    a.preutterance = QStringLiteral("20");
    a.overlap = QStringLiteral("10");
    a.otoPre = 20;
    a.otoOverlap = 10;
    return a;
}

TEST(EnvelopeEditor, OpeningTheEmptyTextAndAcceptingItUnchangedGivesTheEmptyText) {
    EnvelopeDialogArgs a = defaultsArgs();
    EnvelopeEditor e;
    ASSERT_TRUE(e.setUp(a));
    EXPECT_EQ(a.envelope, QStringLiteral("0 5 35 0 100 100 0"));  // replaced before showing, even on cancel
    EXPECT_EQ(e.EnvParams[1], QStringLiteral("5"));
    EXPECT_EQ(e.EnvParams[9], QString());
    EXPECT_EQ(e.EnvParams[11], QString());
    e.writeBack(a);
    EXPECT_EQ(a.envelope, QString());
    EXPECT_EQ(a.preutterance, QStringLiteral("20"));

    EnvelopeDialogArgs none = defaultsArgs();
    none.noteLengthMs = 0;
    EXPECT_FALSE(EnvelopeEditor().setUp(none));
    EXPECT_EQ(none.envelope, QString());
}

TEST(EnvelopeEditor, ButtonsAndTypedValues) {
    EnvelopeDialogArgs a = defaultsArgs();
    EnvelopeEditor e;
    e.setUp(a);
    e.txtParam_Change(0, QStringLiteral("-"));
    EXPECT_EQ(e.EnvParams[0], QStringLiteral("0"));
    e.txtParam_Change(0, QStringLiteral("12."));
    EXPECT_EQ(e.EnvParams[0], QStringLiteral("12"));
    e.txtParam_Change(0, QStringLiteral("-7"));
    EXPECT_EQ(e.EnvParams[0], QStringLiteral("0"));
    e.txtParam_Change(9, QString());
    EXPECT_EQ(e.EnvParams[9], QString());  // empty boxes stay empty

    e.cmdP5_Click();
    e.writeBack(a);
    EXPECT_EQ(a.envelope, QStringLiteral("0 5 35 0 100 100 0 % 0 10 100"));

    e.cmdReset_Click();
    e.writeBack(a);
    EXPECT_EQ(a.envelope, QString());
    EXPECT_EQ(a.preutterance, QString());  // the voice bank's values apply
    EXPECT_EQ(a.overlap, QString());

    a.otoPre = 33.5f;  // rounds to even: 34
    a.otoOverlap = 12.5f;  // 12
    EnvelopeEditor g;
    g.setUp(a);
    g.cmdGen_Click();
    EXPECT_EQ(g.EnvParams[7], QStringLiteral("34"));
    EXPECT_EQ(g.EnvParams[8], QStringLiteral("12"));
}

TEST(EnvelopeEditor, NormalisingShrinksTheTimesToTheSoundingSpan) {
    // p1 + p2 + p5 + p3 + p4 = 200 against 100 ms available (80 ms note + pre 20): halved, rounded down.
    EnvelopeDialogArgs a = defaultsArgs(QStringLiteral("21 41 61 0 100 100 0 % 37 40"));
    a.noteLengthMs = 80;
    a.preutterance.clear();
    EnvelopeEditor e;
    e.setUp(a);
    e.cmdNormal_Click();
    EXPECT_EQ(e.EnvParams[0], QStringLiteral("10"));
    EXPECT_EQ(e.EnvParams[1], QStringLiteral("20"));
    EXPECT_EQ(e.EnvParams[10], QStringLiteral("20"));
    EXPECT_EQ(e.EnvParams[2], QStringLiteral("30"));
    EXPECT_EQ(e.EnvParams[9], QStringLiteral("18"));
    EXPECT_EQ(e.EnvParams[3], QStringLiteral("0"));  // volumes untouched
    // Already fitting: nothing changes, and empty p4, p5 stay empty.
    EnvelopeEditor f;
    EnvelopeDialogArgs d = defaultsArgs();
    f.setUp(d);
    f.cmdNormal_Click();
    EXPECT_EQ(f.EnvParams[9], QString());
    EXPECT_EQ(f.EnvParams[0], QStringLiteral("0"));
}

TEST(EnvelopeEditor, DefaultGeometryAtTheInitialSize) {
    EnvelopeDialogArgs a = defaultsArgs();
    EnvelopeEditor e;
    e.setUp(a);
    EXPECT_DOUBLE_EQ(e.GraphRight, 7200);
    EXPECT_DOUBLE_EQ(e.GraphBottom, 2475);
    EXPECT_DOUBLE_EQ(e.ScaleY, 10.575);
    EXPECT_NEAR(e.ScaleX, 14.28, 1e-9);
    const struct {
        int handle;
        double left, top;
    } expected[] = {{EnvelopeEditor::P1, 60, 2475},
                    {EnvelopeEditor::P2, 131.4, 1417.5},
                    {EnvelopeEditor::P5, 131.4, 1417.5},  // on P2 while p5, v5 are empty
                    {EnvelopeEditor::P3, 6700.2, 1417.5},
                    {EnvelopeEditor::P4, 7200, 2475}};
    for (const auto& x : expected) {
        SCOPED_TRACE(x.handle);
        EXPECT_NEAR(e.HandleLeft[size_t(x.handle)], x.left, 1e-9);
        EXPECT_NEAR(e.HandleTop[size_t(x.handle)], x.top, 1e-9);
    }
    EXPECT_EQ(e.LineFrom[5], e.LineTo[5]);  // Line6 has no length
    EXPECT_EQ(e.LineTo[4], QPointF(7230, 2505));   // Line5 drops to 0 % at the right edge
    EXPECT_DOUBLE_EQ(e.BottomRowTop, 2895 - 375 - 60);

    // A larger dialog stretches the graph; the points keep their times and volumes.
    e.Form_Resize(7320 * 2, 2895 * 2);
    EXPECT_NEAR((e.HandleLeft[EnvelopeEditor::P2] - 60) / e.ScaleX, 5, 1e-9);
    EXPECT_NEAR((e.GraphBottom - e.HandleTop[EnvelopeEditor::P2]) / e.ScaleY, 100, 1e-9);
    EXPECT_DOUBLE_EQ(e.BottomRowTop, 2895 * 2 - 375 - 60);
}

TEST(EnvelopeEditor, MarksOfPreutteranceAndOverlap) {
    const struct {
        bool prevIsRest;
        float prevLength, velocity;
        const char *pre, *ovl;
        double preMs, ovlMs;
    } cases[] = {
        {false, 120, 1, "100", "20", 75, 15},  // 80 ms before the overlap fit into 60: scaled by 0.75
        {false, 120, 2, "100", "20", 37.5, 7.5},
        {true, 120, 1, "100", "20", 100, 20},  // a rest lends its whole length
        {true, 0, 1, "", "", 20, 10},          // empty boxes: the voice bank's values
    };
    for (const auto& c : cases) {
        EnvelopeDialogArgs a = defaultsArgs();
        a.prevIsRest = c.prevIsRest;
        a.prevLengthMs = c.prevLength;
        a.velocityFactor = c.velocity;
        a.preutterance = QString::fromLatin1(c.pre);
        a.overlap = QString::fromLatin1(c.ovl);
        EnvelopeEditor e;
        e.setUp(a);
        EXPECT_NEAR(e.PreMarkX, 90 + c.preMs * e.ScaleX, 1e-6);
        EXPECT_NEAR(e.OverlapMarkX, 90 + c.ovlMs * e.ScaleX, 1e-6);
    }
}

// Drags handle `h` by (dx, dy) twips and answers the slots it touched.
void drag(EnvelopeEditor& e, int h, double dx, double dy) {
    e.lbHandle_MouseDown(h, 1, 30, 30);
    e.lbHandle_MouseMove(h, 30 + dx, 30 + dy);
    e.lbHandle_MouseUp();
}

TEST(EnvelopeEditor, DragLimitsWithAndWithoutRelated) {
    // p1 10, p2 20, p5 50, p3 100, p4 40 at 14.28 twips per ms.
    const QString env = QStringLiteral("10 20 100 0 100 80 60 % 40 50 90");
    const struct {
        const char* what;
        bool related;
        int handle;
        double dx, dy;
        std::vector<std::pair<int, const char*>> expect;
    } cases[] = {
        {"P2 right, unrelated: stops at P5", false, EnvelopeEditor::P2, 5000, 0, {{1, "70"}, {10, "0"}, {4, "100"}}},
        {"P2 right, related: stops p5 before P3", true, EnvelopeEditor::P2, 99999, 0, {{1, "300"}, {10, "50"}}},
        {"P1 left of the graph", true, EnvelopeEditor::P1, -5000, 0, {{0, "0"}, {1, "20"}}},
        {"P1 right, unrelated: stops at P2", false, EnvelopeEditor::P1, 5000, 0, {{0, "30"}, {1, "0"}}},
        {"P4 left, related: P3 keeps its distance from P5", true, EnvelopeEditor::P4, -99999, 0, {{9, "320"}, {2, "100"}}},
        {"P4 left, unrelated: stops at P3", false, EnvelopeEditor::P4, -99999, 0, {{9, "140"}, {2, "0"}}},
        {"P3 right: stops at P4", true, EnvelopeEditor::P3, 99999, 0, {{2, "0"}}},
        {"P5 left: stops at P2", true, EnvelopeEditor::P5, -99999, 0, {{10, "0"}}},
        {"above the top: 200 %", true, EnvelopeEditor::P3, 0, -99999, {{5, "200"}, {2, "100"}}},
        {"below the bottom: 0 %", true, EnvelopeEditor::P5, 0, 99999, {{11, "0"}, {10, "50"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EnvelopeDialogArgs a = defaultsArgs(env);
        EnvelopeEditor e;
        e.setUp(a);
        e.chkRelated = c.related;
        drag(e, c.handle, c.dx, c.dy);
        for (const auto& [slot, value] : c.expect) EXPECT_EQ(e.EnvParams[size_t(slot)], QString::fromLatin1(value)) << slot;
    }
}

TEST(EnvelopeEditor, DraggingHandle4GivesTheEnvelopeItsPercentPart) {
    EnvelopeDialogArgs a = defaultsArgs();
    EnvelopeEditor e;
    e.setUp(a);
    EXPECT_FALSE(e.Dragging);
    e.lbHandle_MouseMove(EnvelopeEditor::P5, 500, 500);  // no button down: nothing
    EXPECT_EQ(e.EnvParams[10], QString());
    drag(e, EnvelopeEditor::P5, 20 * e.ScaleX, 20 * e.ScaleY);
    EXPECT_EQ(e.EnvParams[10], QStringLiteral("20"));
    EXPECT_EQ(e.EnvParams[11], QStringLiteral("80"));
    e.writeBack(a);
    EXPECT_EQ(a.envelope, QStringLiteral("0 5 35 0 100 100 0 % 0 20 80"));
}

}  // namespace
}  // namespace tova
