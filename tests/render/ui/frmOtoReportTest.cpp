#include "render/ui/frmOtoReport.h"

#include "../VoiceBankFixture.h"

#include "core/Settings.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace tova {
namespace {

const QString kReport = u"情報：\"A_low.wav\"は先行発声が固定範囲の外にあります。\r\n"
                        u"警告：\"ka.wav\"の固定範囲がゼロです。\r\n"
                        u"情報：\"blank.wav\"は未設定です。\r\n"_qs;

TEST(frmOtoReport, ControlsTextsAndPicture) {
    settings() = Settings{};
    frmOtoReport form;
    form.setReportText(kReport);
    EXPECT_EQ(form.objectName(), u"frmOtoReport"_qs);
    EXPECT_EQ(form.windowTitle(), u"原音レポート"_qs);
    EXPECT_EQ(form.findChild<QPlainTextEdit*>(u"Text1"_qs), form.Text1);
    EXPECT_EQ(form.findChild<QCheckBox*>(u"chkNoThankYou"_qs)->text(), u"表示しない"_qs);
    EXPECT_EQ(form.findChild<QPushButton*>(u"OKButton"_qs)->text(), u"閉じる"_qs);
    EXPECT_EQ(form.Text1->toPlainText(), QString(kReport).replace(u"\r\n"_qs, u"\n"_qs));

    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    // Keys are discarded: typing, deleting and pasting change nothing.
    form.Text1->setFocus();
    QTest::keyClicks(form.Text1, "abc");
    QTest::keyClick(form.Text1, Qt::Key_Delete);
    QTest::keyClick(form.Text1, Qt::Key_Backspace);
    QTest::keyClick(form.Text1, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(form.Text1->toPlainText(), QString(kReport).replace(u"\r\n"_qs, u"\n"_qs));

    const QString png = test::savePng(&form, u"frmOtoReport"_qs);
    const QImage image(png);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), form.size() * form.devicePixelRatio());
    form.close();
}

TEST(frmOtoReport, ClosingStoresTheCheckBoxInTheSetting) {
    for (const bool ticked : {true, false}) {
        settings() = Settings{};
        settings().NoOtoReport = !ticked;
        QWidget owner;
        QTimer::singleShot(0, [ticked, &owner] {
            auto* form = qobject_cast<frmOtoReport*>(QApplication::activeModalWidget());
            ASSERT_NE(form, nullptr);
            EXPECT_EQ(form->parentWidget(), &owner);
            EXPECT_TRUE(form->isModal());
            EXPECT_EQ(form->Text1->toPlainText(), u"情報：\"x\"は未設定です。\n"_qs);
            form->chkNoThankYou->setChecked(ticked);
            form->OKButton->click();
        });
        frmOtoReport::ShowReport(u"情報：\"x\"は未設定です。\r\n"_qs, &owner);
        EXPECT_EQ(settings().NoOtoReport, ticked);
    }
    // Closing by the window's close box stores the setting as well.
    settings() = Settings{};
    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<frmOtoReport*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        form->chkNoThankYou->setChecked(true);
        form->close();
    });
    frmOtoReport::ShowReport(u"r"_qs, nullptr);
    EXPECT_TRUE(settings().NoOtoReport);
    settings() = Settings{};
}

// The main window's side of a bank load: the report goes to the report window, owned by the window.
class ReportWindowHost : public OtoLoadHost {
public:
    explicit ReportWindowHost(QWidget* owner) : owner_(owner) {}
    void SetOtoStatusText(const QString&) override {}
    void ShowOtoReport(const QString& report) override { frmOtoReport::ShowReport(report, owner_); }

private:
    QWidget* owner_;
};

class frmOtoReportBank : public test::VoiceBankFixture {};

// Loading the fixture bank shows its report in the window; ticking "表示しない" keeps later loads quiet.
TEST_F(frmOtoReportBank, LoadShowsTheReportUntilSwitchedOff) {
    const QString bank = makeBank();
    QWidget owner;
    ReportWindowHost host(&owner);
    setOtoLoadHost(&host);
    int shown = 0;
    QString pngPath;
    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<frmOtoReport*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        ++shown;
        EXPECT_TRUE(form->Text1->toPlainText().startsWith(u"情報：\"A_low.wav\"は先行発声が固定範囲の外にあります。\n"_qs));
        EXPECT_EQ(form->Text1->toPlainText().count(u'\n'), 7);
        pngPath = test::savePng(form, u"frmOtoReport_bank"_qs);
        form->chkNoThankYou->setChecked(true);
        form->OKButton->click();
    });
    LoadOtoIni(bank);
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(settings().NoOtoReport);
    EXPECT_FALSE(QImage(pngPath).isNull());

    // No window now (a window shown by mistake is counted and closed).
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            ++shown;
            modal->close();
        }
    });
    LoadOtoIni(bank);
    QCoreApplication::processEvents();
    EXPECT_EQ(shown, 1);
}

}  // namespace
}  // namespace tova
