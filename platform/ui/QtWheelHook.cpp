#include "platform/ui/QtWheelHook.h"

#include <QWheelEvent>

namespace tova {

void QtWheelHook::subclass(QObject* window, Procedure procedure) {
    if (!window) return;
    if (!procedures_.contains(window)) {
        window->installEventFilter(this);
        // A window that goes away takes its subclass with it.
        connect(window, &QObject::destroyed, this, [this](QObject* gone) { procedures_.remove(gone); });
    }
    procedures_.insert(window, std::move(procedure));
}

void QtWheelHook::restore(QObject* window) {
    if (!window || !procedures_.contains(window)) return;
    window->removeEventFilter(this);
    disconnect(window, &QObject::destroyed, this, nullptr);
    procedures_.remove(window);
}

bool QtWheelHook::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const int amount = wheel->angleDelta().y();
        // Horizontal turns and the empty begin/end events of a touch pad are not wheel steps.
        if (amount != 0) {
            auto it = procedures_.constFind(watched);
            if (it != procedures_.constEnd()) {
                const Procedure procedure = it.value();  // the procedure may restore the window
                WheelMessage m;
                m.amount = amount;
                m.shift = wheel->modifiers().testFlag(Qt::ShiftModifier);
                m.ctrl = wheel->modifiers().testFlag(Qt::ControlModifier);
                procedure(watched, m);
            }
        }
    }
    return false;  // the window handles its events as before
}

}  // namespace tova
