#pragma once

#include "mainwindow/DefaultVoiceRun.h"

namespace tova {

// The first start's generator run in the program's progress window (a bar, the counts and the "×"
// stop link), in the middle of the screen while no main window is shown yet.
class QtDefaultVoiceRunView : public DefaultVoiceRunView {
public:
    void open(const DefaultVoiceProgress::State& state) override;
    void update(const DefaultVoiceProgress::State& state) override;
    bool stopRequested() override;
    void close() override;

    // The status line for a state.
    static QString StatusText(const DefaultVoiceProgress::State& state);
};

}  // namespace tova
