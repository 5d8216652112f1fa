// The track chooser: its model's answers, and the window bound to it (offscreen).
#include "exchange/SelectTrackModel.h"
#include "exchange/ui/frmSelectTrack.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

using namespace tova;

TEST(SelectTrack, ModelAnswers) {
    const QStringList entries{"1: Control", "2: Voice A", "3: Voice B"};
    struct Case {
        const char* what;
        qint32 row;
        bool ok;
        qint32 result;
    };
    const Case cases[] = {
        {"third entry", 2, true, 3},  {"first entry", 0, true, 1},    {"OK with none selected", -1, true, 0},
        {"cancel", 1, false, -1},     {"row beyond the list", 7, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SelectTrackModel m(entries);
        m.select(c.row);
        if (c.ok) m.OKButton_Click();
        else m.CancelButton_Click();
        EXPECT_EQ(m.result(), c.result);
    }
    // Closed without a button: no choice.
    EXPECT_EQ(SelectTrackModel(entries).result(), -1);
    // Opened on a row, OK takes it; on a row outside the entries, none.
    for (const auto& [first, result] : {std::pair{1, 2}, std::pair{-1, 0}, std::pair{3, 0}}) {
        SCOPED_TRACE(first);
        SelectTrackModel m(entries, first);
        m.OKButton_Click();
        EXPECT_EQ(m.result(), result);
    }
}

TEST(SelectTrack, WindowBindsListAndButtons) {
    const QStringList entries{"Channel1:5 notes", "Channel2:0 notes", "Channel3:2 notes"};
    {
        frmSelectTrack w(entries);
        EXPECT_EQ(w.windowTitle(), "トラックを選択");
        EXPECT_EQ(w.Label1->text(), "取込むトラックを選択してください。");
        EXPECT_EQ(w.CancelButton->text(), "ｷｬﾝｾﾙ");
        ASSERT_EQ(w.List1->count(), 3);
        EXPECT_EQ(w.List1->item(2)->text(), entries[2]);
        w.show();
        test::savePng(&w, "frmSelectTrack");
    }
    // Modal runs: the third entry and OK; Cancel; closing the window.
    const auto run = [&](const std::function<void(frmSelectTrack*)>& act) {
        QTimer::singleShot(0, [&] {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (auto* w = qobject_cast<frmSelectTrack*>(top); w && w->isVisible()) act(w);
        });
        return frmSelectTrack::SelectTrack(entries, -1, nullptr);
    };
    EXPECT_EQ(run([](frmSelectTrack* w) {
                  w->List1->setCurrentRow(2);
                  w->OKButton->click();
              }),
              3);
    EXPECT_EQ(run([](frmSelectTrack* w) {
                  w->List1->setCurrentRow(1);
                  w->CancelButton->click();
              }),
              -1);
    EXPECT_EQ(run([](frmSelectTrack* w) { w->OKButton->click(); }), 0);
    EXPECT_EQ(run([](frmSelectTrack* w) {
                  w->List1->setCurrentRow(0);
                  w->close();
              }),
              -1);
}

TEST(SelectTrack, OKWithoutAClickTakesTheRowDrawnAsChosen) {
    // The window shown and active, its list holding the focus as when it opens: it opens on the row it is
    // given (the first track with notes), drawn as chosen (the current row, selected), and that row is
    // what OK answers; with none given, none is drawn and OK answers no choice.
    const struct {
        QStringList entries;
        qint32 first;
    } cases[] = {
        {{"1: Control", "2: Voice A", "3: Voice B"}, 1},
        {{"Channel1:0 notes", "Channel2:0 notes"}, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entries.join(u',').toStdString());
        frmSelectTrack w(c.entries, c.first);
        w.show();
        QApplication::setActiveWindow(&w);
        w.List1->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        ASSERT_TRUE(w.List1->hasFocus());
        const qint32 current = w.List1->currentRow();
        EXPECT_EQ(current, c.first);
        const QList<QListWidgetItem*> selected = w.List1->selectedItems();
        w.OKButton->click();
        EXPECT_TRUE(w.model().Result);
        if (current < 0) {
            EXPECT_TRUE(selected.isEmpty());
            EXPECT_EQ(w.model().result(), 0);
        } else {
            ASSERT_EQ(selected.size(), 1);
            EXPECT_EQ(w.List1->row(selected.first()), current);
            EXPECT_EQ(w.model().result(), current + 1);
        }
        // Keys move the choice with the row drawn.
        frmSelectTrack keys(c.entries, c.first);
        keys.show();
        QApplication::setActiveWindow(&keys);
        keys.List1->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        QTest::keyClick(keys.List1, Qt::Key_Down);
        const qint32 row = keys.List1->currentRow();
        ASSERT_GE(row, 0);
        if (c.first >= 0) EXPECT_EQ(row, c.first + 1);
        EXPECT_EQ(keys.List1->selectedItems(), QList<QListWidgetItem*>{keys.List1->item(row)});
        keys.OKButton->click();
        EXPECT_EQ(keys.model().result(), row + 1);
    }
    // The program's chooser shows the window on the row it is given.
    QTimer::singleShot(0, [] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* w = qobject_cast<frmSelectTrack*>(top); w && w->isVisible()) w->OKButton->click();
    });
    EXPECT_EQ(QtTrackChooser().SelectTrack({"1: Control", "2: Voice A", "3: Voice B"}, 2), 3);
}
