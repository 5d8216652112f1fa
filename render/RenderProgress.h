#pragma once

#include <QString>

namespace tova {

// The progress window as the in-process render drives it: a bar, a status text and a stop link that
// sets `StopRequested`. It hangs from the roll (`Picture2`) and is owned by the main window, which it
// disables while it is shown. The forms' library implements it over `frmProgress`; tests give a
// recording fake.
class RenderProgress {
public:
    virtual ~RenderProgress() = default;

    // Bar minimum..maximum at its minimum; with `animate` the window is shown, its owner disabled and
    // the window slides in.
    virtual void Start(int minimum, int maximum, int durationMs, bool animate) = 0;
    // Status text and bar value.
    virtual void SetStatus(const QString& text, int value) = 0;
    virtual void SetStatusText(const QString& text) = 0;
    virtual void SetMaximum(int maximum) = 0;
    virtual void SetValue(int value) = 0;
    // Turns animation on, the bar to 0, and shows the window again.
    virtual void Restart() = 0;
    virtual void SlideIn() = 0;
    virtual bool IsVisible() const = 0;
    // Slides out, enables the owner and unloads the window. Never fails.
    virtual void Finish() = 0;
};

}  // namespace tova
