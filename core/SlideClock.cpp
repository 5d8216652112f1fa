#include "core/SlideClock.h"

#include <QElapsedTimer>
#include <QThread>

namespace tova {
namespace {

class RealSlideClock : public SlideClock {
public:
    void restart() override { timer_.start(); }
    qint64 elapsedMs() const override { return timer_.isValid() ? timer_.elapsed() : 0; }
    void pause() override { QThread::msleep(8); }

private:
    QElapsedTimer timer_;
};

}  // namespace

SlideClock& SlideClock::real() {
    static RealSlideClock clock;
    return clock;
}

}  // namespace tova
