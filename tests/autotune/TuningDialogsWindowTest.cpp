// The four tuning dialogs on screen (offscreen): the controls bound to their models, confirming and
// cancelling through the entries, the one-click outcomes, and a picture of each.

#include "autotune/ui/frmAutoBibrato.h"
#include "autotune/ui/frmAutoCombine.h"
#include "autotune/ui/frmAutoPitch.h"
#include "autotune/ui/frmOmakase.h"
#include "core/ui/Twips.h"
#include "editors/ModalDialogFixture.h"
#include "platform/FakePorts.h"
#include "song/FakeNoteTiming.h"
#include "song/NoteArrays.h"
#include "song/NoteExtension.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace tova {
namespace {

class TuningDialogsWindowTest : public test::ModalDialogFixture {
protected:
    static NoteArrays song() {
        NoteArrays n;
        n.resizeNotes(3);
        n.Lyrics = {QStringLiteral("か"), QStringLiteral("あ"), QStringLiteral("さ")};
        n.NoteNums = {48, 50, 47};
        n.Lengths = {1920, 1920, 1920};
        n.NoteExt = {QString(), QString(), QString()};
        return n;
    }
    bool settingsFile(const char* name) const {
        return QFile::exists(folder() + QStringLiteral("/settings/") + QLatin1String(name) + QStringLiteral(".ini"));
    }
    test::FakeNoteTiming timing;
};

TEST_F(TuningDialogsWindowTest, AutoPitchAppliesTheTypedValuesAndCancelStillStores) {
    NoteArrays n = song();
    whenShown<frmAutoPitch>([](frmAutoPitch& w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("オートピッチベンド"));
        EXPECT_EQ(w.txtUpperStart->text(), QStringLiteral("-50"));
        EXPECT_TRUE(w.chkUseParams->isChecked());
        test::savePng(&w, QStringLiteral("frmAutoPitch"));
        w.txtUpperStart->selectAll();
        QTest::keyClicks(w.txtUpperStart, "-30");
        w.chkDown->click();
        w.cmdSet->click();
    });
    float tempo = 120;
    ASSERT_TRUE(frmAutoPitch::ShowAutoPitchDialog(tempo, 0, 2, n, timing, nullptr));
    EXPECT_EQ(GetNoteOption(n.NoteExt.at(1), QStringLiteral("PBS")), QStringLiteral("-40"));  // -30 + 1 x -10
    EXPECT_EQ(GetNoteOption(n.NoteExt.at(2), QStringLiteral("PBS")), QString());              // falling: off
    // Esc: nothing changes, the settings file is written all the same.
    QFile::remove(folder() + QStringLiteral("/settings/autopitch.ini"));
    NoteArrays m = song();
    whenShown<frmAutoPitch>([](frmAutoPitch& w) { QTest::keyClick(&w, Qt::Key_Escape); });
    EXPECT_FALSE(frmAutoPitch::ShowAutoPitchDialog(tempo, 0, 2, m, timing, nullptr));
    EXPECT_EQ(m.NoteExt, song().NoteExt);
    EXPECT_TRUE(settingsFile("autopitch"));
}

TEST_F(TuningDialogsWindowTest, AnUnreadableSettingsFileIsReportedUnderTheDialogsTitleAndNotOverwritten) {
    ScopedFakePorts ports;
    // A folder where the file should be: it exists but cannot be read.
    ASSERT_TRUE(QDir().mkpath(folder() + QStringLiteral("/settings/autopitch.ini")));
    NoteArrays n = song();
    whenShown<frmAutoPitch>([](frmAutoPitch& w) { w.cmdSet->click(); });
    float tempo = 120;
    EXPECT_TRUE(frmAutoPitch::ShowAutoPitchDialog(tempo, 0, 2, n, timing, nullptr));
    ASSERT_FALSE(ports.messageBox.shown.isEmpty());
    EXPECT_EQ(ports.messageBox.shown.first().title, QStringLiteral("オートピッチ"));
    EXPECT_EQ(ports.messageBox.shown.first().icon, MsgIcon::Exclamation);
    EXPECT_EQ(ports.messageBox.shown.size(), 1);  // nothing written over it at closing
    EXPECT_TRUE(QFileInfo(folder() + QStringLiteral("/settings/autopitch.ini")).isDir());
}

TEST_F(TuningDialogsWindowTest, AutoVibratoConfirmsAndSavesPresets) {
    NoteArrays n = song();
    whenShown<frmAutoBibrato>([](frmAutoBibrato& w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("ピッチを波打たせる"));
        EXPECT_EQ(w.txtLimit->text(), QStringLiteral("480"));
        test::savePng(&w, QStringLiteral("frmAutoBibrato"));
        w.cmdSave->click();
        EXPECT_EQ(w.model().Combo1.Items, QStringList{QStringLiteral("Item0")});
        w.cmdSet->click();
    });
    float tempo = 120;
    ASSERT_TRUE(frmAutoBibrato::ShowAutoVibratoDialog(tempo, 0, 2, n, timing, nullptr));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(GetNoteOption(n.NoteExt.at(i), QStringLiteral("VBR")), QStringLiteral("70 150 100 50 50 50 0 0")) << i;
    EXPECT_TRUE(settingsFile("autobibrato"));
}

TEST_F(TuningDialogsWindowTest, AutoCombineDoubleClickShowsTheEnvelopesAndOkJoins) {
    NoteArrays n = song();
    whenShown<frmAutoCombine>([](frmAutoCombine& w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("自動母音結合"));
        EXPECT_EQ(w.height(), (AutoCombineDialog::ShortHeight - Twips::FrameHeight) / 15);
        QTest::mouseDClick(&w, Qt::LeftButton, Qt::NoModifier, QPoint(200, 10));
        EXPECT_EQ(w.height(), (AutoCombineDialog::FullHeight - Twips::FrameHeight) / 15);
        test::savePng(&w, QStringLiteral("frmAutoCombine"));
        w.chkVolNext->click();
        EXPECT_FALSE(w.txtPer->isEnabled());
        w.cmdOK->click();
    });
    ASSERT_TRUE(frmAutoCombine::ShowAutoCombineDialog(120, 0, 2, n, timing, nullptr));
    EXPECT_EQ(NoteExtField(n.NoteExt.at(1), ExtTiming), QStringLiteral("50:100:"));
    EXPECT_EQ(NoteExtField(n.NoteExt.at(1), ExtIntensity), QString());  // volume box cleared
}

TEST_F(TuningDialogsWindowTest, OmakaseOutcomes) {
    ScopedFakePorts ports;
    const auto random = [] { return 0.5; };
    {  // "全部" answered No keeps the dialog open; Yes then applies to every note.
        NoteArrays n = song();
        ports.messageBox.answers.enqueue(MsgResult::No);
        ports.messageBox.answers.enqueue(MsgResult::Yes);
        whenShown<frmOmakase>([&](frmOmakase& w) {
            EXPECT_EQ(w.windowTitle(), QStringLiteral("おま☆かせ"));
            EXPECT_EQ(w.Label4->text(), QStringLiteral("ﾓｼﾞｭﾚｰｼｮﾝ 0"));
            test::savePng(&w, QStringLiteral("frmOmakase"));
            w.cmdOKAll->click();
            EXPECT_TRUE(w.isVisible());
            EXPECT_EQ(ports.messageBox.lastText(),
                      QStringLiteral("選択範囲を無視してプロジェクト内のすべての音符におま☆かせ調声を施します。\r\nよろしいですか？"));
            w.cmdOKAll->click();
        });
        EXPECT_EQ(frmOmakase::ShowOmakaseDialog(120, 2, 2, n, timing, nullptr, random), 1);
        EXPECT_FALSE(GetNoteOption(n.NoteExt.at(0), QStringLiteral("VBR")).isEmpty());  // outside the selection
    }
    {  // the selection
        NoteArrays n = song();
        whenShown<frmOmakase>([](frmOmakase& w) { w.cmdOKSelection->click(); });
        EXPECT_EQ(frmOmakase::ShowOmakaseDialog(120, 2, 2, n, timing, nullptr, random), 2);
        EXPECT_TRUE(GetNoteOption(n.NoteExt.at(0), QStringLiteral("VBR")).isEmpty());
        EXPECT_FALSE(GetNoteOption(n.NoteExt.at(2), QStringLiteral("PBS")).isEmpty());
    }
    {  // cancel, Esc and the close box
        for (int way = 0; way < 3; ++way) {
            NoteArrays n = song();
            whenShown<frmOmakase>([way](frmOmakase& w) {
                if (way == 0) w.cmdCancel->click();
                if (way == 1) QTest::keyClick(&w, Qt::Key_Escape);
                if (way == 2) w.close();
            });
            EXPECT_EQ(frmOmakase::ShowOmakaseDialog(120, 0, 2, n, timing, nullptr, random), 0) << way;
            EXPECT_EQ(n.NoteExt, song().NoteExt);
        }
    }
    EXPECT_TRUE(settingsFile("omakase"));
}

TEST_F(TuningDialogsWindowTest, OmakaseModulationLabelAndPreviews) {
    ScopedFakePorts ports;
    NoteArrays n = song();
    whenShown<frmOmakase>([](frmOmakase& w) {
        QTest::mouseClick(w.Label4, Qt::LeftButton);
        EXPECT_EQ(w.Label4->text(), QStringLiteral("ﾓｼﾞｭﾚｰｼｮﾝ 10"));
        QTest::mouseClick(w.Label4, Qt::RightButton);
        QTest::mouseClick(w.Label4, Qt::RightButton);
        EXPECT_EQ(w.model().ModulationValue, -10);
        const QImage before = w.pictUp->pixmap().toImage();
        w.chkUpper->click();  // grey when not ticked
        EXPECT_NE(w.pictUp->pixmap().toImage(), before);
        w.cmdCancel->click();
    });
    EXPECT_EQ(frmOmakase::ShowOmakaseDialog(120, 0, 2, n, timing, nullptr, [] { return 0.0; }), 0);
}

}  // namespace
}  // namespace tova
