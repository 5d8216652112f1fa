// The wait window, the progress window, the embedded progress panel and the input boxes as real
// windows (offscreen), with pictures of each for people to look at.
#include "core/Processes.h"
#include "core/ProgressPanel.h"
#include "core/ProgressStatusHost.h"
#include "core/ui/EmbeddedProgress.h"
#include "core/ui/InputBoxDialog.h"
#include "core/ui/InputBoxDialogPort.h"
#include "core/ui/frmEditBox.h"
#include "core/ui/frmProgress.h"
#include "core/ui/frmShowRunning.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace tova;
using namespace Qt::StringLiterals;

namespace {

// Dark pixels inside a widget's area of a saved picture: glyphs drawn there.
int darkPixels(const QString& png, const QRect& area) {
    QImage img(png);
    int dark = 0;
    for (int y = area.top(); y <= area.bottom() && y < img.height(); ++y)
        for (int x = area.left(); x <= area.right() && x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 110) ++dark;
    return dark;
}

// Acts on the next modal window once it is up. Each poll that finds none schedules the next with its
// own copy of the action, so nothing is left holding itself once the action has run.
void pollForModal(const std::function<void(QWidget*)>& act) {
    if (QWidget* w = QApplication::activeModalWidget())
        act(w);
    else
        QTimer::singleShot(5, [act] { pollForModal(act); });
}

void whenModal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act = std::move(act)] { pollForModal(act); });
}

TEST(frmShowRunning, TextsGeometryAndButton) {
    QWidget mainWindow;
    mainWindow.show();
    frmShowRunning w(&mainWindow);
    EXPECT_EQ(w.objectName(), "frmShowRunning");
    EXPECT_EQ(w.windowTitle(), QString::fromUtf8("wavファイルの作成"));
    EXPECT_EQ(w.Label1->objectName(), "Label1");
    EXPECT_EQ(w.Label1->text(), QString::fromUtf8("外部プロセス実行中です..."));
    EXPECT_EQ(w.Command1->text(), QString::fromUtf8("待機をやめる"));
    EXPECT_EQ(w.Command1->geometry(), QRect(88, 48, 121, 28));  // twips / 15
    mainWindow.setEnabled(false);
    w.show();
    EXPECT_TRUE(w.Command1->isEnabled());
    WaitAbort = 0;
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    EXPECT_EQ(WaitAbort, 1);
    WaitAbort = 0;
    const QString png = test::savePng(&w, "frmShowRunning");
    EXPECT_GT(darkPixels(png, w.Label1->geometry()), 40);
}

// The clock steps 10 ms per slide step and records the window's height and panel top at each step.
struct RecordingClock : SlideClock {
    qint64 now = 0;
    frmProgress* form = nullptr;
    std::vector<std::pair<int, int>> steps;
    void restart() override { now = 0; }
    qint64 elapsedMs() const override { return now; }
    void pause() override {
        steps.emplace_back(form->height(), form->Picture1->y());
        now += 10;
    }
};

TEST(frmProgress, SlidesInUnderItsAnchorShowsStatusStopsAndFinishes) {
    QWidget owner;
    owner.setGeometry(100, 80, 640, 400);
    owner.show();
    QWidget* anchor = new QWidget(&owner);
    anchor->setGeometry(20, 30, 500, 300);

    frmProgress& f = frmProgress::form();
    RecordingClock clock;
    clock.form = &f;
    f.setClock(&clock);
    EXPECT_EQ(f.objectName(), "frmProgress");
    EXPECT_EQ(f.windowTitle(), "Progress");
    EXPECT_EQ(f.Label2->text(), QString::fromUtf8("×"));
    EXPECT_EQ(f.height(), 0);  // loaded without height

    StopRequested = 0;
    f.Start(2, 40, 40, anchor, &owner, true);
    EXPECT_TRUE(f.isVisible());
    EXPECT_FALSE(owner.isEnabled());
    EXPECT_TRUE(f.isEnabled());
    EXPECT_TRUE(f.Label2->isEnabled());
    EXPECT_EQ(f.height(), f.fullHeight());
    EXPECT_EQ(f.Picture1->y(), 0);
    EXPECT_EQ(f.pos(), anchor->mapToGlobal(QPoint(0, 0)) + QPoint((500 - f.width()) / 2, 0));
    EXPECT_EQ(f.ProgressBar1->minimum(), 2);
    EXPECT_EQ(f.ProgressBar1->maximum(), 40);
    EXPECT_EQ(f.ProgressBar1->value(), 2);
    // Slide in over 40 ms of 60 px: the lower part of the panel shows first.
    EXPECT_EQ(clock.steps, (std::vector<std::pair<int, int>>{{0, -60}, {15, -45}, {30, -30}, {45, -15}}));

    // A window manager that answers the slide's resizes late can leave the window at a height of
    // the slide once it has slid in (seen as a panel cut off under a grey strip): the next status
    // brings it back to its whole height with the panel at the top.
    f.resize(f.width(), 36);
    f.SetStatus(QString::fromUtf8("「あいうえお」を合成中..."), 20);
    EXPECT_EQ(f.height(), f.fullHeight());
    EXPECT_EQ(f.Picture1->y(), 0);
    EXPECT_EQ(f.ProgressBar1->value(), 20);
    const QString png = test::savePng(&f, "frmProgress");
    EXPECT_GT(darkPixels(png, f.Label1->geometry()), 40);

    QTest::mouseClick(f.Label2, Qt::LeftButton);
    EXPECT_EQ(StopRequested, -1);
    EXPECT_EQ(f.Label1->text(), QString::fromUtf8("中断します..."));
    test::savePng(&f, "frmProgress_stopping");

    clock.steps.clear();
    f.Finish();
    EXPECT_EQ(clock.steps, (std::vector<std::pair<int, int>>{{60, 0}, {45, -15}, {30, -30}, {15, -45}}));
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_FALSE(frmProgress::isLoaded());
    StopRequested = 0;
}

TEST(frmProgress, WithoutAnimationNothingShowsAndFinishStillEnablesTheOwner) {
    QWidget owner;
    owner.show();
    frmProgress& f = frmProgress::form();
    QPointer<frmProgress> guard(&f);
    f.Start(0, 1, 200, nullptr, &owner, false);
    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(owner.isEnabled());
    f.SetStatus("a", 1);
    owner.setEnabled(false);  // e.g. a frequency-table run disabled it
    f.Finish();
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_FALSE(frmProgress::isLoaded());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());  // unloaded at once

    // Restart shows a newly loaded window again, owned by nothing.
    frmProgress& g = frmProgress::form();
    g.Start(0, 5, 0, nullptr, nullptr, false);
    g.SetStatus("b", 3);
    g.Restart();
    EXPECT_TRUE(g.animate());
    EXPECT_EQ(g.ProgressBar1->value(), 0);
    EXPECT_TRUE(g.isVisible());
    g.Finish();
}

// A host window with a status label of its own, as the voice-bank manager has.
class PanelHost : public QWidget, public ProgressStatusHost {
public:
    PanelHost() {
        resize(400, 200);
        panel = new QWidget(this);
        panel->setGeometry(0, -40, 400, 40);
        bar = new QProgressBar(panel);
        bar->setGeometry(8, 8, 384, 20);
        status = new QLabel(this);
        status->setGeometry(8, 160, 300, 20);
        run = new QPushButton("run", this);
        stop = new QPushButton("stop", this);
        option = new QCheckBox("option", this);
    }
    void setProgressStatus(const QString& text) override { status->setText(text); }
    QWidget* panel;
    QProgressBar* bar;
    QLabel* status;
    QPushButton* run;
    QPushButton* stop;
    QCheckBox* option;
};

TEST(EmbeddedProgress, StageOneOfTwoHalfDoneAndCommandButtons) {
    PanelHost host;
    host.show();
    StopRequested = -1;
    BeginProgress(host.bar, host.panel, 0, 10, 20, &host);
    EXPECT_EQ(StopRequested, 0);
    ShowFreqTableProgress(1, 10);
    EXPECT_EQ(host.panel->y(), 0);
    EXPECT_EQ(host.status->text(), QString::fromUtf8("周波数表(0%)"));
    SetProgressStep(2, 1);
    ShowFreqTableProgress(2, 5);
    EXPECT_EQ(host.bar->value(), 75);
    EXPECT_EQ(host.status->text(), QString::fromUtf8("周波数表(75%)"));
    SetProgressValue(500);
    EXPECT_EQ(host.bar->value(), 100);

    EnableCommandButtons(&host, false);
    EXPECT_FALSE(host.run->isEnabled());
    EXPECT_FALSE(host.stop->isEnabled());
    EXPECT_TRUE(host.option->isEnabled());
    EnableCommandButtons(&host, true);
    EXPECT_TRUE(host.run->isEnabled());

    EndProgress();
    EXPECT_EQ(host.panel->y(), -40);
    EXPECT_FALSE(ProgressPanel::instance().shown());
}

TEST(InputBoxDialog, OkCancelAndTheFrame) {
    QWidget owner;
    owner.show();
    InputBoxDialog* seen = nullptr;
    QString caption, preselected, font;
    QRect okGeometry;
    auto type = [&](const QString& typed, std::function<void(InputBoxDialog*)> finish) {
        whenModal([&, typed, finish](QWidget* w) {
            seen = qobject_cast<InputBoxDialog*>(w);
            ASSERT_NE(seen, nullptr);
            caption = seen->windowTitle();
            preselected = seen->txtInput->selectedText();
            font = seen->txtInput->font().families().value(0);
            okGeometry = seen->OKButton->geometry();
            seen->txtInput->setText(typed);
            finish(seen);
        });
    };
    const auto ok = [](InputBoxDialog* d) { QTest::mouseClick(d->OKButton, Qt::LeftButton); };
    const auto cancel = [](InputBoxDialog* d) { QTest::mouseClick(d->CancelButton, Qt::LeftButton); };
    const auto frame = [](InputBoxDialog* d) { d->close(); };
    const auto escape = [](InputBoxDialog* d) { QTest::keyClick(d, Qt::Key_Escape); };

    QString text = "120";
    type(QString::fromUtf8("テンポ１３０"), ok);
    EXPECT_TRUE(InputBoxDialog::ShowInput(text, &owner, QString::fromUtf8("全体のテンポの変更")));
    EXPECT_EQ(text, QString::fromUtf8("テンポ１３０"));
    EXPECT_EQ(caption, QString::fromUtf8("全体のテンポの変更"));
    EXPECT_EQ(preselected, "120");
    EXPECT_EQ(font, QString::fromUtf8("ＭＳ ゴシック"));
    EXPECT_EQ(okGeometry, QRect(312, 8, 81, 25));

    const struct {
        const char* name;
        const char* typed;
        std::function<void(InputBoxDialog*)> finish;
        bool result;
        const char* text;
    } cases[] = {
        {"closed by its frame after an earlier OK", "x", frame, false, "テンポ１３０"},
        {"cancel: the text of the last OK comes back", "y", cancel, false, "テンポ１３０"},
        {"escape", "z", escape, false, "テンポ１３０"},
        {"OK with an empty field", "", ok, true, ""},
        {"frame after an empty OK", "w", frame, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QString t = "typed before";
        type(QString::fromUtf8(c.typed), c.finish);
        EXPECT_EQ(InputBoxDialog::ShowInput(t, &owner, "c"), c.result);
        EXPECT_EQ(t, QString::fromUtf8(c.text));
    }
}

TEST(InputBoxDialog, ServesAsTheInputBoxPort) {
    InputBoxDialogPort port;
    QString caption;
    whenModal([&](QWidget* w) {
        auto* d = qobject_cast<InputBoxDialog*>(w);
        caption = d->windowTitle();
        d->txtInput->setText(QString::fromUtf8("あ"));
        d->OKButton->click();
    });
    QString answer = "old";
    EXPECT_TRUE(port.ask({"prompt", QString::fromUtf8("リージョン名"), "def"}, answer));
    EXPECT_EQ(answer, QString::fromUtf8("あ"));
    EXPECT_EQ(caption, QString::fromUtf8("リージョン名"));

    whenModal([&](QWidget* w) {
        caption = w->windowTitle();
        w->close();
    });
    answer = "old";
    EXPECT_FALSE(port.ask({QString::fromUtf8("値"), "", "def"}, answer));
    EXPECT_EQ(answer, "old");  // the port leaves the answer alone when cancelled
    EXPECT_EQ(caption, QString::fromUtf8("値"));
}

TEST(InputBoxDialog, PictureWithJapaneseText) {
    QWidget owner;
    QString png;
    QRect field;
    whenModal([&](QWidget* w) {
        auto* d = qobject_cast<InputBoxDialog*>(w);
        d->txtInput->setText(QString::fromUtf8("あいうえお かきくけこ"));
        d->txtInput->deselect();
        field = d->txtInput->geometry();
        png = test::savePng(d, "InputBoxDialog");
        d->CancelButton->click();
    });
    QString text;
    InputBoxDialog::ShowInput(text, &owner, QString::fromUtf8("値の入力"));
    EXPECT_GT(darkPixels(png, field.adjusted(3, 3, -3, -3)), 40);
    EXPECT_GT(darkPixels(png, QRect(312, 40, 81, 25)), 20);  // "ｷｬﾝｾﾙ" on the cancel button
}

TEST(frmEditBox, EveryWayOfClosingKeepsTheEdit) {
    QWidget owner;
    const struct {
        const char* name;
        std::function<void(frmEditBox*)> close;
    } cases[] = {
        {"close button", [](frmEditBox* d) { QTest::mouseClick(d->cmdClose, Qt::LeftButton); }},
        {"window close box", [](frmEditBox* d) { d->close(); }},
        {"escape", [](frmEditBox* d) { QTest::keyClick(d, Qt::Key_Escape); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QString selected, title;
        whenModal([&](QWidget* w) {
            auto* d = qobject_cast<frmEditBox*>(w);
            title = d->windowTitle();
            selected = d->Text1->textCursor().selectedText();
            d->Text1->moveCursor(QTextCursor::End);
            d->Text1->insertPlainText(QString::fromUtf8("\nう"));
            c.close(d);
        });
        QString text = QString::fromUtf8("あ\r\nい");
        frmEditBox::EditText(text, &owner);
        EXPECT_EQ(text, QString::fromUtf8("あ\r\nい\r\nう"));
        EXPECT_EQ(title, QString::fromUtf8("テキスト入力"));
        EXPECT_EQ(selected, QString::fromUtf8("あ\u2029い"));  // all of it selected on load
    }
    // Untouched, the text comes back exactly.
    whenModal([](QWidget* w) {
        test::savePng(w, "frmEditBox");
        w->close();
    });
    QString text = QString::fromUtf8("一行目\r\n二行目\r\n");
    frmEditBox::EditText(text, &owner);
    EXPECT_EQ(text, QString::fromUtf8("一行目\r\n二行目\r\n"));
}

// A text to read (the readme): titled as asked, shown from the top with nothing selected, long lines
// wrapped, typing changes nothing, and Escape closes it.
TEST(frmEditBox, ShowTextIsReadOnly) {
    QWidget owner;
    const QString text = QString::fromUtf8("■ これは何か\n") + QString(400, u'あ') + u"\nend"_s;
    QString title, shown, selected;
    bool readOnly = false, wraps = false, closed = false, atEnd = false;
    whenModal([&](QWidget* w) {
        auto* d = qobject_cast<frmEditBox*>(w);
        title = d->windowTitle();
        selected = d->Text1->textCursor().selectedText();
        readOnly = d->Text1->isReadOnly();
        wraps = d->Text1->lineWrapMode() == QPlainTextEdit::WidgetWidth;
        EXPECT_EQ(d->Text1->textCursor().position(), 0);
        EXPECT_EQ(d->focusWidget(), d->Text1);  // the keys go to the text
        QTest::keyClick(d->Text1, Qt::Key_End, Qt::ControlModifier);  // the keyboard reaches the end
        atEnd = d->Text1->textCursor().atEnd();
        QTest::keyClicks(d->Text1, u"xyz"_s);
        shown = d->Text1->toPlainText();
        test::savePng(w, "frmEditBox-readme");
        QTest::keyClick(d, Qt::Key_Escape);
        closed = !d->isVisible();
    });
    frmEditBox::ShowText(u"readme.txt"_s, text, &owner);
    EXPECT_EQ(title, u"readme.txt"_s);
    EXPECT_TRUE(selected.isEmpty());
    EXPECT_TRUE(readOnly);
    EXPECT_TRUE(wraps);
    EXPECT_TRUE(atEnd);
    EXPECT_EQ(shown, text);
    EXPECT_TRUE(closed);
}

}  // namespace
