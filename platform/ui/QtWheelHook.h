#pragma once

#include "platform/WheelHookPort.h"

#include <QHash>
#include <QObject>
#include <QPointer>

namespace tova {

// Wheel-message subclassing of Qt windows: an event filter on the window that hands every
// vertical wheel event to the procedure and lets the event go on to the window.
class QtWheelHook : public QObject, public WheelHookPort {
    Q_OBJECT
public:
    void subclass(QObject* window, Procedure procedure) override;
    void restore(QObject* window) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QHash<QObject*, Procedure> procedures_;
};

}  // namespace tova
