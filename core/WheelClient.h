#pragma once

#include <cstdint>

class QObject;

namespace tova {

// A window object that takes the mouse wheel through the wheel hook (core/WheelHook.h).
class WheelClient {
public:
    virtual ~WheelClient() = default;
    // The window whose wheel messages the object wants (nullptr: none).
    virtual QObject* TargetHwnd() const = 0;
    // One wheel step: direction -1 when the wheel delta was negative, +1 otherwise; key state
    // 1 with Shift held, 2 with Ctrl held, 3 with both.
    virtual void WheelEvent(int16_t direction, int16_t& keyState) = 0;
};

}  // namespace tova
