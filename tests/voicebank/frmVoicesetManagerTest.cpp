#include "VoiceBankFixture.h"

#include "voicebank/ui/QtVoiceBankManager.h"
#include "voicebank/ui/frmVoicesetManager.h"

#include "core/Settings.h"
#include "platform/FakePorts.h"
#include "render/OtoIni.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace tova;
using namespace tova::test;
using namespace Qt::StringLiterals;

namespace {

// The manager window over a bank where か is the alias of さ.wav, which the list shows after か.wav.
struct ManagerWindowTest : ::testing::Test {
    BankFolder bank;
    ScopedFakePorts ports;
    QtVoiceBankManager manager;

    void SetUp() override {
        settings() = Settings{};
        bank.oto(u"oto.ini"_s, u"か.wav=,1,2,3,4,5\r\nさ.wav=か,10,20,30,40,50\r\nた.wav=た,5,5,5,5,5\r\n"_s);
        bank.samples({u"か.wav"_s, u"さ.wav"_s, u"た.wav"_s});
        LoadOtoIni(bank.root());
    }
    void TearDown() override {
        ClearOtoTable();
        settings() = Settings{};
    }
    // Opens the window on the name and runs `inside` once it is shown; the step must close it.
    bool open(const QString& name, const std::function<void(frmVoicesetManager&)>& inside) {
        QTimer::singleShot(0, [&] {
            frmVoicesetManager* w = manager.window();
            ASSERT_NE(w, nullptr);
            ASSERT_TRUE(w->isVisible());
            inside(*w);
            if (w->isVisible()) w->reject();  // a failed step leaves no window behind
        });
        return manager.ShowDialog(bank.root(), name, QString(), bank.path(u"cache"_s), QString(), false, nullptr);
    }
    static QString cell(frmVoicesetManager& w, int row, int column) {
        return w.ListView1->model()->index(row, column).data().toString();
    }
    static int shownRow(frmVoicesetManager& w) { return w.ListView1->currentIndex().row(); }
};

}  // namespace

TEST_F(ManagerWindowTest, AliasWinsOverFileAndOffsetBelowZeroStoresZero) {
    const bool saved = open(u"か"_s, [&](frmVoicesetManager& w) {
        EXPECT_EQ(cell(w, 0, 0), u"か.wav"_s);
        EXPECT_EQ(cell(w, shownRow(w), 0), u"さ.wav"_s);
        EXPECT_EQ(w.txtAlias->text(), u"か"_s);
        EXPECT_EQ(w.txtOffset->text(), u"10"_s);
        w.txtOffset->clear();
        QTest::keyClicks(w.txtOffset, u"-12"_s);
        QTest::mouseClick(w.cmdSet, Qt::LeftButton);
        EXPECT_EQ(cell(w, shownRow(w), 2), u"0"_s);
        EXPECT_EQ(w.txtOffset->text(), u"-12"_s);
        savePng(&w, u"frmVoicesetManager"_s);
        QTest::mouseClick(w.cmdOK, Qt::LeftButton);
    });
    EXPECT_TRUE(saved);
    EXPECT_TRUE(bank.bytes(u"oto.ini"_s).contains(Cp932::encode(u"さ.wav=か,0,20,30,40,50\r\n"_s)));
    EXPECT_EQ(OtoTable()[1], u"さ.wav\tか\t0\t20\t30\t40\t50"_s);
}

TEST_F(ManagerWindowTest, ClearedAliasesComeBackAfterCancel) {
    EXPECT_FALSE(open(u"た"_s, [&](frmVoicesetManager& w) {
        QTest::mouseDClick(w.Label3, Qt::LeftButton);
        EXPECT_EQ(ports.messageBox.lastText(), u"全てのエントリのエイリアスをクリアします"_s);
        for (int row = 0; row < 3; ++row) EXPECT_EQ(cell(w, row, 1), QString());
        EXPECT_EQ(w.txtAlias->text(), QString());
        QTest::mouseClick(w.cmdClose, Qt::LeftButton);
    }));
    EXPECT_FALSE(open(u"た"_s, [&](frmVoicesetManager& w) {
        EXPECT_EQ(cell(w, 1, 1), u"か"_s);
        EXPECT_EQ(cell(w, 2, 1), u"た"_s);
        EXPECT_EQ(w.txtAlias->text(), u"た"_s);
        QTest::keyClick(&w, Qt::Key_Escape);
    }));
    EXPECT_EQ(bank.bytes(u"oto.ini"_s), Cp932::encode(u"か.wav=,1,2,3,4,5\r\nさ.wav=か,10,20,30,40,50\r\nた.wav=た,5,5,5,5,5\r\n"_s));
}

TEST_F(ManagerWindowTest, ListEventsAndReadOnlyBoxes) {
    open(u"た"_s, [&](frmVoicesetManager& w) {
        // A click on a row shows it; the arrow keys move the shown row.
        const QRect first = w.ListView1->visualRect(w.ListView1->model()->index(0, 0));
        QTest::mouseClick(w.ListView1->viewport(), Qt::LeftButton, {}, first.center());
        EXPECT_EQ(w.txtName->text(), u"か.wav"_s);
        QTest::keyClick(w.ListView1, Qt::Key_Down);
        EXPECT_EQ(w.txtName->text(), u"さ.wav"_s);
        // Typing into the name and folder boxes changes nothing.
        QTest::keyClicks(w.txtName, u"x"_s);
        QTest::keyClicks(w.txtOtoPath, u"x"_s);
        EXPECT_EQ(w.txtName->text(), u"さ.wav"_s);
        EXPECT_EQ(w.txtOtoPath->text(), bank.root());
        // Closing is refused while a frequency-table run is going on.
        w.logic().Busy = true;
        w.reject();
        EXPECT_TRUE(w.isVisible());
        w.logic().Busy = false;
        w.reject();
        EXPECT_FALSE(w.isVisible());
    });
    manager.Unload();
    EXPECT_EQ(manager.window(), nullptr);
}
