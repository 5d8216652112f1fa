// The main window as a window: start-up on fake services, its pictures at two sizes, the menu tree.
#include "MainWindowFakes.h"
#include "core/Settings.h"
#include "mainwindow/ui/Form1.h"
#include "mainwindow/ui/PictureBox.h"
#include "platform/FakePorts.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QImage>
#include <QMenuBar>

#include <gtest/gtest.h>

using namespace tova;

namespace {

int darkPixels(const QImage& img, const QRect& area, int threshold = 100) {
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(img.pixel(x, y)) < threshold) ++dark;
    return dark;
}

TEST(Form1Window, EmptyProjectAtTwoSizes) {
    test::ScopedProgramFolder program;
    ScopedFakePorts ports;
    test::FakeCoreServices core;
    core.temp = program.path() + QStringLiteral("/tmp");
    MainWindowPorts p;
    p.core = &core;
    settings() = Settings();
    Form1 w(p);
    ASSERT_TRUE(w.start(QString()));
    w.resize(1000, 700);
    w.show();
    QApplication::processEvents();
    const QString big = test::savePng(&w, QStringLiteral("form1_empty_1000x700"));
    QImage img(big);
    ASSERT_FALSE(img.isNull());
    // Japanese menu captions are drawn as glyphs in the menu bar.
    EXPECT_GT(darkPixels(img, QRect(0, 0, 300, w.menuBar()->height())), 40);

    w.resize(480, 300);
    QApplication::processEvents();
    test::savePng(&w, QStringLiteral("form1_empty_480x300"));
    w.close();
}

}  // namespace
