// The windows of the prefix.map editor, the suffix dialog and the sample picker (offscreen): their
// controls reach the models, and the results reach the files and the song.
#include "VoiceBankFixture.h"

#include "voicebank/ui/QtPrefixMapEditor.h"
#include "voicebank/ui/QtSamplePicker.h"
#include "voicebank/ui/QtSuffixBroker.h"
#include "voicebank/ui/frmFromList.h"
#include "voicebank/ui/frmPrefixmap.h"
#include "voicebank/ui/frmSurffixBroker.h"

#include "commands/FakeEditContext.h"
#include "core/Processes.h"
#include "core/Settings.h"
#include "platform/FakePorts.h"
#include "platform/SystemPaths.h"
#include "render/OtoIni.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;
using namespace Qt::StringLiterals;

namespace {

// Runs `inside` on the shown modal window of type W once the event loop runs; closes it if the step
// did not.
template <typename W>
void whenShown(const std::function<void(W&)>& inside) {
    QTimer::singleShot(0, [inside] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* w = qobject_cast<W*>(top); w && w->isVisible()) {
                EXPECT_TRUE(QTest::qWaitForWindowExposed(w));
                inside(*w);
                if (w->isVisible()) w->reject();
                return;
            }
        ADD_FAILURE() << "no window shown";
    });
}

void clickRow(QAbstractItemView* view, int row, bool ctrl = false) {
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    const QPoint at = view->visualRect(index).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, ctrl ? Qt::ControlModifier : Qt::NoModifier, at);
}

TEST(PrefixMapWindow, RowsAreEditedThroughTheControlsAndOkWritesTheFile) {
    ScopedFakePorts ports;
    BankFolder bank;
    bank.oto(u"prefix.map"_s, u"C4\ta\t\r\nD4\tb\t強\r\nE4\t\t\r\n"_s);
    {
        frmPrefixmap w;
        w.Load(bank.root());
        w.show();
        EXPECT_EQ(w.windowTitle(), u"PrefixMapエディタ"_s);
        EXPECT_EQ(w.ListView1->headerItem()->text(1), u"前"_s);
        EXPECT_EQ(w.ListView1->topLevelItemCount(), 3);
        savePng(&w, u"frmPrefixmap"_s);
    }
    QtPrefixMapEditor editor;
    whenShown<frmPrefixmap>([](frmPrefixmap& w) {
        clickRow(w.ListView1, 0);
        EXPECT_EQ(w.txtKey->text(), u"C4"_s);
        EXPECT_EQ(w.txtPrefix->text(), u"a"_s);
        clickRow(w.ListView1, 1, true);  // two rows: no name, no shared prefix
        EXPECT_EQ(w.txtKey->text(), QString());
        EXPECT_EQ(w.txtPrefix->text(), QString());
        QTest::keyClicks(w.txtSuffix, "x");
        w.cmdSet->click();
        EXPECT_EQ(w.ListView1->topLevelItem(1)->text(2), u"x"_s);
        w.cmdOK->click();
    });
    EXPECT_TRUE(editor.ShowDialog(bank.root(), nullptr));
    EXPECT_EQ(bank.bytes(u"prefix.map"_s), Cp932::encode(u"C4\t\tx\r\nD4\t\tx\r\nE4\t\t\r\n"_s));

    // The close box after an edit: False, nothing written.
    const QByteArray saved = bank.bytes(u"prefix.map"_s);
    whenShown<frmPrefixmap>([](frmPrefixmap& w) {
        w.cmdSelAll->click();
        w.cmdClear->click();
        EXPECT_EQ(w.ListView1->topLevelItem(0)->text(2), QString());
        w.cmdReload->click();  // the file's rows again
        EXPECT_EQ(w.ListView1->topLevelItem(0)->text(2), u"x"_s);
        w.cmdClear->click();
        w.close();
    });
    EXPECT_FALSE(editor.ShowDialog(bank.root(), nullptr));
    EXPECT_EQ(bank.bytes(u"prefix.map"_s), saved);
    EXPECT_TRUE(ports.messageBox.shown.isEmpty());
}

TEST(SuffixBrokerWindow, OkAppliesTheTypedSuffixAndTheCloseBoxChangesNothing) {
    QTemporaryDir program;
    SystemPaths::setProgramFolder(program.path());
    ScopedFakePorts ports;
    {
        frmSurffixBroker w;
        w.show();
        EXPECT_EQ(w.windowTitle(), u"SurffixBroker"_s);
        EXPECT_EQ(w.cboSurffix->count(), 11);
        EXPECT_EQ(w.cboQu->itemText(1), u"+?"_s);
        savePng(&w, u"frmSurffixBroker"_s);
    }
    QtSuffixBroker broker;
    QStringList lyrics{u"a か↑"_s, u"きゃ強"_s, u"R"_s};
    whenShown<frmSurffixBroker>([](frmSurffixBroker& w) {
        w.cboSurffix->setCurrentIndex(2);  // "↓"
        w.cboQu->setCurrentIndex(1);       // "+?"
        w.chkRemovePrefix->setChecked(true);
        w.cmdOK->click();
    });
    EXPECT_TRUE(broker.ShowDialog(0, 2, lyrics, nullptr));
    EXPECT_EQ(lyrics, (QStringList{u"?か↓"_s, u"?きゃ↓"_s, u"R"_s}));

    // A typed suffix added to the list, then the close box: the lyrics stay, the list is kept.
    whenShown<frmSurffixBroker>([](frmSurffixBroker& w) {
        w.cboSurffix->lineEdit()->clear();
        QTest::keyClicks(w.cboSurffix->lineEdit(), "7");
        w.cmdAdd->click();
        EXPECT_EQ(w.cboSurffix->itemText(w.cboSurffix->count() - 1), u"7"_s);
        w.close();
    });
    EXPECT_FALSE(broker.ShowDialog(0, 2, lyrics, nullptr));
    EXPECT_EQ(lyrics, (QStringList{u"?か↓"_s, u"?きゃ↓"_s, u"R"_s}));
    EXPECT_TRUE(readFile(program.path() + u"/settings/suffixbroker.ini"_s).endsWith(",6,7\r\n"));
    EXPECT_TRUE(ports.messageBox.shown.isEmpty());
    SystemPaths::setProgramFolder(QString());
}

struct SamplePickerWindowTest : ::testing::Test {
    BankFolder bank;
    ScopedFakePorts ports;
    LoggingMci mci;
    FakeEditContext c;

    void SetUp() override {
        settings() = Settings{};
        bank.oto(u"oto.ini"_s, u"ka.wav=か,0,0,0,0,0\r\n"_s);
        bank.samples({u"ka.wav"_s, u"sa.wav"_s, u"ta.wav"_s});
        ASSERT_TRUE(writeFrq(bank.path(u"ka.wav"_s), 440.0, 100));
        LoadOtoIni(bank.root());
        c.s.resizeNotes(1);
        c.s.Lyrics = {u"あ"_s};
        c.setSelection(0, 0);
    }
    void TearDown() override {
        ClearOtoTable();
        settings() = Settings{};
    }
};

TEST_F(SamplePickerWindowTest, TheListFillsAfterShowingAndDoubleClicksInsertNotes) {
    QtSamplePicker picker(&mci);
    picker.ShowList(bank.root(), c);
    frmFromList* w = picker.window();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->isModal());
    EXPECT_EQ(w->List1->count(), 0);  // filled by the timer, after the window is shown
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->List1->count() == 3; }, 5000));
    EXPECT_EQ(w->List1->item(0)->text(), u"か"_s);
    savePng(w, u"frmFromList"_s);

    clickRow(w->List1, 0);
    EXPECT_EQ(mci.log.size(), 2);
    QTest::mouseDClick(w->List1->viewport(), Qt::LeftButton, {}, w->List1->visualItemRect(w->List1->item(0)).center());
    ASSERT_EQ(c.s.noteCount(), 2);
    EXPECT_EQ(c.s.Lyrics[0], u"か"_s);
    EXPECT_EQ(c.s.NoteNums[0], 45);
    EXPECT_EQ(c.s.Lengths[0], 2280);
    EXPECT_EQ(c.s.SelStart, 1);

    // Replace mode on the next note, silently.
    w->chkReplace->click();
    w->chkSilent->click();
    mci.log.clear();
    emit w->List1->itemClicked(w->List1->item(1));
    emit w->List1->itemDoubleClicked(w->List1->item(1));
    EXPECT_EQ(c.s.Lyrics, (QStringList{u"か"_s, u"sa"_s}));
    EXPECT_TRUE(mci.log.isEmpty());

    // "閉じる" hides and keeps the list; the same folder shows it again without a fill.
    w->CancelButton->click();
    EXPECT_FALSE(w->isVisible());
    picker.ShowList(bank.root(), c);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->Timer1->isActive());
    EXPECT_EQ(w->List1->count(), 3);
    // The close box: the next opening fills the list again.
    w->close();
    EXPECT_FALSE(w->isVisible());
    picker.ShowList(bank.root(), c);
    EXPECT_TRUE(w->Timer1->isActive());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w->Timer1->isActive(); }, 5000));
    EXPECT_EQ(w->List1->count(), 3);
    EXPECT_TRUE(ports.messageBox.shown.isEmpty());
}

}  // namespace
