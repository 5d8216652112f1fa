#pragma once

#include <QtGlobal>

namespace tova {

// The clock of the slide animations. A slide runs as a loop on the user-interface thread that handles
// no events: it asks for the time since the slide began, draws, and pauses briefly before the next step.
class SlideClock {
public:
    virtual ~SlideClock() = default;
    virtual void restart() = 0;           // a slide begins
    virtual qint64 elapsedMs() const = 0;  // since the last restart
    virtual void pause() = 0;              // between two steps

    // The real clock (pauses a few milliseconds per step).
    static SlideClock& real();
};

}  // namespace tova
