// The envelope editor, the pitch-control dialog and the pitch editor on screen (offscreen): mouse and
// keys reach their models, OK hands the edited texts back, and a picture of each.

#include "editors/ModalDialogFixture.h"
#include "core/Settings.h"
#include "editors/ui/Form2.h"
#include "editors/ui/frmMode2.h"
#include "editors/ui/frmNotePropEx.h"
#include "platform/FakePorts.h"
#include "song/NoteArrays.h"
#include "song/NoteExtension.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QSlider>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>

namespace tova {
namespace {

class CurveEditorsWindowTest : public test::ModalDialogFixture {
protected:
    // Presses the left button at `from`, moves to `to` with it held and releases it (window pixels).
    static void dragMouse(QWidget* w, QPointF from, QPointF to) {
        QMouseEvent press(QEvent::MouseButtonPress, from, w->mapToGlobal(from), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &press);
        QMouseEvent move(QEvent::MouseMove, to, w->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, to, w->mapToGlobal(to), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &release);
    }
};

TEST_F(CurveEditorsWindowTest, DraggingHandle4OfTheEnvelopeFillsP5AndV5) {
    EnvelopeDialogArgs a;
    a.prevIsRest = true;
    a.prevLengthMs = 120;
    a.noteLengthMs = 480;
    a.preutterance = QStringLiteral("20");
    a.overlap = QStringLiteral("10");
    a.otoPre = 20;
    a.otoOverlap = 10;
    whenShown<frmNotePropEx>([](frmNotePropEx& w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("エンベロープ"));
        EXPECT_EQ(w.txtParam[2]->text(), QStringLiteral("35"));
        EXPECT_EQ(w.txtParam[10]->text(), QString());
        EXPECT_TRUE(w.chkRelated->isChecked());
        test::savePng(&w, QStringLiteral("frmNotePropEx"));
        const EnvelopeEditor& m = w.model();
        const QPointF handle4((m.HandleLeft[EnvelopeEditor::P5] + 30) / 15, (m.HandleTop[EnvelopeEditor::P5] + 30) / 15);
        ASSERT_EQ(w.handleAt(handle4.toPoint()), EnvelopeEditor::P5);
        dragMouse(&w, handle4, handle4 + QPointF(40, 20));
        EXPECT_FALSE(w.txtParam[10]->text().isEmpty());
        EXPECT_FALSE(w.txtParam[11]->text().isEmpty());
        EXPECT_LT(w.txtParam[11]->text().toInt(), 100);
        test::savePng(&w, QStringLiteral("frmNotePropEx_p5"));
        QTest::mouseClick(w.cmdOK, Qt::LeftButton);
    });
    const std::optional<bool> ok = frmNotePropEx::ShowEnvelopeDialog(a, nullptr);
    ASSERT_TRUE(ok.has_value());
    EXPECT_TRUE(*ok);
    EXPECT_TRUE(a.envelope.startsWith(QStringLiteral("0 5 35 0 100 100 0 % 0 "))) << a.envelope.toStdString();

    // A typed value is normalised in its box; Escape leaves the texts.
    EnvelopeDialogArgs b = a;
    whenShown<frmNotePropEx>([](frmNotePropEx& w) {
        w.txtParam[0]->setFocus();
        w.txtParam[0]->selectAll();
        QTest::keyClicks(w.txtParam[0], QStringLiteral("-"));
        EXPECT_EQ(w.txtParam[0]->text(), QStringLiteral("0"));
        QTest::keyClick(&w, Qt::Key_Escape);
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_EQ(frmNotePropEx::ShowEnvelopeDialog(b, nullptr), std::optional<bool>(false));
    EXPECT_EQ(b.envelope, a.envelope);
    b.noteLengthMs = 0;
    EXPECT_FALSE(frmNotePropEx::ShowEnvelopeDialog(b, nullptr).has_value());
}

// With the default envelope every handle lies wholly inside the window and under no control, so a
// press on a handle drags it: the end handle on the bottom line is not under "ｷｬﾝｾﾙ".
TEST_F(CurveEditorsWindowTest, EnvelopeHandlesStayClearOfTheControls) {
    EnvelopeDialogArgs a;
    a.prevIsRest = true;
    a.noteLengthMs = 480;
    a.otoPre = 20;
    a.otoOverlap = 10;
    whenShown<frmNotePropEx>([](frmNotePropEx& w) {
        const EnvelopeEditor& m = w.model();
        for (int h = 0; h < 5; ++h) {
            SCOPED_TRACE(h);
            const QRectF handle(m.HandleLeft[size_t(h)] / 15, m.HandleTop[size_t(h)] / 15, EnvelopeEditor::HandleSize / 15,
                                EnvelopeEditor::HandleSize / 15);
            EXPECT_TRUE(QRectF(w.rect()).contains(handle)) << handle.x() << ',' << handle.y();
            for (QWidget* c : w.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (c->isVisible()) EXPECT_FALSE(QRectF(c->geometry()).intersects(handle)) << c->objectName().toStdString();
        }
        const QPointF end((m.HandleLeft[EnvelopeEditor::P4] + 30) / 15, (m.HandleTop[EnvelopeEditor::P4] + 30) / 15);
        ASSERT_EQ(w.handleAt(end.toPoint()), EnvelopeEditor::P4);
        QTest::mouseClick(&w, Qt::LeftButton, Qt::NoModifier, end.toPoint());
        EXPECT_TRUE(w.isVisible());
        QTest::mouseClick(w.cmdCancel, Qt::LeftButton);
    });
    EXPECT_EQ(frmNotePropEx::ShowEnvelopeDialog(a, nullptr), std::optional<bool>(false));
}

TEST_F(CurveEditorsWindowTest, PitchControlOpensASevenFieldVibratoChecked) {
    NoteArrays n;
    n.resizeNotes(1);
    n.Lyrics = {QStringLiteral("あ")};
    n.NoteNums = {48};
    n.Lengths = {1920};
    n.NoteExt = {QStringLiteral("\t\t\t\t\tVBR=50 200 30 10 10 5 3")};
    whenShown<frmMode2>([](frmMode2& w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("ピッチコントロール(Mode2)"));
        EXPECT_EQ(w.chkVibrato->checkState(), Qt::Checked);
        EXPECT_EQ(w.txtV[PitchControl::VIntensity]->text(), QStringLiteral("0"));
        EXPECT_EQ(w.chkPortamento->checkState(), Qt::Unchecked);
        EXPECT_FALSE(w.txtPorStart->isEnabled());
        EXPECT_TRUE(w.cmdUpdateDefault->isVisible());
        EXPECT_FALSE(w.cboExcludeTarget->isVisible());
        QTest::mouseClick(w.chkPortamento, Qt::LeftButton);
        EXPECT_EQ(w.chkPortamento->checkState(), Qt::Checked);
        EXPECT_TRUE(w.txtPorStart->isEnabled());
        QTest::mouseClick(w.chkPortamento, Qt::LeftButton);
        EXPECT_EQ(w.chkPortamento->checkState(), Qt::PartiallyChecked);
        QTest::mouseClick(w.chkPortamento, Qt::LeftButton);
        QTest::mouseClick(w.chkPortamento, Qt::LeftButton);
        EXPECT_EQ(w.chkPortamento->checkState(), Qt::Checked);
        w.txtPorWidth->selectAll();
        QTest::keyClicks(w.txtPorWidth, QStringLiteral("120"));
        EXPECT_TRUE(w.optPorCustom->isChecked());
        EXPECT_EQ(w.sldPorWidth->value(), 120);
        test::savePng(&w, QStringLiteral("frmMode2"));
        QTest::mouseClick(w.OKButton, Qt::LeftButton);
    });
    ASSERT_TRUE(frmMode2::ShowPitchControl(0, 0, n, 120, settings(), nullptr));
    EXPECT_EQ(GetNoteOption(n.NoteExt[0], QStringLiteral("PBS")), QStringLiteral("-40"));
    EXPECT_EQ(GetNoteOption(n.NoteExt[0], QStringLiteral("PBW")), QStringLiteral("120"));
    EXPECT_EQ(GetNoteOption(n.NoteExt[0], QStringLiteral("VBR")), QStringLiteral("50 200 30 10 10 5 3 0"));

    whenShown<frmMode2>([](frmMode2& w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("ピッチコントロールのデフォルト値"));
        EXPECT_FALSE(w.optPointAdd->isVisible());
        test::savePng(&w, QStringLiteral("frmMode2_defaults"));
        QTest::keyClick(&w, Qt::Key_Escape);
    });
    EXPECT_FALSE(frmMode2::ShowPitchControl(-1, -1, n, 120, settings(), nullptr));
}

TEST_F(CurveEditorsWindowTest, PitchEditorDragsAHandleAndWritesThePointsBack) {
    PitchCurveArgs a;
    a.tempo = 120;
    a.pitchText = QStringLiteral("0Q120 5 5");
    a.wavePath = QStringLiteral("voice\\a.wav");
    a.offset = 20;
    a.consonant = 60;
    a.lengthMs = 300;
    a.preutterance = 50;
    a.tail = 10;
    PitchWave wave;
    wave.read = true;
    wave.dataSize = 2 * 22050;
    wave.samples.resize(22050);
    for (int i = 0; i < wave.samples.size(); ++i)
        wave.samples[i] = qint16(12000 * std::sin(i * 0.05) * std::exp(-i / 15000.0));
    whenShown<Form2>([](Form2& w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("ピッチエディタ a.wav"));
        EXPECT_FALSE(w.Check1->isVisible());
        const PitchEditor& m = w.model();
        EXPECT_TRUE(m.HandleVisible[3]);
        const QPointF handle3((m.HandleLeft[3] + 30) / 15, (m.HandleTop[3] + 30) / 15);
        ASSERT_EQ(w.handleAt(handle3), 3);
        dragMouse(&w, handle3, handle3 + QPointF(0, -9));  // 135 twips: 3 units up
        EXPECT_NEAR(m.Points[3], 3, 0.02);
        test::savePng(&w, QStringLiteral("Form2"));
        QTest::mouseClick(w.cmdOK, Qt::LeftButton);
    });
    ASSERT_TRUE(Form2::EditPitchCurve(a, wave, 0, nullptr, nullptr));
    EXPECT_EQ(a.pitchText, QStringLiteral("0Q120 5 5 30"));

    // Ctrl+A and Delete empty the curve; Cancel keeps the text.
    ScopedFakePorts ports;
    whenShown<Form2>([](Form2& w) {
        QTest::keyClick(&w, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&w, Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(&w, Qt::Key_Delete);
        EXPECT_EQ(w.model().Points.count(0.0f), w.model().Points.size());
        QTest::mouseClick(w.cmdCancel, Qt::LeftButton);
    });
    EXPECT_FALSE(Form2::EditPitchCurve(a, wave, 0, nullptr, nullptr));
    EXPECT_EQ(a.pitchText, QStringLiteral("0Q120 5 5 30"));
    EXPECT_TRUE(ports.clipboard.content.startsWith(QStringLiteral("0.00 0.50 0.50 3.00 0.00 ")));
    whenShown<Form2>([](Form2& w) {
        QTest::keyClick(&w, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&w, Qt::Key_Delete);
        QTest::mouseClick(w.cmdOK, Qt::LeftButton);
    });
    ASSERT_TRUE(Form2::EditPitchCurve(a, wave, 0, nullptr, nullptr));
    EXPECT_EQ(a.pitchText, QString());
}

}  // namespace
}  // namespace tova
