#pragma once

#include "platform/Errors.h"

#include <QString>
#include <exception>
#include <functional>

namespace tova {

// The one guard around every event handler: no exception crosses the Qt event loop.
//
// Two forms of report, one switch. `run` is the program-wide form: a failure is shown as
// "予期せぬエラー：" and its description. `runHandler` is the form of the windows' event handlers (the
// main window and its dialogs): the description under the title "予期せぬエラー" (through the message
// table). With `DebugMode` on neither traps quietly: the failure is printed to standard error and the
// program aborts so that a debugger stops at it.
//
// `DebugMode` is read from one flag: the settings bind theirs at program start, so that a dialog that
// changes the setting changes the guard at once. Without settings (the platform's own tests) the guard
// keeps a flag of its own.
class EventGuard {
public:
    // The flag the guard reads; nullptr: the guard's own.
    static void bindDebugMode(bool* flag);
    // Sets the bound flag.
    static void setDebugMode(bool on);
    static bool debugMode();
    // The message-table lookup the handler form passes its title through; nullptr: texts as they are.
    static void bindMessageLookup(QString (*lookup)(const QString& key));

    // Runs `handler`; returns false when it failed (after reporting).
    static bool run(const std::function<void()>& handler);
    // Reports a caught failure the way `run` does.
    static void report(const QString& description);

    // Runs a window's event handler; returns false when it failed (after reporting as below).
    static bool runHandler(const std::function<void()>& handler);
    // Reports a failure of a window's handler: the description under the title "予期せぬエラー" followed
    // by `titleSuffix`. The message box itself lets no failure out either.
    static void reportHandlerFailure(const QString& description, const QString& titleSuffix = QString());
};

}  // namespace tova
