// The curve view of a note: labels, envelope, older pitch data, mode-2 curves with their shapes,
// vibrato, and the handles registered for pointer input.
#include "NoteDrawingFixtures.h"

#include "mainwindow/CurveDrawing.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tova;
using namespace tova::test;

namespace {

constexpr double kFactor = 120 * 0.032;  // twips per ms at tempo 120 and zoom 1

NoteColors curveColors() {
    NoteColors c;
    c.NoteNor = 1; c.NoteSel = 2; c.PtchNor = 3; c.PtchSel = 4; c.PtchGry = 5;
    return c;
}

struct CurveRig {
    NoteArrays notes;
    NoteGeometryList geometry;
    CurveHandles handles;
    RecordingCanvas roll{30000, 20000};
    CurveView view;
    NoteColors colors = curveColors();

    explicit CurveRig(const QList<NoteRow>& rows) : notes(makeSong(rows)) {
        geometry.resize(notes.noteCount());
        view.Zoom = 1.0f;
        view.RowHeight = 210;
        view.SelStart = 1;
        view.Mode2 = true;
    }
    void drawCurves(qint32 i, qint32 x, qint32 rowTop, bool selected = false, float prevTempo = 120,
                    float tempo = 120) {
        CurveDrawing c(view, colors, notes, geometry, handles, roll);
        c.DrawCurves(prevTempo, tempo, i, x, rowTop, selected);
    }
    void drawMode2(qint32 i, qint32 x, qint32 rowTop) {
        CurveDrawing c(view, colors, notes, geometry, handles, roll);
        c.DrawMode2Pitch(i, x, rowTop, kFactor, kFactor, 9);
    }
    void drawVibrato(qint32 i, qint32 x, qint32 rowTop) {
        CurveDrawing c(view, colors, notes, geometry, handles, roll);
        c.DrawVibrato(i, x, rowTop, kFactor, 9);
    }
};

TEST(CurveDrawing, PortamentoShapes) {
    // From (0, 0) to (100, 1000): where each shape stands at a quarter, half and three quarters.
    const struct {
        QString shape;
        double at25, at50, at75;
    } cases[] = {
        {"r", 1000 * std::sin(M_PI / 8), 1000 * std::sin(M_PI / 4), 1000 * std::sin(3 * M_PI / 8)},  // steep start
        {"j", 1000 * (1 - std::cos(M_PI / 8)), 1000 * (1 - std::cos(M_PI / 4)),
         1000 * (1 - std::cos(3 * M_PI / 8))},                                                           // steep end
        {"", 1000 * (0.5 - 0.5 * std::cos(M_PI / 4)), 500, 1000 * (0.5 + 0.5 * std::cos(M_PI / 4))},  // S curve
        {"x", 1000 * (0.5 - 0.5 * std::cos(M_PI / 4)), 500, 1000 * (0.5 + 0.5 * std::cos(M_PI / 4))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shape.toStdString());
        EXPECT_NEAR(CurveDrawing::portamentoY(c.shape, 0, 0, 0, 100, 1000), 0, 1e-9);
        EXPECT_NEAR(CurveDrawing::portamentoY(c.shape, 25, 0, 0, 100, 1000), c.at25, 1e-6);
        EXPECT_NEAR(CurveDrawing::portamentoY(c.shape, 50, 0, 0, 100, 1000), c.at50, 1e-6);
        EXPECT_NEAR(CurveDrawing::portamentoY(c.shape, 75, 0, 0, 100, 1000), c.at75, 1e-6);
        EXPECT_NEAR(CurveDrawing::portamentoY(c.shape, 100, 0, 0, 100, 1000), 1000, 1e-6);
    }
    // One line per pixel from the start point: x = 0, 15, ... 90 (105 lies past the end).
    RecordingCanvas canvas(1000, 1000);
    CurveDrawing::DrawPortamentoSegment(canvas, 0, 0, 100, 1000, 7, QString());
    ASSERT_EQ(canvas.ops.size(), 7);
    EXPECT_DOUBLE_EQ(canvas.ops[0].x1, 0);
    EXPECT_DOUBLE_EQ(canvas.ops[0].x2, 0);
    EXPECT_DOUBLE_EQ(canvas.ops[6].x2, 90);
    EXPECT_EQ(canvas.ops[6].color, 7);
    // A segment of zero width (or running backwards) draws nothing.
    canvas.ops.clear();
    CurveDrawing::DrawPortamentoSegment(canvas, 50, 0, 50, 1000, 7, QStringLiteral("r"));
    CurveDrawing::DrawPortamentoSegment(canvas, 50, 0, 20, 1000, 7, QString());
    EXPECT_TRUE(canvas.ops.isEmpty());
}

TEST(CurveDrawing, Mode2PointsFromThePreviousPitch) {
    // Widths 50 and 50, no heights, start at -40 ms, after a note two semitones higher.
    const QString ext = withOptions(QStringLiteral("PBS=-40\\nPBW=50 50"));
    const double rowTop = (84 - 60) * 210, centre = rowTop + 105;
    const struct {
        QString prevLyric;
        QString ext;
        QList<PitchPoint> points;
    } cases[] = {
        {"a", ext,
         {{1920 - 40 * kFactor, centre - 2 * 210, ""}, {1920 + 10 * kFactor, centre, ""}, {1920 + 60 * kFactor, centre, ""}}},
        // After a rest the start takes its own height (tenths of a semitone); a given height wins.
        {"R", withOptions(QStringLiteral("PBS=-40;20\\nPBW=50 50\\nPBY=10\\nPBM=s r")),
         {{1920 - 40 * kFactor, centre - 2 * 210, ""}, {1920 + 10 * kFactor, centre - 210, "s"},
          {1920 + 60 * kFactor, centre, "r"}}},
        // Points before the note's start sit on the previous pitch, except the last one.
        {"a", withOptions(QStringLiteral("PBS=-100\\nPBW=30 30 30\\nPBM=j")),
         {{1920 - 100 * kFactor, centre - 420, ""}, {1920 - 70 * kFactor, centre - 420, "j"},
          {1920 - 40 * kFactor, centre - 420, ""}, {1920 - 10 * kFactor, centre, ""}}},
        {"a", withOptions(QStringLiteral("PBS=-40")), {}},  // no widths: nothing
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ext.toStdString());
        const NoteArrays notes = makeSong({{1920, c.prevLyric, 62, {}}, {1920, "i", 60, c.ext}});
        const QList<PitchPoint> got = CurveDrawing::mode2Points(notes, 1, 1920, rowTop, 210, kFactor, kFactor);
        ASSERT_EQ(got.size(), c.points.size());
        for (qsizetype k = 0; k < got.size(); ++k) {
            EXPECT_NEAR(got[k].x, c.points[k].x, 1e-6) << k;
            EXPECT_NEAR(got[k].y, c.points[k].y, 1e-6) << k;
            EXPECT_EQ(got[k].shape, c.points[k].shape) << k;
        }
    }
    // The first note of the song starts on its own pitch.
    const NoteArrays first = makeSong({{1920, "a", 60, ext}});
    EXPECT_DOUBLE_EQ(CurveDrawing::mode2Points(first, 0, 0, rowTop, 210, kFactor, kFactor)[0].y, centre);
}

TEST(CurveDrawing, Mode2SegmentsAndPointHandles) {
    CurveRig rig({{1920, "a", 62, {}}, {1920, "i", 60, withOptions(QStringLiteral("PBS=-40\\nPBW=50 50\\nPBM=s r"))}});
    const double rowTop = (84 - 60) * 210;
    rig.drawMode2(1, 1920, rowTop);
    // Start box, straight segment, its end box, then the R-shaped segment sampled per pixel, its end box.
    const QList<DrawOp>& ops = rig.roll.ops;
    ASSERT_GE(ops.size(), 5);
    EXPECT_EQ(ops[0].kind, 'B');
    EXPECT_NEAR(ops[0].x1, 1920 - 40 * kFactor - 30, 1e-6);
    EXPECT_NEAR(ops[0].x2 - ops[0].x1, 60, 1e-6);
    EXPECT_EQ(ops[1].kind, 'L');
    EXPECT_NEAR(ops[1].x2, 1920 + 10 * kFactor, 1e-6);
    EXPECT_EQ(ops[2].kind, 'B');
    QList<DrawOp> curve;
    for (qsizetype k = 3; k < ops.size() && ops[k].kind == 'L'; ++k) curve.append(ops[k]);
    ASSERT_GT(curve.size(), 10);
    // Steep then flat: here both ends lie on the same pitch, so it rises no y; check the sampling instead.
    EXPECT_NEAR(curve.first().x1, 1920 + 10 * kFactor, 1e-6);
    EXPECT_LE(curve.last().x2, 1920 + 60 * kFactor);
    EXPECT_EQ(ops.last().kind, 'B');
    ASSERT_EQ(rig.handles.PitchPointPos.size(), 3);
    EXPECT_FLOAT_EQ(rig.handles.PitchPointPos[0].X, float(1920 - 40 * kFactor));
    EXPECT_FLOAT_EQ(rig.handles.PitchPointPos[0].Y, float(rowTop + 105 - 420));
    EXPECT_FLOAT_EQ(rig.handles.PitchPointPos[2].X, float(1920 + 60 * kFactor));

    // Not the selection start, or handles not wanted: the curve only.
    for (int variant = 0; variant < 2; ++variant) {
        CurveRig other({{1920, "a", 62, {}}, {1920, "i", 60, withOptions(QStringLiteral("PBS=-40\\nPBW=50 50"))}});
        if (variant == 0) other.view.SelStart = 0;
        else other.view.HandlesWanted = false;
        other.drawMode2(1, 1920, rowTop);
        EXPECT_TRUE(other.roll.of('B').isEmpty());
        EXPECT_FALSE(other.roll.of('L').isEmpty());
        EXPECT_EQ(other.handles.PitchPointPos.size(), 1);
    }
}

TEST(CurveDrawing, RShapeRisesSteeplyThenFlattens) {
    // Widths 100 after a note an octave higher: the R segment falls fast first, the J segment last.
    for (const QString shape : {QStringLiteral("r"), QStringLiteral("j")}) {
        CurveRig rig({{1920, "a", 72, {}},
                      {1920, "i", 60, withOptions(QStringLiteral("PBS=0;0\\nPBW=100\\nPBY=\\nPBM=") + shape)}});
        rig.view.HandlesWanted = false;
        rig.drawMode2(1, 0, 0);
        const QList<DrawOp> lines = rig.roll.of('L');
        ASSERT_GT(lines.size(), 4);
        const double firstStep = std::abs(lines[1].y2 - lines[1].y1);
        const double lastStep = std::abs(lines.last().y2 - lines.last().y1);
        if (shape == QStringLiteral("r")) EXPECT_GT(firstStep, lastStep);
        else EXPECT_LT(firstStep, lastStep);
    }
}

TEST(CurveDrawing, VibratoSpanFadesAndHandles) {
    // Length 65 %, cycle 180 ms, depth 35 cents, fades 20 % and 20 % on a note 2000 twips wide.
    const VibratoLayout v =
        CurveDrawing::vibratoLayout(QStringLiteral("65 180 35 20 20 0 0"), 2000, 0, 0, 1.0f, 210, kFactor);
    ASSERT_TRUE(v.drawn);
    EXPECT_DOUBLE_EQ(v.xEnd, 2000);
    EXPECT_DOUBLE_EQ(v.xVib, 700);  // the last 1300 twips
    EXPECT_DOUBLE_EQ(v.fadeIn, 260);
    EXPECT_DOUBLE_EQ(v.fadeOut, 260);
    EXPECT_DOUBLE_EQ(v.depth, 73.5);
    EXPECT_DOUBLE_EQ(v.cycle, 180 * kFactor);
    EXPECT_DOUBLE_EQ(v.inEnd, 960);
    EXPECT_DOUBLE_EQ(v.outStart, 1740);
    const double yH = 315;
    const HandleRect expected[8] = {
        {685, float(yH - 88.5), 715, float(yH + 88.5)},
        {float(700 + 180 * kFactor - 30), float(yH - 30), float(700 + 180 * kFactor + 30), float(yH + 30)},
        {960, float(yH - 103.5), 1740, float(yH - 58.5)},
        {960, float(yH + 73.5), 1740, float(yH + 118.5)},
        {945, float(yH - 88.5), 975, float(yH + 88.5)},
        {1725, float(yH - 88.5), 1755, float(yH + 88.5)},
        {670, float(yH + 73.5), 730, float(yH + 133.5)},
        {960, float(yH - 73.5), 1740, float(yH + 73.5)},
    };
    for (int k = 0; k < 8; ++k) {
        SCOPED_TRACE(k);
        EXPECT_FLOAT_EQ(v.handles[k].Left, expected[k].Left);
        EXPECT_FLOAT_EQ(v.handles[k].Top, expected[k].Top);
        EXPECT_FLOAT_EQ(v.handles[k].Right, expected[k].Right);
        EXPECT_FLOAT_EQ(v.handles[k].Bottom, expected[k].Bottom);
    }
    // Phase 25 % and height 50 %: the phase handle moves a quarter cycle, the bands half a depth up.
    const VibratoLayout p =
        CurveDrawing::vibratoLayout(QStringLiteral("65 180 35 20 20 25 50"), 2000, 0, 0, 1.0f, 210, kFactor);
    EXPECT_NEAR(p.handles[6].Left, 180 * kFactor / 4 + 700 - 30, 1e-3);
    EXPECT_NEAR(p.handles[7].Top, yH - 73.5 - 36.75, 1e-3);
    EXPECT_NEAR(p.phase, M_PI / 2, 1e-9);
    // The curve: flat at both ends, full depth in the middle.
    EXPECT_NEAR(CurveDrawing::vibratoY(v, 700, 105), 105, 1e-9);
    EXPECT_NEAR(CurveDrawing::vibratoY(v, 2000, 105), 105, 1e-9);
    const double a = (1000 - 700) * 2 * M_PI / v.cycle;
    EXPECT_NEAR(CurveDrawing::vibratoY(v, 1000, 105), 105 - std::sin(a) * 73.5, 1e-6);
}

TEST(CurveDrawing, VibratoThatIsNotDrawn) {
    const struct {
        QString vbr;
        qint32 length;
    } cases[] = {
        {"0 180 35 20 20", 2000},     // no length
        {"101 180 35 20 20", 2000},   // more than the note
        {"-5 180 35 20 20", 2000},
        {"65 180 35 20", 2000},       // fewer than five fields
        {"", 2000},
        {"65 180 35 20 20", 50},      // a note 50 twips wide or less
        {"65 0 35 20 20", 2000},      // no cycle
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.vbr.toStdString());
        EXPECT_FALSE(CurveDrawing::vibratoLayout(c.vbr, c.length, 0, 0, 1.0f, 210, kFactor).drawn);
        CurveRig rig({{c.length, "a", 60, withOptions(QStringLiteral("VBR=") + c.vbr)}});
        rig.view.SelStart = 0;
        rig.drawVibrato(0, 0, 0);
        EXPECT_TRUE(rig.roll.ops.isEmpty());
        EXPECT_EQ(rig.handles.VibratoHandleRect.size(), 1);
    }
    // Five fields are enough; a note of 51 twips shows it.
    EXPECT_TRUE(CurveDrawing::vibratoLayout(QStringLiteral("100 10 35 0 0"), 51, 0, 0, 1.0f, 210, kFactor).drawn);
}

TEST(CurveDrawing, OverlappingFadesMeetAtTheThirds) {
    const VibratoLayout v =
        CurveDrawing::vibratoLayout(QStringLiteral("65 180 35 80 80"), 2000, 0, 0, 1.0f, 210, kFactor);
    ASSERT_TRUE(v.drawn);
    EXPECT_DOUBLE_EQ(v.fadeIn, 1040);
    EXPECT_NEAR(v.inEnd, 700 + 1300.0 / 3, 1e-9);
    EXPECT_NEAR(v.outStart, 700 + 2 * 1300.0 / 3, 1e-9);
    // The handles of the fades stay at the fade lengths; the amplitude is the product of both ramps.
    EXPECT_FLOAT_EQ(v.handles[4].Left, 700 + 1040 - 15);
    const double x = 1350, ramp = (x - 700) / 1040 * (2000 - x) / 1040;
    const double a = (x - 700) * 2 * M_PI / v.cycle;
    EXPECT_NEAR(CurveDrawing::vibratoY(v, x, 0), -std::sin(a) * 73.5 * ramp, 1e-6);
}

TEST(CurveDrawing, VibratoDrawing) {
    CurveRig rig({{2000, "a", 60, withOptions(QStringLiteral("VBR=65 180 35 20 20 0 0"))}});
    rig.view.SelStart = 0;
    rig.drawVibrato(0, 0, 0);
    ASSERT_EQ(rig.handles.VibratoHandleRect.size(), 8);
    EXPECT_FLOAT_EQ(rig.handles.VibratoHandleRect[0].Left, 685);
    // Grey decorations first: the length line, the cycle and phase boxes, the body box and four lines.
    const QList<DrawOp>& ops = rig.roll.ops;
    const char kinds[] = {'L', 'B', 'B', 'B', 'L', 'L', 'L', 'L'};
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(ops[k].kind, kinds[k]) << k;
        EXPECT_EQ(ops[k].color, NoteColors::HandleGrey) << k;
    }
    EXPECT_DOUBLE_EQ(ops[0].x1, 700);
    EXPECT_DOUBLE_EQ(ops[3].x1, 960);   // body box from the end of the fade-in
    EXPECT_DOUBLE_EQ(ops[3].x2, 1740);  // to the start of the fade-out
    EXPECT_DOUBLE_EQ(ops[4].x1, 700);
    EXPECT_DOUBLE_EQ(ops[4].y1, 300);
    // Then the curve in the given colour, one sample per pixel from 700 to 2000, starting on the centre.
    QList<DrawOp> curve = ops.mid(8);
    ASSERT_EQ(curve.size(), 87);
    EXPECT_DOUBLE_EQ(curve[0].x1, 700);
    EXPECT_DOUBLE_EQ(curve[0].y1, 105);
    EXPECT_DOUBLE_EQ(curve.last().x2, 1990);
    for (const DrawOp& o : curve) EXPECT_EQ(o.color, 9);
    // Without handles: the curve only.
    CurveRig plain({{2000, "a", 60, withOptions(QStringLiteral("VBR=65 180 35 20 20 0 0"))}});
    plain.drawVibrato(0, 0, 0);
    EXPECT_EQ(plain.roll.ops.size(), 87);
    EXPECT_EQ(plain.handles.VibratoHandleRect.size(), 1);
}

TEST(CurveDrawing, VibratoOfALongNoteIsWalkedOnlyOnScreen) {
    // A vibrato reaching far left of the roll: the samples on screen are those of the full walk.
    CurveRig full({{200000, "a", 60, withOptions(QStringLiteral("VBR=100 180 35 10 10"))}});
    full.roll = RecordingCanvas(400000, 5000);
    full.drawVibrato(0, -100000, 0);
    CurveRig clipped({{200000, "a", 60, withOptions(QStringLiteral("VBR=100 180 35 10 10"))}});
    clipped.drawVibrato(0, -100000, 0);
    QList<DrawOp> onScreen;
    for (const DrawOp& o : full.roll.ops)
        if (o.x2 >= -15 && o.x1 <= 30015) onScreen.append(o);
    QList<DrawOp> got;
    for (const DrawOp& o : clipped.roll.ops)
        if (o.x2 >= -15 && o.x1 <= 30015) got.append(o);
    ASSERT_EQ(got.size(), onScreen.size());
    for (qsizetype k = 0; k < got.size(); ++k) {
        EXPECT_DOUBLE_EQ(got[k].x1, onScreen[k].x1);
        EXPECT_DOUBLE_EQ(got[k].y2, onScreen[k].y2);
    }
    EXPECT_LT(clipped.roll.ops.size(), full.roll.ops.size() / 3);
}

TEST(CurveDrawing, BreathFlag) {
    const struct {
        QString flags, label, stripped;
    } cases[] = {
        {"g-5B50Y20", "bre 50", "g-5Y20"},
        {"Y20", "", "Y20"},
        {"", "", ""},
        {"B", "bre 0", ""},
        {"BY10", "bre 0", "Y10"},
        {"B-5g3", "bre -5", "-5g3"},   // only digits go with the letter
        {"b10B3B4", "bre 3", "b10B4"}, // case-sensitive, the first "B"
        {"B1.5", "bre 1.5", ".5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags.toStdString());
        EXPECT_EQ(CurveDrawing::GetBreathFlagLabel(c.flags), c.label);
        EXPECT_EQ(CurveDrawing::StripBreathFlag(c.flags), c.stripped);
    }
}

TEST(CurveDrawing, EnvelopeOutlineAndWarning) {
    NoteGeometryList::value_type g;
    g.PreUtterMs = 50;
    g.Env = {10, 20, 30, 0, 100, 80, 0, 0, 40, 5, 60};
    const double base = 1000;
    const EnvelopeOutline e = CurveDrawing::envelopeOutline(g, 1000, base, 210, 1.0, kFactor, kFactor, 500);
    const TwipPoint want[7] = {{1000 - 50 * kFactor, base},      {1000 - 40 * kFactor, base},
                               {1000 - 20 * kFactor, base - 210}, {1000 - 15 * kFactor, base - 126},
                               {1000 + 430 * kFactor, base - 168}, {1000 + 460 * kFactor, base},
                               {1000 + 500 * kFactor, base - 2.1}};
    for (int k = 0; k < 7; ++k) {
        EXPECT_NEAR(e.points[k].x, want[k].x, 1e-9) << k;
        EXPECT_NEAR(e.points[k].y, want[k].y, 1e-9) << k;
    }
    EXPECT_FALSE(e.warning);
    // Half intensity halves every height.
    const EnvelopeOutline half = CurveDrawing::envelopeOutline(g, 1000, base, 210, 0.5, kFactor, kFactor, 500);
    EXPECT_NEAR(half.points[2].y, base - 105, 1e-9);
    // Before the note's start the previous tempo sets the scale.
    const EnvelopeOutline slow = CurveDrawing::envelopeOutline(g, 1000, base, 210, 1.0, kFactor / 2, kFactor, 500);
    EXPECT_NEAR(slow.points[0].x, 1000 - 25 * kFactor, 1e-9);
    // p1 + p2 + p5 reaching past durMs - p3 - p4: the warning.
    g.Env = {0, 300, 300, 0, 100, 100, 0, 0, 0, 0, 100};
    g.PreUtterMs = 0;
    EXPECT_TRUE(CurveDrawing::envelopeOutline(g, 0, base, 210, 1.0, kFactor, kFactor, 500).warning);
    g.Env = {0, 200, 300, 0, 100, 100, 0, 0, 0, 0, 100};
    EXPECT_FALSE(CurveDrawing::envelopeOutline(g, 0, base, 210, 1.0, kFactor, kFactor, 500).warning);
}

TEST(CurveDrawing, LabelsEnvelopeAndWarningMark) {
    // Note 0: intensity 50, flags with a breath value, an envelope too long for the note (500 ms).
    CurveRig rig({{1920, "a", 60, QStringLiteral("\t50\t\t\tg-5B50Y20\tenv=0 300 300 0 100 100 0")},
                  {1920, "i", 60, QString()}});
    rig.view.ParamView = true;
    rig.view.Mode2 = false;
    rig.geometry[0].Env = {0, 300, 300, 0, 100, 100, 0, 0, 0, 0, 100};
    const double rowTop = 2000, base = rowTop + 210;
    rig.drawCurves(0, 1000, rowTop, true);
    const DrawOp intensity = rig.roll.text(QStringLiteral(" 50"));
    EXPECT_DOUBLE_EQ(intensity.x1, 1000);
    EXPECT_DOUBLE_EQ(intensity.y1, rowTop - 180);
    EXPECT_EQ(intensity.color, 2);  // selected: the selected note colour
    EXPECT_EQ(rig.roll.text(QStringLiteral("mod -")).y1, rowTop + 240);
    EXPECT_EQ(rig.roll.text(QStringLiteral("mod -")).color, 4);
    EXPECT_EQ(rig.roll.text(QStringLiteral("bre 50")).y1, rowTop + 480);
    EXPECT_EQ(rig.roll.text(QStringLiteral("g-5Y20")).y1, rowTop + 720);
    // The warning box: 135 wide, a row high, two rows and 90 twips above the base; a red "!" inside.
    const double top = base - (2 * 210 + 90);
    bool fill = false, outline = false;
    for (const DrawOp& o : rig.roll.ops) {
        if (o.kind == 'F' && o.color == NoteColors::WarningFill) {
            fill = true;
            EXPECT_DOUBLE_EQ(o.x1, 1000);
            EXPECT_DOUBLE_EQ(o.y1, top);
            EXPECT_DOUBLE_EQ(o.x2, 1135);
            EXPECT_DOUBLE_EQ(o.y2, top + 210);
        }
        if (o.kind == 'B' && o.color == NoteColors::WarningRed) outline = true;
    }
    EXPECT_TRUE(fill);
    EXPECT_TRUE(outline);
    const DrawOp mark = rig.roll.text(QStringLiteral("!"));
    EXPECT_DOUBLE_EQ(mark.x1, 1060);
    EXPECT_DOUBLE_EQ(mark.y1, top + 30);
    EXPECT_EQ(mark.color, NoteColors::WarningRed);
    // Six envelope lines in the envelope colour, from the sound's start on the base line.
    QList<DrawOp> env;
    for (const DrawOp& o : rig.roll.of('L'))
        if (o.color == 2) env.append(o);
    ASSERT_EQ(env.size(), 6);
    EXPECT_DOUBLE_EQ(env[0].y1, base);

    // A plain note: intensity 100 (field empty), no parameter labels, no warning.
    CurveRig plain({{1920, "a", 60, QString()}});
    plain.view.Mode2 = false;
    plain.geometry[0].Env = {0, 5, 35, 0, 100, 100, 0, 0, 0, 0, 100};
    plain.drawCurves(0, 0, rowTop);
    EXPECT_EQ(plain.roll.texts(), QStringList{QStringLiteral(" 100")});
    EXPECT_EQ(plain.roll.text(QStringLiteral(" 100")).color, 1);
}

TEST(CurveDrawing, OldPitchDataAndRests) {
    // A rest: no labels, no envelope, but its older pitch data (points 20 ticks apart, clamped to 8192).
    CurveRig rig({{1920, "R", 60, QStringLiteral("\t\t\t0 50 9000 -9000")}});
    rig.view.Mode2 = false;
    rig.drawCurves(0, 1000, 0);
    EXPECT_TRUE(rig.roll.texts().isEmpty());
    const QList<DrawOp> lines = rig.roll.of('L');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_DOUBLE_EQ(lines[0].x1, 1000);
    EXPECT_DOUBLE_EQ(lines[0].y1, 105);
    EXPECT_NEAR(lines[0].x2, 1020, 1e-9);
    EXPECT_NEAR(lines[0].y2, 105 - 0.5 * 210, 1e-9);
    EXPECT_NEAR(lines[1].y2, 105 - 81.92 * 210, 1e-9);
    EXPECT_NEAR(lines[2].y2, 105 + 81.92 * 210, 1e-9);
    for (const DrawOp& o : lines) EXPECT_EQ(o.color, 5);  // the grey pitch colour
    // Points left of the sound's start only move the pen: a start point of 10 ms pushes the first two left.
    CurveRig late({{1920, "R", 60, QStringLiteral("\t\t\t0 10 20 30\tstp=10")}});
    late.view.Mode2 = false;
    late.geometry[0].StartPointMs = 10;
    late.drawCurves(0, 1000, 0);
    EXPECT_EQ(late.roll.of('L').size(), 2);
    // Mode 2 hides the older data unless Trace is on, which draws it in the pitch colour.
    CurveRig hidden({{1920, "R", 60, QStringLiteral("\t\t\t0 50 100")}});
    hidden.drawCurves(0, 0, 0);
    EXPECT_TRUE(hidden.roll.ops.isEmpty());
    CurveRig traced({{1920, "R", 60, QStringLiteral("\t\t\t0 50 100")}});
    traced.view.Trace = true;
    traced.drawCurves(0, 0, 0, true);
    ASSERT_EQ(traced.roll.of('L').size(), 2);
    EXPECT_EQ(traced.roll.of('L')[0].color, 4);
}

TEST(CurveDrawing, SoundingLengthReachesTheNextNotesOverlap) {
    // The envelope's end lies at the note's length plus the next note's overlap minus its pre-utterance.
    CurveRig rig({{1920, "a", 60, QString()}, {1920, "i", 60, QString()}});
    rig.view.Mode2 = false;
    rig.geometry[0].Env = {0, 5, 35, 0, 100, 100, 0, 0, 0, 0, 100};
    rig.geometry[1].PreUtterMs = 80;
    rig.geometry[1].OverlapMs = 20;
    rig.drawCurves(0, 0, 0, false, 120, 150);
    const QList<DrawOp> lines = rig.roll.of('L');
    ASSERT_EQ(lines.size(), 6);
    const double durMs = 1920 * 31.25 / 150 + 20 - 80;
    EXPECT_NEAR(lines.last().x2, durMs * 150 * 0.032, 1e-6);
}

}  // namespace
