#pragma once

#include "platform/Errors.h"

#include <QString>
#include <exception>
#include <functional>

namespace tova {

// The one guard around every event handler: no exception crosses the Qt event loop. With `DebugMode`
// off a failure is shown as "予期せぬエラー：" and its description; with it on the failure is printed to
// standard error and the program aborts so that a debugger stops at it.
class EventGuard {
public:
    static void setDebugMode(bool on);
    static bool debugMode();

    // Runs `handler`; returns false when it failed (after reporting).
    static bool run(const std::function<void()>& handler);
    // Reports a caught failure the way `run` does.
    static void report(const QString& description);
};

}  // namespace tova
