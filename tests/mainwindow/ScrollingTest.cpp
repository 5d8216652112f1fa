// Scrolling, zoom and row height on the window: scroll bars, zoom items and buttons, redraws.
#include "MainWindowRig.h"
#include "mainwindow/NoteNavigation.h"
#include "mainwindow/ui/PictureBox.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QScrollBar>

#include <gtest/gtest.h>

using namespace tova;
using namespace Qt::Literals::StringLiterals;

namespace {

TEST(Scrolling, ZoomItemsAndButtonsFollowTheLimits) {
    test::MainWindowRig rig;
    ASSERT_TRUE(rig.start());
    Form1& f = rig.f();
    auto enabledPair = [&](const QString& item, const QString& button) {
        EXPECT_EQ(f.enabled(item), f.enabled(button));
        return f.enabled(item);
    };
    f.controlAs<QAction>(u"mnZoomIn"_s)->trigger();  // 2 -> 1
    EXPECT_EQ(rig.w().Zoom(), 1.0f);
    EXPECT_TRUE(enabledPair(u"mnZoomIn"_s, u"cmdZoomIn"_s));
    f.controlAs<QPushButton>(u"cmdZoomIn"_s)->click();  // 1 -> 0.5
    EXPECT_EQ(rig.w().Zoom(), 0.5f);
    EXPECT_FALSE(enabledPair(u"mnZoomIn"_s, u"cmdZoomIn"_s));
    EXPECT_TRUE(enabledPair(u"mnZoomOut"_s, u"cmdZoomOut"_s));
    f.controlAs<QAction>(u"mnZoomOut"_s)->trigger();  // 0.5 -> 1
    EXPECT_EQ(rig.w().Zoom(), 1.0f);
    EXPECT_TRUE(enabledPair(u"mnZoomIn"_s, u"cmdZoomIn"_s));
    for (int i = 0; i < 7; ++i) f.controlAs<QPushButton>(u"cmdZoomOut"_s)->click();
    EXPECT_EQ(rig.w().Zoom(), 8.0f);
    EXPECT_FALSE(enabledPair(u"mnZoomOut"_s, u"cmdZoomOut"_s));
    // Row height by the buttons under the vertical bar; the scroll value stays.
    const int v = rig.w().VScroll1.Value;
    f.controlAs<QPushButton>(u"cmdHeightLarge"_s)->click();
    EXPECT_EQ(rig.w().RowHeight(), 240);
    f.controlAs<QAction>(u"mnHeightSmall"_s)->trigger();
    f.controlAs<QAction>(u"mnHeightSmall"_s)->trigger();
    EXPECT_EQ(rig.w().RowHeight(), 180);
    EXPECT_EQ(rig.w().VScroll1.Value, v);
}

TEST(Scrolling, BarsRedrawOnceAndLoweringTheMaximumDoesNotReenter) {
    test::MainWindowRig rig;
    ASSERT_TRUE(rig.start());
    Form1& f = rig.f();
    auto* h = f.controlAs<QScrollBar>(u"HScroll1"_s);
    rig.setSong(QList<qint32>(100, 1920));  // 100 beats
    rig.w().SongLength = 1920 * 100;
    rig.w().DrawBackground();
    EXPECT_EQ(h->maximum(), rig.w().HScroll1.Max);
    EXPECT_GT(h->maximum(), 100);

    // The user moves the bar: one redraw.
    rig.drawing.options.clear();
    h->setValue(80);
    EXPECT_EQ(rig.w().HScroll1.Value, 80);
    EXPECT_EQ(rig.drawing.options, QStringList{QString()});

    // The song shrinks: the next background drawing lowers the maximum under the value. The value
    // follows to 32 without raising the change handler, so no second drawing starts inside this one.
    rig.drawing.options.clear();
    rig.w().SongLength = 0;
    rig.w().DrawBackground();
    EXPECT_EQ(rig.w().HScroll1.Max, 32);
    EXPECT_EQ(rig.w().HScroll1.Value, 32);
    EXPECT_EQ(h->maximum(), 32);
    EXPECT_EQ(h->value(), 32);
    EXPECT_TRUE(rig.drawing.options.isEmpty());

    // Go to the start: the value changes (one redraw by the bar) and the command redraws.
    NoteNavigation(rig.w()).mnGotoTop_Click();
    EXPECT_EQ(h->value(), 0);
    EXPECT_EQ(rig.drawing.options.size(), 2);
}

TEST(Scrolling, GoToEndAndFollowingSelectNotes) {
    test::MainWindowRig rig;
    ASSERT_TRUE(rig.start());
    Form1& f = rig.f();
    // An empty song: go to end does nothing; the horizontal maximum is 32.
    rig.drawing.options.clear();
    f.controlAs<QAction>(u"mnGotoEnd"_s)->trigger();
    EXPECT_TRUE(rig.drawing.options.isEmpty());
    EXPECT_EQ(rig.w().HScroll1.Max, 32);

    rig.setSong({1920, 1920, 1920 * 30, 1920});
    rig.w().SongLength = 1920 * 33;
    rig.w().DrawBackground();
    f.controlAs<QPushButton>(u"cmdGoEnd"_s)->click();
    EXPECT_EQ(rig.w().HScroll1.Value, 32 - 1);  // the last note starts at beat 32; one beat of lead

    // MIDI clock 24 (one beat) lands in note 1: it is selected alone, scrolled into view, drawn
    // without handles.
    rig.drawing.options.clear();
    rig.w().MidiPlay(24);
    EXPECT_EQ(rig.w().song.SelStart, 1);
    EXPECT_EQ(rig.w().song.SelEnd, 1);
    EXPECT_EQ(rig.w().HScroll1.Value, 1);
    EXPECT_EQ(rig.drawing.options.last(), u"nobomb"_s);
    // Time code: 1 s at tempo 120 lies in note 2 (from 1000 ms).
    qint32 first = 0, last = 0;
    rig.w().GetPlayNotes1(first, last, 1000);
    EXPECT_EQ(first, 2);
    EXPECT_EQ(last, 2);
    EXPECT_EQ(rig.w().song.SelStart, 2);
}

TEST(Scrolling, KeyboardShowsEveryOctaveLabel) {
    test::MainWindowRig rig;
    ASSERT_TRUE(rig.start());
    Form1& f = rig.f();
    f.show();
    f.resize(1000, 1000);
    QApplication::processEvents();
    rig.w().mnHeightSmall_Click();
    rig.w().mnHeightSmall_Click();  // 150 twips: ten pixels a row, all 85 rows fit
    rig.w().SetVScrollValue(0);
    ASSERT_EQ(rig.w().VScroll1.Value, 0);
    auto* keyboard = f.pictureBox(u"Picture3"_s);
    ASSERT_GE(keyboard->QWidget::height(), 850);
    test::savePng(keyboard, u"form1_keyboard_c8_c1"_s);
    test::savePng(&f, u"form1_all_rows"_s);
    const QImage img = keyboard->image();
    // Each label "C8" .. "C1" is printed at the top of its C row, 315 twips left of the right edge.
    for (int octave = 0; octave < 8; ++octave) {
        SCOPED_TRACE(octave);
        const int top = octave * 12 * 10;
        int dark = 0;
        for (int y = top; y < top + 10; ++y)
            for (int x = 88 - 21; x < 88; ++x)
                if (qGray(img.pixel(x, y)) < 100) ++dark;
        EXPECT_GT(dark, 8);
    }
}

}  // namespace
