#include "autotune/ui/TitledHandler.h"

#include "core/MessageTable.h"
#include "platform/Errors.h"
#include "platform/EventGuard.h"
#include "platform/Ports.h"

namespace tova {

namespace {
void show(const QString& title, const QString& description) {
    try {
        Ports::messageBox().show({description, GetMessage(title), MsgButtons::OK, MsgIcon::Exclamation});
    } catch (...) {
    }
}
}  // namespace

bool RunTitledHandler(const QString& title, const std::function<void()>& handler) {
    if (EventGuard::debugMode()) return EventGuard::runHandler(handler);
    try {
        handler();
        return true;
    } catch (const TovaError& e) {
        show(title, e.description());
    } catch (const std::exception& e) {
        show(title, QString::fromUtf8(e.what()));
    } catch (...) {
        show(title, QString());
    }
    return false;
}

}  // namespace tova
