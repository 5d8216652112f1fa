// The three note dialogs on screen (offscreen): the fields bound to their models, OK checks with the
// dialog left open, Esc, and a picture of each.

#include "editors/ModalDialogFixture.h"
#include "editors/ui/frmDefaultProperty.h"
#include "editors/ui/frmNoteProperty.h"
#include "editors/ui/frmVolumeFunctionizer.h"
#include "song/NoteArrays.h"
#include "song/NoteExtension.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace tova {
namespace {

class NoteDialogsWindowTest : public test::ModalDialogFixture {
protected:
    static NoteArrays twoNotes() {
        NoteArrays n;
        n.resizeNotes(2);
        n.Lyrics = {QStringLiteral("さ"), QStringLiteral("く")};
        n.NoteNums = {48, 50};
        n.Lengths = {1920, 960};
        n.NoteExt = {QStringLiteral("20::\t80\t\t\tB50Nxy\tstp=5"), QStringLiteral("20::\t90\t\t\tB50N\tstp=5")};
        return n;
    }
    static void noLookup(qint32, const QString&, float& pre, float& ovl) { pre = ovl = 0; }
};

TEST_F(NoteDialogsWindowTest, VolumeAboveTheRangeIsShownAtTheBoundWithTheDialogOpen) {
    NoteArrays notes = twoNotes();
    settings().PropExpandDetail = true;
    whenShown<frmNoteProperty>([](frmNoteProperty& w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("選択範囲のプロパティ"));
        EXPECT_EQ(w.txtVolume->text(), QString());  // mixed
        EXPECT_EQ(w.txtOffset->text(), QStringLiteral("20"));
        EXPECT_FALSE(w.cmdGen->isVisible());
        EXPECT_TRUE(w.cmdOthers->isEnabled());
        EXPECT_EQ(w.chkNoFilter->checkState(), Qt::Checked);
        test::savePng(&w, QStringLiteral("frmNoteProperty_mixed"));
        QTest::keyClicks(w.txtVolume, QStringLiteral("250"));
        QTest::mouseClick(w.OKButton, Qt::LeftButton);
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(w.txtVolume->text(), QStringLiteral("200"));
        QTest::mouseClick(w.OKButton, Qt::LeftButton);
        EXPECT_FALSE(w.isVisible());
    });
    ASSERT_TRUE(frmNoteProperty::ShowProperty(0, 1, notes, settings(), noLookup, nullptr));
    EXPECT_EQ(NoteExtField(notes.NoteExt[0], ExtIntensity), QStringLiteral("200"));
    EXPECT_EQ(NoteExtField(notes.NoteExt[1], ExtIntensity), QStringLiteral("200"));
    EXPECT_EQ(NoteExtField(notes.NoteExt[0], ExtFlags), QStringLiteral("B50Nxy"));
}

TEST_F(NoteDialogsWindowTest, EscChangesNothing) {
    NoteArrays notes = twoNotes();
    const NoteArrays before = notes;
    whenShown<frmNoteProperty>([](frmNoteProperty& w) {
        QTest::keyClicks(w.txtWord, QStringLiteral("R"));
        QTest::keyClicks(w.txtLeng, QStringLiteral("0"));
        QTest::keyClick(&w, Qt::Key_Escape);
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_FALSE(frmNoteProperty::ShowProperty(0, 1, notes, settings(), noLookup, nullptr));
    EXPECT_EQ(notes.Lyrics, before.Lyrics);
    EXPECT_EQ(notes.Lengths, before.Lengths);
    EXPECT_EQ(notes.NoteExt, before.NoteExt);
}

TEST_F(NoteDialogsWindowTest, ASingleNoteWithItsDetailPartAndTheGreyStateByDoubleClick) {
    NoteArrays notes = twoNotes();
    whenShown<frmNoteProperty>([](frmNoteProperty& w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("音符「さ」のプロパティ"));
        EXPECT_TRUE(w.cmdGen->isVisible());
        EXPECT_TRUE(w.lblDetail->isVisible());
        QTest::mouseClick(w.lblDetail, Qt::LeftButton);
        EXPECT_TRUE(w.lblHideDetail->isVisible());
        EXPECT_TRUE(w.txtBre->isVisible());
        EXPECT_EQ(w.txtBre->text(), QStringLiteral("50"));
        EXPECT_EQ(w.txtFlags->text(), QStringLiteral("xy"));
        EXPECT_EQ(w.cboNote->currentText(), QStringLiteral("C5"));
        test::savePng(&w, QStringLiteral("frmNoteProperty"));
        QTest::keyClick(w.txtBre, Qt::Key_Backspace);
        QTest::keyClick(w.txtBre, Qt::Key_Backspace);
        QTest::mouseClick(w.OKButton, Qt::LeftButton);
    });
    ASSERT_TRUE(frmNoteProperty::ShowProperty(0, 0, notes, settings(), noLookup, nullptr));
    EXPECT_EQ(NoteExtField(notes.NoteExt[0], ExtFlags), QStringLiteral("Nxy"));
    EXPECT_TRUE(settings().PropExpandDetail);
}

TEST_F(NoteDialogsWindowTest, DefaultPropertiesBuildAndStoreTheFlags) {
    settings().DefaultFlags = QStringLiteral("B40g-20xyz");
    whenShown<frmDefaultProperty>([](frmDefaultProperty& w) {
        EXPECT_TRUE(w.chkBre->isChecked());
        EXPECT_EQ(w.chkBre->text(), QStringLiteral("B40"));
        EXPECT_FALSE(w.sldYFlag->isEnabled());
        EXPECT_EQ(w.lblFlagResult->text(), QStringLiteral("B40g-20xyz"));
        QTest::mouseClick(w.chkYFlag, Qt::LeftButton);
        EXPECT_TRUE(w.sldYFlag->isEnabled());
        w.txtVolume->setFocus();
        QTest::keyClick(w.txtVolume, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(w.txtVolume, QStringLiteral("250"));
        QFocusEvent leave(QEvent::FocusOut);  // leaving the box limits it to the slider
        QApplication::sendEvent(w.txtVolume, &leave);
        EXPECT_EQ(w.txtVolume->text(), QStringLiteral("200"));
        EXPECT_EQ(w.sldVolume->value(), 200);
        EXPECT_EQ(w.lblFlagResult->text(), QStringLiteral("B40g-20Y100xyz"));
        test::savePng(&w, QStringLiteral("frmDefaultProperty"));
        QTest::mouseClick(w.cmdOK, Qt::LeftButton);
    });
    ASSERT_TRUE(frmDefaultProperty::ShowDialog(settings(), nullptr));
    EXPECT_EQ(settings().DefaultFlags, QStringLiteral("B40g-20Y100xyz"));
    EXPECT_EQ(settings().DefaultVolume, 200);

    whenShown<frmDefaultProperty>([](frmDefaultProperty& w) {
        QTest::mouseClick(w.cmdClear, Qt::LeftButton);
        QTest::keyClick(&w, Qt::Key_Escape);
    });
    EXPECT_FALSE(frmDefaultProperty::ShowDialog(settings(), nullptr));
    EXPECT_EQ(settings().DefaultFlags, QStringLiteral("B40g-20Y100xyz"));
}

TEST_F(NoteDialogsWindowTest, VolumeMultiplierAppliesTheTypedGain) {
    const QStringList lyrics{QStringLiteral("あ"), QStringLiteral("R")};
    QStringList ext{QStringLiteral("\t100\t\t\t\t"), QString()};
    whenShown<frmVolumeFunctionizer>([](frmVolumeFunctionizer& w) {
        EXPECT_EQ(w.txtMul->text(), QStringLiteral("0.0"));
        w.Slider1->setValue(-7);
        EXPECT_EQ(w.txtMul->text(), QStringLiteral("-7.0"));
        w.txtMul->selectAll();
        QTest::keyClicks(w.txtMul, QStringLiteral("-6"));
        EXPECT_EQ(w.Slider1->value(), -6);
        test::savePng(&w, QStringLiteral("frmVolumeFunctionizer"));
        QTest::mouseClick(w.cmdOK, Qt::LeftButton);
    });
    ASSERT_TRUE(frmVolumeFunctionizer::ShowDialog(0, 1, lyrics, ext, nullptr));
    EXPECT_EQ(ext, (QStringList{QStringLiteral("\t50\t\t\t\t"), QString()}));

    whenShown<frmVolumeFunctionizer>([](frmVolumeFunctionizer& w) {
        EXPECT_EQ(w.txtMul->text(), QStringLiteral("-6"));  // kept from the last time
        QTest::keyClick(&w, Qt::Key_Escape);
    });
    EXPECT_FALSE(frmVolumeFunctionizer::ShowDialog(0, 1, lyrics, ext, nullptr));
    EXPECT_EQ(ext[0], QStringLiteral("\t50\t\t\t\t"));
}

}  // namespace
}  // namespace tova
