#pragma once

#include "core/ProgressPanelView.h"
#include "core/SlideClock.h"

#include <memory>

namespace tova {

// The embedded progress panel of the frequency-table tools: one program-wide set of state (the bar,
// the sliding panel and the host behind a view; the slide duration; whether the panel is shown; the
// stage count and index; the total of the current frequency-table run).
class ProgressPanel {
public:
    static ProgressPanel& instance();

    // Remembers the view; the bar gets minimum..maximum and the value minimum; the panel's height is
    // noted; stage 0 of 1; `StopRequested` is cleared.
    void begin(std::unique_ptr<ProgressPanelView> view, int minimum, int maximum, int durationMs);
    void setStep(int stageCount, int stageIndex);
    // Sets the bar value, clamped to the bar's range.
    void setValue(int value);
    // Slides the panel out when it is shown and forgets the view.
    void end();
    // Mode 1 starts a frequency-table run of `value` items (sliding the panel in when it is hidden);
    // any other mode reports `value` items done.
    void showFreqTableProgress(int mode, int value);

    bool active() const { return view_ != nullptr; }
    bool shown() const { return shown_; }
    int stageCount() const { return stageCount_; }
    int stageIndex() const { return stageIndex_; }
    int runTotal() const { return total_; }
    int durationMs() const { return durationMs_; }

    void setClock(SlideClock* clock) { clock_ = clock ? clock : &SlideClock::real(); }

private:
    void slideIn();
    void slideOut();

    std::unique_ptr<ProgressPanelView> view_;
    SlideClock* clock_ = &SlideClock::real();
    int panelHeight_ = 0;
    int durationMs_ = 0;
    bool shown_ = false;
    int stageCount_ = 1;
    int stageIndex_ = 0;
    int total_ = 0;
};

// The procedures of the embedded panel on the program-wide state (the beginning, which takes the
// widgets, is in the forms' library: BeginProgress).
void SetProgressStep(int stageCount, int stageIndex);
void SetProgressValue(int value);
void EndProgress();
void ShowFreqTableProgress(int mode, int value);

}  // namespace tova
