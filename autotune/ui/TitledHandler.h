#pragma once

#include <QString>

#include <functional>

namespace tova {

// Runs a tuning dialog's loading or unloading step: a failure is shown with its description under
// the dialog's own title (through the message table) and an exclamation icon, and the step ends
// there. With `DebugMode` on the failure goes to the program-wide guard instead. False when it failed.
bool RunTitledHandler(const QString& title, const std::function<void()>& handler);

}  // namespace tova
