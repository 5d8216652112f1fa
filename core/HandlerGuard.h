#pragma once

#include <QString>

#include <functional>

namespace tova {

// The guard of the event handlers of every window (the main window and its dialogs). With the DebugMode
// setting off a failure ends the handler and shows a message box holding the failure's description under
// the title "予期せぬエラー"; with it on the failure is not trapped here and reaches the program-wide guard.
// Returns false when the handler failed.
bool RunHandler(const std::function<void()>& handler);

// The message box of a trapped failure: the description under the title "予期せぬエラー" followed by
// the given suffix.
void ReportUnexpectedError(const QString& description, const QString& titleSuffix = QString());

}  // namespace tova
