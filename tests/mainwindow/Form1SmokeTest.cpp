// The main window as a window: start-up on fake services, its pictures at two sizes, the menu tree.
#include "MainWindowFakes.h"
#include "core/Settings.h"
#include "mainwindow/ui/Form1.h"
#include "mainwindow/ui/PictureBox.h"
#include "platform/FakePorts.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMenuBar>
#include <QThread>
#include <QTimerEvent>

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

// A program folder, fake services and modal windows for a main window started on the empty project.
struct Form1Rig {
    test::ScopedProgramFolder program;
    ScopedFakePorts ports;
    test::FakeCoreServices core;
    MainWindowPorts p;
    Form1Rig() {
        core.temp = program.path() + QStringLiteral("/tmp");
        p.core = &core;
        settings() = Settings();
    }
};

TEST(Form1Window, EmptyProjectAtTwoSizes) {
    Form1Rig rig;
    Form1 w(rig.p);
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

// Counts the timer events the application delivers, by receiver.
class TimerEventCounter : public QObject {
public:
    QStringList receivers;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Timer)
            receivers << (watched->objectName().isEmpty() ? QString::fromLatin1(watched->metaObject()->className())
                                                          : watched->objectName());
        return false;
    }
};

// A started window with nothing playing does not wake: no timer of its own ticks over a second (the
// playback cursor's timer runs only while the selection plays).
TEST(Form1Window, IdleWindowReceivesNoTimerEvents) {
    Form1Rig rig;
    Form1 w(rig.p);
    ASSERT_TRUE(w.start(QString()));
    w.show();
    QApplication::processEvents();
    TimerEventCounter counter;
    qApp->installEventFilter(&counter);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 1000) {  // the waiting itself uses no timer
        QApplication::processEvents();
        QThread::msleep(5);
    }
    qApp->removeEventFilter(&counter);
    EXPECT_TRUE(counter.receivers.isEmpty()) << counter.receivers.size() << " timer events, e.g. to "
                                             << counter.receivers.value(0).toStdString();
    w.close();
}

}  // namespace
