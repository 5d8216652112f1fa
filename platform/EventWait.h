#pragma once

#include <atomic>
#include <functional>

namespace tova {

// Waiting with events: polls `done` every `pollMs` milliseconds and handles the application's pending
// events between polls, so windows stay live. Stops when `done` answers true (returns true), when
// `abortFlag` becomes non-zero, or after `timeoutMs` (if not negative) (both return false).
class EventWait {
public:
    static bool until(const std::function<bool()>& done, int pollMs, const std::atomic<int>* abortFlag = nullptr,
                      int timeoutMs = -1);
    // Handles events for `ms` milliseconds.
    static void pause(int ms);
};

}  // namespace tova
