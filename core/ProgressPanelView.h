#pragma once

#include <QString>

namespace tova {

// What the embedded progress panel drives: a progress bar, a panel that slides down from the top edge
// of its host window, and the host's status text (the voice-bank manager's status label). The Qt
// binding implements it over the real widgets; tests use a recording fake.
class ProgressPanelView {
public:
    virtual ~ProgressPanelView() = default;
    virtual void setBarRange(int minimum, int maximum) = 0;
    virtual int barMinimum() const = 0;
    virtual int barMaximum() const = 0;
    virtual void setBarValue(int value) = 0;
    virtual int panelHeight() const = 0;
    // Moves the panel to `top` and repaints it.
    virtual void setPanelTop(int top) = 0;
    virtual void repaintHost() = 0;
    virtual void setStatusText(const QString& text) = 0;
};

}  // namespace tova
