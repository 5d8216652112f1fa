#include "mainwindow/WindowLayout.h"

#include <gtest/gtest.h>

using namespace tova;

namespace {

TEST(WindowLayout, ResizeFollowsTheRollsCorner) {
    const double S = 300;  // status bar
    WindowLayout a;
    a.resize(15000, 10500, S);
    // The closed forms of the rules.
    EXPECT_EQ(a.Picture2, (TwipRect{1320, 1200, 15000 - 1575, 10500 - 1455 - S}));
    EXPECT_EQ(a.HScroll1, (TwipRect{1320, 10500 - 255 - S, 15000 - 1575, 255}));
    EXPECT_EQ(a.VScroll1, (TwipRect{15000 - 255, 1200, 255, 10500 - 1965 - S}));
    EXPECT_EQ(a.Picture4, (TwipRect{1320, 780, 15000 - 1320, 420}));
    EXPECT_EQ(a.Picture3.height, a.Picture2.height);
    EXPECT_EQ(a.Line3Y2, a.Picture2.height);
    EXPECT_EQ(a.cmdHeightSmall.top, a.VScroll1.bottom());
    EXPECT_EQ(a.cmdHeightLarge.bottom(), a.Picture2.bottom());
    EXPECT_EQ(a.chkView.top, a.Picture2.bottom());
    EXPECT_EQ(a.chkCurve.top, a.Picture2.bottom());
    EXPECT_EQ(a.Image2.width, 15000);

    // 1000 twips larger both ways: roll, ruler and horizontal bar 1000 wider; roll, keyboard and
    // vertical bar 1000 taller; the row-height buttons move with the corner; the band stays.
    WindowLayout b = a;
    b.resize(16000, 11500, S);
    EXPECT_EQ(b.Picture2.width - a.Picture2.width, 1000);
    EXPECT_EQ(b.Picture4.width - a.Picture4.width, 1000);
    EXPECT_EQ(b.HScroll1.width - a.HScroll1.width, 1000);
    EXPECT_EQ(b.Picture2.height - a.Picture2.height, 1000);
    EXPECT_EQ(b.Picture3.height - a.Picture3.height, 1000);
    EXPECT_EQ(b.VScroll1.height - a.VScroll1.height, 1000);
    EXPECT_EQ(b.cmdHeightSmall.left - a.cmdHeightSmall.left, 1000);
    EXPECT_EQ(b.cmdHeightLarge.top - a.cmdHeightLarge.top, 1000);
    EXPECT_EQ(b.Image2.height, a.Image2.height);
    EXPECT_EQ(b.lblVoice, a.lblVoice);
    EXPECT_EQ(b.Picture3.width, a.Picture3.width);

    // Back to the first size (a minimised and restored window): the same layout.
    b.resize(15000, 10500, S);
    EXPECT_EQ(b, a);
}

TEST(WindowLayout, TooSmallRefusesOnlyTheNegativeSizes) {
    WindowLayout l;
    l.resize(15000, 10500, 300);
    const WindowLayout before = l;
    // 1400 x 1500 twips: the roll's width and height would be negative and keep their values; the
    // vertical bar's height too; positions still follow the rules.
    l.resize(1400, 1500, 300);
    EXPECT_EQ(l.Image2.width, 1400);
    EXPECT_EQ(l.Picture4.width, 80);
    EXPECT_EQ(l.Picture2.width, before.Picture2.width);
    EXPECT_EQ(l.Picture2.height, before.Picture2.height);
    EXPECT_EQ(l.Picture3.height, before.Picture2.height);
    EXPECT_EQ(l.HScroll1.top, l.Picture2.bottom());
    EXPECT_EQ(l.VScroll1.left, l.Picture2.right());
    EXPECT_EQ(l.VScroll1.height, before.VScroll1.height);
    // A height that just fits: roll 0 high, the scroll bar's height would be -510 and is refused.
    l.resize(15000, 1200 + 255 + 300, 300);
    EXPECT_EQ(l.Picture2.height, 0);
    EXPECT_EQ(l.VScroll1.height, before.VScroll1.height);
    EXPECT_EQ(l.cmdHeightSmall.top, l.VScroll1.bottom());
}

}  // namespace
