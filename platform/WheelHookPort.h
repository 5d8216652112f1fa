#pragma once

#include <functional>

class QObject;

namespace tova {

// One turn of the mouse wheel on a window, as a wheel hook sees it: `amount` is the signed wheel
// delta (120 per notch of an ordinary wheel, less on a high-resolution one; positive when turned
// away from the user), with the state of Shift and Ctrl at that moment.
struct WheelMessage {
    int amount = 0;
    bool shift = false;
    bool ctrl = false;
};

// Subclassing of a window for its wheel messages: once a window is subclassed, every vertical
// wheel message of it reaches the procedure first and then, unchanged, the window's own handling.
class WheelHookPort {
public:
    using Procedure = std::function<void(QObject* window, const WheelMessage& message)>;
    virtual ~WheelHookPort() = default;
    // Subclasses the window (once; a second call replaces the procedure).
    virtual void subclass(QObject* window, Procedure procedure) = 0;
    // Puts the window's own handling back alone.
    virtual void restore(QObject* window) = 0;

    // The port the program uses (nullptr until the application installs one).
    static WheelHookPort* installed();
    static void install(WheelHookPort* port);
};

}  // namespace tova
