#include "core/WheelHook.h"

#include "core/MessageTable.h"
#include "core/WheelClient.h"
#include "platform/Errors.h"
#include "platform/EventGuard.h"
#include "platform/Ports.h"

#include <QList>
#include <QPointer>

#include <memory>

namespace tova {
namespace {

struct Registration {
    WheelClient* object;
    QPointer<QObject> window;  // the window subclassed for it (null when its target was none)
};

std::unique_ptr<QList<Registration>>& registry() {
    static std::unique_ptr<QList<Registration>> list;
    return list;
}

bool gBusy = false;

void showFailure() {
    try {
        Ports::msgBox(GetMessage(QStringLiteral("予期せぬエラー")));
    } catch (...) {
        // No message box installed: nothing more can be shown.
    }
}

}  // namespace

int16_t WheelDirection(int amount) { return amount < 0 ? -1 : 1; }

void InitWheelHook() { registry() = std::make_unique<QList<Registration>>(); }

bool HookWheel(WheelClient* object) {
    try {
        if (!object) return false;
        if (!registry()) throw TovaError(91, QStringLiteral("the wheel hook is not initialised"));
        for (const Registration& r : *registry())
            if (r.object == object) return false;
        QObject* window = object->TargetHwnd();
        if (window) {
            WheelHookPort* port = WheelHookPort::installed();
            if (!port) throw TovaError(91, QStringLiteral("no wheel hook is installed"));
            port->subclass(window, &WheelProc);
        }
        registry()->append({object, window});
        return true;
    } catch (...) {
        showFailure();
        return false;
    }
}

void UnhookWheels() {
    if (!registry()) return;
    try {
        WheelHookPort* port = WheelHookPort::installed();
        for (const Registration& r : *registry())
            if (r.window && port) port->restore(r.window.data());
    } catch (...) {
        showFailure();
    }
    registry().reset();
}

void WheelProc(QObject* window, const WheelMessage& message) {
    if (gBusy || !registry()) return;
    WheelClient* target = nullptr;
    for (const Registration& r : *registry()) {
        if (r.window && r.window.data() == window) {
            target = r.object;
            break;
        }
    }
    if (!target) return;
    gBusy = true;
    // The wheel method is an event handler of its window: its failures are reported, not thrown
    // into the event loop.
    EventGuard::run([&] {
        int16_t keys = int16_t((message.shift ? 1 : 0) + (message.ctrl ? 2 : 0));
        target->WheelEvent(WheelDirection(message.amount), keys);
    });
    gBusy = false;
}

}  // namespace tova
