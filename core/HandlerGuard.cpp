#include "core/HandlerGuard.h"

#include "core/MessageTable.h"
#include "core/Settings.h"
#include "platform/Errors.h"
#include "platform/EventGuard.h"
#include "platform/Ports.h"

#include <exception>

namespace tova {

void ReportUnexpectedError(const QString& description, const QString& titleSuffix) {
    // The message box itself must not let a failure out of the event loop either.
    EventGuard::run([&] {
        Ports::msgBox(description, MsgButtons::OK, MsgIcon::None, GetMessage(QStringLiteral("予期せぬエラー")) + titleSuffix);
    });
}

bool RunHandler(const std::function<void()>& handler) {
    if (settings().DebugMode) return EventGuard::run(handler);
    try {
        handler();
        return true;
    } catch (const TovaError& e) {
        ReportUnexpectedError(e.description());
    } catch (const std::exception& e) {
        ReportUnexpectedError(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ReportUnexpectedError(QStringLiteral("unknown failure"));
    }
    return false;
}

}  // namespace tova
