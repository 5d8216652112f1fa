// Direct editing on the real main window: Qt's pointer and key events reach the roll's handlers.
#include "RollEditingFixture.h"

#include "mainwindow/NoteColors.h"
#include "mainwindow/ui/PictureBox.h"
#include "song/NoteExtension.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <cmath>
#include <functional>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;

namespace {

struct Window : RollRig {
    PictureBox* roll = form->pictureBox(QStringLiteral("Picture2"));

    Window() {
        form->activateWindow();
        QApplication::setActiveWindow(form.get());
        QApplication::processEvents();
    }
    // The pixel of a point given in twips.
    static QPoint px(double x, double y) { return QPoint(int(x / 15), int(y / 15)); }
    void send(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons,
              Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QMouseEvent e(type, QPointF(at), QPointF(target->mapToGlobal(at)), button, buttons, mods);
        QApplication::sendEvent(target, &e);
        QApplication::processEvents();
    }
    void press(QPoint at, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        send(roll, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton, mods);
    }
    void moveTo(QPoint at, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        send(roll, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton, mods);
    }
    void release(QPoint at, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        send(roll, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton, mods);
    }
    void hover(QPoint at) { send(roll, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton); }
    // Qt's double click: press, release, double click, release.
    void doubleClick(QPoint at) {
        press(at);
        release(at);
        send(roll, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
        release(at);
    }
    QLineEdit* lyricBox() { return form->controlAs<QLineEdit>(QStringLiteral("Text1")); }
    QWidget* control(const char* name) { return form->controlAs<QWidget>(QString::fromLatin1(name)); }
};

TEST(RollWindow, ClickSelectsANote) {
    Window win;
    QTest::mouseClick(win.roll, Qt::LeftButton, Qt::NoModifier, Window::px(1920 + 200, RollRig::rowTop(40) + 100));
    EXPECT_EQ(win.song().SelStart, 2);
    EXPECT_EQ(win.song().SelEnd, 2);
    EXPECT_EQ(win.w().CurNote, 2);
    EXPECT_EQ(win.song().UndoPos, 0);
}

TEST(RollWindow, DoubleClickTypeEnterChangesTheLyricAndMovesOn) {
    Window win;
    const QPoint at = Window::px(960 + 200, RollRig::rowTop(40) + 100);
    // The double click is no second press.
    win.doubleClick(at);
    QLineEdit* box = win.lyricBox();
    ASSERT_TRUE(box->isVisible());
    EXPECT_EQ(box->text(), QStringLiteral("い"));
    EXPECT_EQ(box->selectedText(), QStringLiteral("い"));
    EXPECT_EQ(box->pos(), Window::px(win.g(1).Left, win.g(1).Top));
    // An input method would deliver the kana; the test sets them.
    box->setText(QStringLiteral("きゃ"));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(win.lyrics(), (QStringList{QStringLiteral("あ"), QStringLiteral("きゃ"), QStringLiteral("う"),
                                         QStringLiteral("え")}));
    EXPECT_EQ(win.song().SelStart, 2);
    EXPECT_EQ(win.w().CurNote, 2);
    EXPECT_EQ(win.lastUndoCaption(), QStringLiteral("歌詞の変更"));
    EXPECT_EQ(win.song().UndoPos, 1);
    // Enter without a change records nothing but still moves on.
    win.doubleClick(Window::px(1920 + 200, RollRig::rowTop(40) + 100));
    ASSERT_TRUE(box->isVisible());
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(win.song().UndoPos, 1);
    EXPECT_EQ(win.song().SelStart, 3);
    win.undo();
    EXPECT_EQ(win.song().Lyrics[1], QStringLiteral("い"));
}

TEST(RollWindow, EscCancelsTheLyricBox) {
    Window win;
    win.doubleClick(Window::px(200, RollRig::rowTop(40) + 100));
    QLineEdit* box = win.lyricBox();
    ASSERT_TRUE(box->isVisible());
    box->setText(QStringLiteral("ん"));
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(win.song().Lyrics[0], QStringLiteral("あ"));
    EXPECT_EQ(win.song().UndoPos, 0);
    // A press on the roll commits an open box.
    win.doubleClick(Window::px(200, RollRig::rowTop(40) + 100));
    box->setText(QStringLiteral("ん"));
    QTest::mouseClick(win.roll, Qt::LeftButton, Qt::NoModifier, Window::px(2000, RollRig::rowTop(40) + 100));
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(win.song().Lyrics[0], QStringLiteral("ん"));
    EXPECT_EQ(win.song().UndoPos, 1);
}

TEST(RollWindow, DragMovesANoteAndUndoPutsItBack) {
    Window win;
    const double y = RollRig::rowTop(40) + 100;
    win.press(Window::px(200, y));
    win.moveTo(Window::px(1500, y - 2 * RollRig::RowHeight));
    win.moveTo(Window::px(2880 + 200, y - 2 * RollRig::RowHeight));
    // Mid-drag the feedback rectangle stands where the note would go.
    QWidget* shape = win.control("Shape1");
    ASSERT_TRUE(shape->isVisible());
    EXPECT_EQ(shape->pos(), Window::px(2880, RollRig::rowTop(42)));
    savePng(win.form.get(), QStringLiteral("roll_drag_feedback"));
    win.release(Window::px(2880 + 200, y - 2 * RollRig::RowHeight));
    EXPECT_FALSE(shape->isVisible());
    EXPECT_EQ(win.lyrics(), (QStringList{QStringLiteral("い"), QStringLiteral("う"), QStringLiteral("え"),
                                         QStringLiteral("あ")}));
    EXPECT_EQ(win.song().NoteNums[3], 42);
    win.form->controlAs<QAction>(QStringLiteral("mnUndo"))->trigger();
    QApplication::processEvents();
    EXPECT_EQ(win.lyrics(), (QStringList{QStringLiteral("あ"), QStringLiteral("い"), QStringLiteral("う"),
                                         QStringLiteral("え")}));
    EXPECT_EQ(win.song().NoteNums[0], 40);
}

TEST(RollWindow, TempoAndLabelBoxesCommitOneStepEach) {
    Window win;
    win.modal.inputBox.answers.enqueue({true, QStringLiteral("150")});
    QTest::mouseClick(win.control("txtTempo"), Qt::LeftButton);
    EXPECT_EQ(win.song().Tempo, 150);
    EXPECT_EQ(win.song().UndoPos, 1);

    win.w().Boxes.PlaceLabelEditor(2);
    auto* label = win.form->controlAs<QLineEdit>(QStringLiteral("txtLabel"));
    ASSERT_TRUE(label->isVisible());
    label->setFocus();
    QApplication::processEvents();
    label->setText(QStringLiteral("Aメロ"));
    // Enter gives the roll the focus, which ends the edit.
    QTest::keyClick(label, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_FALSE(label->isVisible());
    EXPECT_EQ(GetNoteOption(win.song().NoteExt[2], QStringLiteral("label")), QStringLiteral("Aメロ"));
    EXPECT_EQ(win.song().UndoPos, 2);
    win.undo();
    EXPECT_EQ(GetNoteOption(win.song().NoteExt[2], QStringLiteral("label")), QString());
    win.undo();
    EXPECT_EQ(win.song().Tempo, 120);
}

TEST(RollWindow, RulerShowsTheRegionOfTheSelection) {
    Window win;
    SetNoteOption(win.song().NoteExt[1], QStringLiteral("$region"), QStringLiteral("サビ"));
    SetNoteOption(win.song().NoteExt[2], QStringLiteral("$region_end"), QStringLiteral("サビ"));
    win.song().SelStart = 1;
    win.song().SelEnd = 2;
    win.redraw();
    // The region's box is outlined in the text colour at the selection start.
    const QImage& ruler = win.form->pictureBox(QStringLiteral("Picture4"))->image();
    const QColor outline = PictureBox::rgb(NoteColors::fromSettings().Fore);
    EXPECT_EQ(QColor(ruler.pixel(int((win.g(1).Left + 30) / 15), 45 / 15 + 1)), outline);
    savePng(win.form->pictureBox(QStringLiteral("Picture4")), QStringLiteral("roll_ruler_region"));
}

TEST(RollWindow, TheLastNoteOfA50000BeatSongIsShownAndCanBeSelected) {
    Window win;
    QList<NoteRow> rows(50000, NoteRow{1920, QStringLiteral("あ"), 40, RollRig::Fields});
    rows.last().lyric = QStringLiteral("ん");
    win.setSong(rows);
    const qint32 last = 49999;
    auto* bar = win.form->controlAs<QScrollBar>(QStringLiteral("HScroll1"));
    ASSERT_NE(bar, nullptr);
    // 50,000 beats less the screen's width, and the 32 beats of room after the song.
    const double width = win.roll->width();  // twips
    const double inner = win.w().rollInnerWidth();
    EXPECT_EQ(win.w().HScroll1.Max, int(std::nearbyint(50000 - width * RollRig::Zoom / 1920)) + 32);
    EXPECT_EQ(bar->maximum(), win.w().HScroll1.Max);

    // Each way of scrolling to the note puts it on screen, where a click selects it.
    const struct {
        const char* command;
        std::function<void()> run;
    } ways[] = {
        {"最後へ移動", [&] { win.form->controlAs<QPushButton>(QStringLiteral("cmdGoEnd"))->click(); }},
        {"最後の音符へ移動", [&] { win.form->controlAs<QPushButton>(QStringLiteral("cmdNoteLast"))->click(); }},
        {"後へ検索", [&] {
             win.form->controlAs<QLineEdit>(QStringLiteral("Text2"))->setText(QStringLiteral("ん"));
             win.form->controlAs<QAction>(QStringLiteral("mnSearch"))->trigger();
         }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.command);
        win.w().SetHScrollValue(0);
        win.song().SelStart = win.song().SelEnd = 0;
        win.w().CurNote = -1;
        win.redraw();
        way.run();
        QApplication::processEvents();
        EXPECT_GT(win.w().HScroll1.Value, 32767);
        EXPECT_EQ(bar->value(), win.w().HScroll1.Value);
        const NoteGeometryRecord& g = win.g(last);
        EXPECT_GE(g.Left, 0);
        EXPECT_LT(g.Left + 200, inner);
        QTest::mouseClick(win.roll, Qt::LeftButton, Qt::NoModifier, Window::px(g.Left + 200, RollRig::rowTop(40) + 100));
        EXPECT_EQ(win.song().SelStart, last);
        EXPECT_EQ(win.song().SelEnd, last);
        EXPECT_EQ(win.w().CurNote, last);
    }
}

// A resize drag draws what its release applies: the outline of the note stops where the note may grow
// to (its own end before a sung note, the end of a rest after it, no limit for the last note or with
// Shift, which pushes the later notes on), and the release gives exactly the drawn length.
TEST(RollWindow, ResizeOutlineStopsWhereTheReleaseStops) {
    const QString sung = QStringLiteral("い"), rest = QStringLiteral("R");
    const struct {
        const char* what;
        int note;
        QString second;
        Qt::KeyboardModifiers mods;
        double limitTicks;  // the longest length the release may give; 0: no limit
        QList<qint32> after;
    } cases[] = {
        {"sung note after it", 0, sung, Qt::NoModifier, 1920, {1920, 1920, 1920, 1920}},
        {"rest after it", 0, rest, Qt::NoModifier, 3840, {3840, 1920, 1920}},
        {"Ctrl before a sung note", 0, sung, Qt::ControlModifier, 3840, {3840, 1920, 1920}},
        {"Shift+Ctrl before a sung note", 0, sung, Qt::ShiftModifier | Qt::ControlModifier, 1920, {1920, 1920, 1920, 1920}},
        {"Shift alone", 0, sung, Qt::ShiftModifier, 0, {}},
        {"the last note", 3, sung, Qt::NoModifier, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Window win;
        win.setSong({{1920, QStringLiteral("あ"), 40, RollRig::Fields},
                     {1920, c.second, 40, RollRig::Fields},
                     {1920, QStringLiteral("う"), 40, RollRig::Fields},
                     {1920, QStringLiteral("え"), 40, RollRig::Fields}});
        const double left = win.g(c.note).Left, y = RollRig::rowTop(40) + 100;
        // Pressed 2 px before the drawn end, dragged 100 px (1500 twips, 3000 ticks) to the right.
        const double pressX = left + 960 - 30, dragX = pressX + 1500;
        win.press(Window::px(pressX, y), c.mods);
        win.moveTo(Window::px(pressX + 300, y), c.mods);
        win.moveTo(Window::px(dragX, y), c.mods);
        QWidget* shape = win.control("Shape1");
        ASSERT_TRUE(shape->isVisible());
        const double free = dragX - left;
        const double drawn = c.limitTicks > 0 ? std::min(free, c.limitTicks / RollRig::Zoom + 15) : free;
        EXPECT_EQ(shape->width(), Window::px(drawn, 0).x());
        savePng(win.form.get(), QStringLiteral("roll_resize_outline"));
        win.release(Window::px(dragX, y), c.mods);
        EXPECT_FALSE(shape->isVisible());
        if (!c.after.isEmpty()) EXPECT_EQ(win.lengths(), c.after);
        // What was drawn is what was applied.
        EXPECT_NEAR(win.song().Lengths[c.note], (drawn - 15) * RollRig::Zoom, 4);
        EXPECT_EQ(win.song().UndoPos, win.song().Lengths[c.note] == 1920 ? 0 : 1);
    }
}

// The last 60 twips of a note are its last 4 drawn pixels, up to and including its right border: they
// start a resize and show the resize pointer; a press on the pixel before them starts a move, under the
// arrow.
TEST(RollWindow, ResizeZoneShowsTheResizePointer) {
    Window win;
    const double y = RollRig::rowTop(40) + 100;
    const double end = win.g(1).Left + win.g(1).Width;  // the first twip after note 1
    for (const double back : {15, 30, 45, 60}) {
        SCOPED_TRACE(back);
        win.hover(Window::px(end - back, y));
        EXPECT_EQ(win.roll->cursor().shape(), Qt::SizeHorCursor);
    }
    win.hover(Window::px(end - 75, y));
    EXPECT_EQ(win.roll->cursor().shape(), Qt::ArrowCursor);
    // A press in the zone, even on its first pixel, lengthens the note (Shift alone pushes the later
    // notes on) ...
    const double longer = win.g(1).Left + 960 + 480 + 15;  // the end of a note of 1920 + 960 ticks
    for (const double back : {15, 60}) {
        SCOPED_TRACE(back);
        win.press(Window::px(end - back, y), Qt::ShiftModifier);
        win.moveTo(Window::px(longer, y), Qt::ShiftModifier);
        win.release(Window::px(longer, y), Qt::ShiftModifier);
        EXPECT_EQ(win.lengths(), (QList<qint32>{1920, 1920 + 960, 1920, 1920}));
        win.undo();
    }
    // ... a press before it moves the note.
    win.press(Window::px(end - 75, y));
    win.moveTo(Window::px(end - 75 + 960, y));
    win.release(Window::px(end - 75 + 960, y));
    EXPECT_EQ(win.lengths(), (QList<qint32>{1920, 1920, 1920, 1920}));
    EXPECT_EQ(win.lyrics(), (QStringList{QStringLiteral("あ"), QStringLiteral("う"), QStringLiteral("い"),
                                         QStringLiteral("え")}));
}

}  // namespace
