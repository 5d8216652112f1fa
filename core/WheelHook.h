#pragma once

#include "platform/WheelHookPort.h"

#include <cstdint>

class QObject;

namespace tova {

class WheelClient;

// The mouse-wheel hook: window objects register themselves, their windows are subclassed (through
// `WheelHookPort::installed()`), and each wheel message of such a window becomes one `WheelEvent`
// call on the first object registered for it. The window still handles the message afterwards.

// Creates the empty list of registered objects.
void InitWheelHook();
// Registers the object and subclasses its `TargetHwnd`. False when the object is null or already
// registered, or on a failure (shown as "予期せぬエラー").
bool HookWheel(WheelClient* object);
// Puts every subclassed window back and discards the list; nothing when there is no list.
void UnhookWheels();

// The wheel procedure: what the hook does with one wheel message of a subclassed window.
void WheelProc(QObject* window, const WheelMessage& message);
// The direction of a wheel delta: -1 when negative, +1 otherwise (0 included).
int16_t WheelDirection(int amount);

}  // namespace tova
