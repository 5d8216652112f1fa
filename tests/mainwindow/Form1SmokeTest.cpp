#include "mainwindow/ui/Form1.h"
#include "support/TestSupport.h"

#include <QImage>
#include <QMenuBar>

#include <gtest/gtest.h>

namespace {

// The main window shows with its Japanese menu drawn in real glyphs (a CJK font is installed).
TEST(Form1Smoke, ShowsJapaneseMenuAndCaption) {
    tova::Form1 w;
    w.resize(640, 300);
    w.show();
    ASSERT_EQ(w.objectName(), "Form1");
    ASSERT_TRUE(w.menuBar()->actions().size() >= 1);
    QString path = tova::test::savePng(&w, "form1_smoke");
    QImage img(path);
    ASSERT_FALSE(img.isNull());
    // The menu bar area must hold dark glyph pixels.
    int dark = 0;
    for (int y = 0; y < w.menuBar()->height(); ++y)
        for (int x = 0; x < 200; ++x)
            if (qGray(img.pixel(x, y)) < 100) ++dark;
    EXPECT_GT(dark, 20);
    w.close();
}

}  // namespace
