// The pitch editor's model: loading and writing back the pitch text, the view's placement of points,
// and the editing operations.

#include "editors/PitchEditor.h"
#include "platform/FakePorts.h"
#include "support/TestSupport.h"

#include <QDataStream>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace tova {
namespace {

// A note of `lengthMs` at `tempo` without a sample (44100 Hz, one channel).
PitchCurveArgs noteOf(const QString& text, qint32 lengthMs = 100, float tempo = 120) {
    PitchCurveArgs a;
    a.tempo = tempo;
    a.pitchText = text;
    a.lengthMs = lengthMs;
    return a;
}

QString roundTrip(const QString& text, qint32 lengthMs = 100, float tempo = 120) {
    PitchEditor e;
    e.load(noteOf(text, lengthMs, tempo), PitchWave(), 0, nullptr);
    return e.pitchText();
}

TEST(PitchEditorText, LoadingAndWritingBack) {
    const struct {
        const char* what;
        const char* text;
        const char* written;
    } cases[] = {
        {"empty: flat", "", ""},
        {"trailing zero points are not written", "0Q120 5 5 0 0", "0Q120 5 5"},
        {"old data keeps its form and every token", "12 14 16", "12 14 16"},
        {"values limited to -2048..2047", "0Q120 3000 -5000", "0Q120 2047 -2048"},
        {"all zero in marker mode", "0Q120 0 0 0", ""},
        {"the first value and its marker", "-7Q120 3", "-7Q120 3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(roundTrip(QString::fromLatin1(c.text)), QString::fromLatin1(c.written));
    }
    EXPECT_EQ(roundTrip(QStringLiteral("0Q123.45 10"), 100, 123.45f), QStringLiteral("0Q123.45 10"));
}

TEST(PitchEditorText, PointsSpacingAndNoTruncation) {
    PitchEditor e;
    e.load(noteOf(QStringLiteral("0Q120 5 5 0 0")), PitchWave(), 0, nullptr);
    EXPECT_FALSE(e.OldData);
    EXPECT_EQ(e.SamplesPerPoint, 230.0f);  // Int(60 / 96 / 120 x 44100 + 0.5)
    EXPECT_EQ(e.LastPoint, 20);            // 100 ms = 4410 samples: 19.2 spacings, + 1, rounded
    EXPECT_EQ(e.Points.mid(0, 4), (QVector<float>{0, 0.5f, 0.5f, 0}));

    e.load(noteOf(QStringLiteral("12 14 16")), PitchWave(), 0, nullptr);
    EXPECT_TRUE(e.OldData);
    EXPECT_EQ(e.SamplesPerPoint, 256.0f);
    EXPECT_EQ(e.LastPoint, 1);  // no wave: one sample, 1 / 256 + 1 points

    // Tokens past the note's points, and past point 3048, come back as they were.
    QStringList tokens{QStringLiteral("3Q120")};
    for (int i = 1; i < 5000; ++i) tokens.append(QString::number(i % 7 - 3));
    const QString longText = tokens.join(u' ');
    EXPECT_EQ(roundTrip(longText, 100), longText);
    EXPECT_EQ(roundTrip(longText, 30000), longText);
    PitchEditor big;
    big.load(noteOf(longText, 30000), PitchWave(), 0, nullptr);
    EXPECT_GT(big.LastPoint, 5000);
    EXPECT_EQ(big.Points[4999], float(4999 % 7 - 3) / 10);

    // Unticking "old data" gives the note more points: those take the kept tokens at their own places.
    PitchEditor grown;
    grown.load(noteOf(QStringLiteral("12 14 16 18 -20")), PitchWave(), 0, nullptr);
    ASSERT_EQ(grown.LastPoint, 1);
    grown.Check1_Click(false);
    EXPECT_EQ(grown.LastPoint, 18);
    EXPECT_EQ(grown.Points.mid(0, 6), (QVector<float>{1.2f, 1.4f, 1.6f, 1.8f, -2.0f, 0}));
    EXPECT_EQ(grown.pitchText(), QStringLiteral("12Q120 14 16 18 -20"));
}

// A 16-bit mono RIFF wave of `frames` frames whose header claims `rate` and `blockAlign`.
QByteArray waveBytes(qint32 rate, qint16 blockAlign, int frames) {
    QByteArray b;
    QDataStream s(&b, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    s.writeRawData("RIFF", 4);
    s << qint32(36 + frames * 2);
    s.writeRawData("WAVEfmt ", 8);
    s << qint32(16) << qint16(1) << qint16(1) << rate << qint32(rate * 2) << blockAlign << qint16(16);
    s.writeRawData("data", 4);
    s << qint32(frames * 2);
    for (int i = 0; i < frames; ++i) s << qint16(i * 100);
    return b;
}

TEST(PitchEditorText, AWaveWithoutRateOrBlockAlignCountsAsUnreadable) {
    QTemporaryDir dir;
    const struct {
        qint32 rate;
        qint16 blockAlign;
        bool read;
    } cases[] = {{22050, 2, true}, {22050, 0, false}, {0, 2, false}};
    for (const auto& c : cases) {
        const QString path = dir.filePath(QStringLiteral("w.wav"));
        test::writeFile(path, waveBytes(c.rate, c.blockAlign, 512));
        const PitchWave w = ReadPitchWave(path);
        EXPECT_EQ(w.read, c.read) << c.rate << " " << c.blockAlign;
        PitchEditor e;
        e.load(noteOf(QStringLiteral("1 2")), w, 0, nullptr);  // old data: the point count from the samples
        EXPECT_EQ(e.SampleRate, c.read ? 22050 : 44100);
        EXPECT_EQ(e.LastPoint, c.read ? 3 : 1);
    }
    EXPECT_FALSE(ReadPitchWave(dir.filePath(QStringLiteral("missing.wav"))).read);
}

// An editor showing `values` at the design size.
PitchEditor editorWith(const QVector<float>& values) {
    PitchEditor e;
    e.load(noteOf(QString(), 100), PitchWave(), 0, nullptr);
    e.LastPoint = int(values.size()) - 1;
    e.Points = values;
    e.Form_Load();
    e.Form_Resize(11970, 4515);
    return e;
}

QVector<float> tenPoints() { return {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}; }

TEST(PitchEditorView, HandlesFollowZoomAndScroll) {
    PitchEditor e = editorWith(tenPoints());
    EXPECT_EQ(e.HandleOuterSize(), 75);
    EXPECT_DOUBLE_EQ(e.OriginY, (4515 - 255) / 2.0);
    EXPECT_DOUBLE_EQ(e.HandleTop[2], e.OriginY - 45 * 2 - 30 + 0.5);
    EXPECT_DOUBLE_EQ(e.Segment[1].y2(), e.HandleTop[2] + 30);
    EXPECT_EQ(e.HScrollMax, 0);  // 150 ms fit at zoom 2
    e.cmdZoomIn_Click();
    e.cmdZoomIn_Click();  // at 1 already: nothing
    EXPECT_EQ(e.HZoom, 1);
    e.cmdZoomOut_Click();
    e.cmdZoomOut_Click();
    EXPECT_EQ(e.HandleOuterSize(), 45);
    EXPECT_EQ(e.HandleInnerSize(), 15);
    for (int i = 0; i < 3; ++i) e.cmdZoomOut_Click();
    EXPECT_EQ(e.HZoom, 6);
    EXPECT_FALSE(e.HandleVisible.contains(true));
    EXPECT_EQ(e.SegmentVisible.count(true), 9);
    e.VScroll1_Change(12);
    EXPECT_DOUBLE_EQ(e.OriginY, (4515 - 255) / 2.0 - 2880);
    e.VScroll1_Change(-12);
    EXPECT_DOUBLE_EQ(e.OriginY, (4515 - 255) / 2.0 + 2880);
    for (int i = 0; i < 12; ++i) e.cmdVZoomOut_Click();
    EXPECT_EQ(e.VZoom, 15);

    // A long note scrolls: handles left of the window are hidden with their segments.
    PitchEditor longer;
    longer.load(noteOf(QString(), 20000), PitchWave(), 0, nullptr);
    longer.Form_Load();
    longer.Form_Resize(11970, 4515);
    EXPECT_GT(longer.HScrollMax, 0);
    longer.HScroll1_Change(10);
    EXPECT_DOUBLE_EQ(longer.ScrollX, 3000);
    EXPECT_FALSE(longer.HandleVisible[0]);
    EXPECT_FALSE(longer.SegmentVisible[0]);
    const int firstShown = int(longer.HandleVisible.indexOf(true));
    EXPECT_GT(longer.HandleLeft[firstShown] + 75, 0);
}

TEST(PitchEditorView, WaveformAndScale) {
    PitchWave w;
    w.read = true;
    w.channels = 2;
    w.samples = QVector<qint16>(4000, 0);
    for (int i = 0; i < 4000; i += 2) w.samples[i] = 16384;  // first channel high, second 0
    PitchEditor e;
    e.load(noteOf(QString(), 500), w, 0, nullptr);
    e.Form_Load();
    e.Form_Resize(11970, 4515);
    const QVector<QPointF> line = e.WaveformLine();
    ASSERT_GT(line.size(), 2);
    for (qsizetype i = 1; i < line.size(); ++i) EXPECT_DOUBLE_EQ(line[i].y(), e.OriginY - 16384 * 4515 / 65536.0);
    // One vertex per pixel cell: fewer vertices than the 500 elements visited (every eighth of 4000).
    EXPECT_LT(line.size(), 500 / 2);
    const QList<PitchBand> bands = e.ScaleBands();
    ASSERT_EQ(bands.size(), 6);
    EXPECT_EQ(bands.last().x2, 11970);
    EXPECT_EQ(e.TimeLabels().first().second, QStringLiteral("0.0"));
    EXPECT_EQ(e.TimeLabels()[3].second, QStringLiteral("0.3"));
}

TEST(PitchEditorEdit, DeleteCopyAndPaste) {
    PitchEditor e = editorWith(tenPoints());
    e.SelStart = 2;
    e.SelEnd = 4;
    e.DeleteSelection();
    EXPECT_EQ(e.Points, (QVector<float>{0, 1, 5, 6, 7, 8, 9, 0, 0, 0}));
    EXPECT_EQ(e.SelStart, -1);

    FakeClipboard clip;
    PitchEditor all = editorWith(tenPoints());
    all.Form_KeyDown(65, true, clip);  // Ctrl+A
    all.Form_KeyDown(46, false, clip);  // Delete
    EXPECT_EQ(all.Points, QVector<float>(10, 0));

    // Copy, then paste over the same selection: nothing changes (the closing blank adds no value).
    PitchEditor c = editorWith(tenPoints());
    c.SelStart = 3;
    c.SelEnd = 5;
    c.Form_KeyDown(67, true, clip);
    EXPECT_EQ(clip.content, QStringLiteral("3.00 4.00 5.00 "));
    c.Form_KeyDown(86, true, clip);
    EXPECT_EQ(c.Points, tenPoints());
    // Cut then paste at the same place is the identity too.
    c.SelStart = 3;
    c.SelEnd = 5;
    c.Form_KeyDown(88, true, clip);
    EXPECT_EQ(c.Points, (QVector<float>{0, 1, 2, 6, 7, 8, 9, 0, 0, 0}));
    c.SelStart = 3;
    c.SelEnd = 2;  // an empty selection in front of point 3
    c.Paste(clip.content);
    EXPECT_EQ(c.Points, (QVector<float>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));

    // Nothing selected: everything is copied.
    c.SelStart = c.SelEnd = -1;
    EXPECT_EQ(c.CopyText().split(u' ', Qt::SkipEmptyParts).size(), 10);
}

TEST(PitchEditorEdit, AClickBetweenHandlesLeavesAnInsertionCursor) {
    PitchEditor e = editorWith(tenPoints());
    const double between = (e.HandleLeft[3] + 75 + e.HandleLeft[4]) / 2;
    ASSERT_LT(e.HandleLeft[3] + 75, between);
    e.Form_MouseDown(1, between, 1000);
    e.Form_MouseUp(between);
    EXPECT_EQ(e.SelStart, -1);
    EXPECT_EQ(e.InsertIndex, 4);
    EXPECT_TRUE(e.Line1Visible);
    EXPECT_TRUE(e.Line1Black);
    EXPECT_FALSE(e.Line2Visible);
    e.Paste(QStringLiteral("7 8"));
    EXPECT_EQ(e.Points, (QVector<float>{0, 1, 2, 3, 7, 8, 4, 5, 6, 7}));  // pushed along, the last two dropped

    PitchEditor left = editorWith(tenPoints());
    left.OffsetX = 3000;  // the points start right of the sample's offset
    left.ApplyZoom();
    left.Form_MouseDown(1, 100, 1000);
    left.Form_MouseUp(100);
    EXPECT_EQ(left.InsertIndex, 0);
    EXPECT_FALSE(left.Line1Visible);

    // A press on a handle selects it; dragging across selects the handles met.
    PitchEditor d = editorWith(tenPoints());
    d.Form_MouseDown(1, d.HandleLeft[2] + 10, 100);
    EXPECT_EQ(d.SelStart, 2);
    EXPECT_EQ(d.SelEnd, 2);
    d.Form_MouseMove(d.HandleLeft[6] + 10, 100);
    EXPECT_EQ(d.SelEnd, 6);
    d.Form_MouseUp(d.HandleLeft[6] + 10);
    EXPECT_FALSE(d.Line1Visible);
}

TEST(PitchEditorEdit, ShapesVibratoAndZero) {
    PitchEditor e = editorWith({0, 9, 9, 9, 4, 0});
    e.MakeStraight(0, 4);
    EXPECT_NEAR(e.Points[2], 2, 1e-5);
    e.MakeCurve(4, 0);  // either order
    EXPECT_NEAR(e.Points[2], 2, 1e-5);  // the S-curve's middle
    EXPECT_NEAR(e.Points[1], 4 * (0.5 - 0.5 * std::cos(M_PI / 4)), 1e-5);

    // Handles at the same x (points closer than a twip) are spread by their indexes.
    PitchEditor same = editorWith({0, 9, 9, 9, 4});
    for (int i = 0; i < 5; ++i) same.HandleLeft[i] = 100;
    same.MakeStraight(0, 4);
    EXPECT_EQ(same.Points, (QVector<float>{0, 1, 2, 3, 4}));

    // ">" from 0 wraps to the span: the alternating pattern, counted from the selection's start.
    PitchEditor v = editorWith(QVector<float>(10, 0));
    v.SelStart = 3;
    v.SelEnd = 7;
    v.cmdVibrato2_Click();
    EXPECT_EQ(v.VibratoCycles, 4);
    EXPECT_EQ(v.Points.mid(3, 5), (QVector<float>{6, -6, 6, -6, 6}));
    v.cmdVibrato2_Click();
    v.cmdVibrato2_Click();
    v.cmdVibrato2_Click();  // one half-wave: a sine arch from the selection's start
    EXPECT_EQ(v.VibratoCycles, 1);
    EXPECT_NEAR(v.Points[3], 0, 1e-5);
    EXPECT_NEAR(v.Points[5], 6, 1e-5);
    EXPECT_NEAR(v.Points[7], 0, 1e-5);
    v.cboVibrato_Click(0);  // "-7"
    EXPECT_NEAR(v.Points[5], -7, 1e-5);

    PitchEditor z = editorWith(tenPoints());
    z.SelStart = z.SelEnd = 4;
    z.cmdSetZero_Click();
    EXPECT_EQ(z.Points[4], 4);
    z.SelEnd = 6;
    z.cmdSetZero_Click();
    EXPECT_EQ(z.Points.mid(3, 5), (QVector<float>{3, 0, 0, 0, 7}));
    z.cmdReset_Click();
    EXPECT_EQ(z.Points, QVector<float>(10, 0));
    EXPECT_DOUBLE_EQ(z.HandleTop[9], z.OriginY - 30 + 0.5);
}

TEST(PitchEditorEdit, HandleDragsByTool) {
    const double up = -45 * 2;  // two units
    const struct {
        int tool;
        QVector<float> expected;
    } cases[] = {
        {0, {0, 0, 0, 2, 0, 0}},  // only the grabbed point
        {1, {0, 2, 2, 2, 2, 0}},  // the selection rigidly
        {2, {0, 0, 1, 2, 1, 0}},  // straight sides from the selection's ends
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tool);
        PitchEditor e = editorWith(QVector<float>(6, 0));
        e.SelStart = 1;
        e.SelEnd = 4;
        if (c.tool == 2) e.SelEnd = 5;
        e.optTool_Click(c.tool);
        e.lbTone_MouseDown(3, 1, 30, 30);
        e.lbTone_MouseMove(3, 30, 30 + up);
        e.lbTone_MouseUp();
        // Handles sit on half-twip positions: two units of 45 twips read back within 0.5 / 45.
        for (int i = 0; i < 6; ++i) EXPECT_NEAR(e.Points[i], c.expected[i], 0.02) << i;
    }
    // The pencil sets the points under the pointer; at zoom 6 no handle is shown and it does nothing.
    PitchEditor p = editorWith(QVector<float>(6, 0));
    p.optTool_Click(6);
    p.Form_MouseDown(1, p.HandleLeft[2] + 5, p.OriginY - 45 * 3);
    EXPECT_EQ(p.Points[2], 3);
    for (int i = 0; i < 4; ++i) p.cmdZoomOut_Click();
    p.Form_MouseMove(p.HandleLeft[4] + 5, p.OriginY - 45 * 3);
    EXPECT_EQ(p.Points[4], 0);
}

TEST(PitchEditorEdit, TextEditingAsksBeforeApplying) {
    PitchEditor e = editorWith({1, 2, 3});
    FakeMessageBox box;
    const QString before = e.AllValuesText();
    EXPECT_EQ(before, QStringLiteral("1.00 2.00 3.00 "));
    EXPECT_FALSE(e.ApplyValuesText(before, before, box));
    EXPECT_FALSE(e.ApplyValuesText(before, QString(), box));
    EXPECT_TRUE(box.shown.isEmpty());
    box.answers.enqueue(MsgResult::Cancel);
    EXPECT_FALSE(e.ApplyValuesText(before, QStringLiteral("5 5 5"), box));
    EXPECT_EQ(e.Points, (QVector<float>{1, 2, 3}));
    box.answers.enqueue(MsgResult::OK);
    EXPECT_TRUE(e.ApplyValuesText(before, QStringLiteral("5 x 7 8 9"), box));
    EXPECT_EQ(e.Points, (QVector<float>{5, 2, 7}));  // non-numbers skipped, the count stays
    EXPECT_EQ(box.lastText(), QStringLiteral("データが変更されています。変更を適用しますか？"));
}

}  // namespace
}  // namespace tova
