#include "core/ProgressPanel.h"

#include "core/Processes.h"
#include "core/Progress.h"

#include <QCoreApplication>

namespace tova {

ProgressPanel& ProgressPanel::instance() {
    static ProgressPanel panel;
    return panel;
}

void ProgressPanel::begin(std::unique_ptr<ProgressPanelView> view, int minimum, int maximum, int durationMs) {
    view_ = std::move(view);
    durationMs_ = durationMs;
    if (view_) {
        view_->setBarRange(minimum, maximum);
        view_->setBarValue(minimum);
        panelHeight_ = view_->panelHeight();
    }
    stageIndex_ = 0;
    stageCount_ = 1;
    StopRequested = 0;
}

void ProgressPanel::setStep(int stageCount, int stageIndex) {
    stageCount_ = qMax(stageCount, 1);
    stageIndex_ = stageIndex;
}

void ProgressPanel::setValue(int value) {
    if (!view_) return;
    view_->setBarValue(ClampProgressValue(value, view_->barMinimum(), view_->barMaximum()));
}

void ProgressPanel::end() {
    if (view_ && shown_) slideOut();
    view_.reset();
}

void ProgressPanel::showFreqTableProgress(int mode, int value) {
    if (mode == 1) {
        total_ = value;
        if (view_ && !shown_) {
            view_->setBarRange(0, 100);
            view_->setBarValue(0);
            view_->setStatusText(FreqTableStatusText(0.0f));
            slideIn();
        }
        return;
    }
    const float fraction = FreqTableFraction(value, total_, stageIndex_, stageCount_);
    setValue(FreqTableBarValue(fraction));
    if (view_) view_->setStatusText(FreqTableStatusText(fraction));
    QCoreApplication::processEvents();
}

void ProgressPanel::slideIn() {
    clock_->restart();
    for (;;) {
        int top = PanelSlideInTop(float(panelHeight_), clock_->elapsedMs(), durationMs_);
        if (top >= 0) break;
        view_->setPanelTop(top);
        clock_->pause();
    }
    view_->setPanelTop(0);
    shown_ = true;
}

void ProgressPanel::slideOut() {
    clock_->restart();
    for (;;) {
        int top = PanelSlideOutTop(float(panelHeight_), clock_->elapsedMs(), durationMs_);
        if (top <= -panelHeight_) break;
        view_->setPanelTop(top);
        view_->repaintHost();
        clock_->pause();
    }
    view_->setPanelTop(-panelHeight_);
    view_->repaintHost();
    shown_ = false;
}

void SetProgressStep(int stageCount, int stageIndex) { ProgressPanel::instance().setStep(stageCount, stageIndex); }
void SetProgressValue(int value) { ProgressPanel::instance().setValue(value); }
void EndProgress() { ProgressPanel::instance().end(); }
void ShowFreqTableProgress(int mode, int value) { ProgressPanel::instance().showFreqTableProgress(mode, value); }

}  // namespace tova
