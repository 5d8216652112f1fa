#include "platform/EventWait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace tova {

void EventWait::pause(int ms) {
    if (!QCoreApplication::instance()) {
        QThread::msleep(ulong(qMax(ms, 0)));
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(qMax(ms, 0), &loop, &QEventLoop::quit);
    loop.exec();
}

bool EventWait::until(const std::function<bool()>& done, int pollMs, const std::atomic<int>* abortFlag, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (done()) return true;
        if (abortFlag && abortFlag->load() != 0) return false;
        if (timeoutMs >= 0 && clock.elapsed() >= timeoutMs) return false;
        pause(pollMs);
    }
}

}  // namespace tova
