#pragma once

class QProgressBar;
class QWidget;

namespace tova {

// The widget side of the embedded progress panel (the rest is in core/ProgressPanel.h).

// Begins a run on the panel: remembers the bar, the sliding panel and the host window (whose status
// label shows the run's text when it is a ProgressStatusHost); the bar gets minimum..maximum and the
// value minimum; stage 0 of 1; `StopRequested` is cleared.
void BeginProgress(QProgressBar* bar, QWidget* panel, int minimum, int maximum, int durationMs, QWidget* host);

// Enables or disables every command button (push button) among the window's controls; other controls
// keep their state.
void EnableCommandButtons(QWidget* window, bool enabled);

}  // namespace tova
