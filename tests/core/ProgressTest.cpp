// The progress displays' arithmetic and the embedded panel's behaviour (on a recording view).
#include "core/Processes.h"
#include "core/Progress.h"
#include "core/ProgressPanel.h"

#include <gtest/gtest.h>

using namespace tova;

namespace {

TEST(Progress, FrequencyTableShareBarAndText) {
    const struct {
        const char* name;
        int done, total, stageIndex, stageCount;
        int bar;
        const char* text;
    } cases[] = {
        {"stage 1 of 2, half the items", 5, 10, 1, 2, 75, "周波数表(75%)"},
        {"start", 0, 10, 0, 1, 0, "周波数表(0%)"},
        {"all done", 10, 10, 0, 1, 100, "周波数表(100%)"},
        {"a third: bar cut, text rounded", 1, 3, 0, 1, 33, "周波数表(33%)"},
        {"two thirds: bar cut, text rounded", 2, 3, 0, 1, 66, "周波数表(67%)"},
        {"run of no items", 0, 0, 0, 1, 0, "周波数表(0%)"},
        {"run of no items in stage 1 of 2", 3, 0, 1, 2, 50, "周波数表(50%)"},
        {"stage count 0 counts as 1", 1, 2, 0, 0, 50, "周波数表(50%)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const float f = FreqTableFraction(c.done, c.total, c.stageIndex, c.stageCount);
        EXPECT_EQ(FreqTableBarValue(f), c.bar);
        EXPECT_EQ(FreqTableStatusText(f), QString::fromUtf8(c.text));
    }
}

TEST(Progress, SlidePositionsClampAndPlacement) {
    EXPECT_EQ(SlideInHeight(60, 0, 200), 0);
    EXPECT_EQ(SlideInHeight(60, 100, 200), 30);
    EXPECT_EQ(SlideInHeight(60, 250, 200), 75);  // past the end: the loop stops at the full height
    EXPECT_EQ(SlideInHeight(60, 0, 0), 60);      // no duration: at once complete
    EXPECT_EQ(SlideOutHeight(60, 200, 200), 60);
    EXPECT_EQ(SlideOutHeight(60, 50, 200), 15);
    EXPECT_EQ(SlideOutHeight(60, -10, 200), 0);
    EXPECT_EQ(SlideOutHeight(60, 10, 0), 0);
    EXPECT_EQ(PanelSlideInTop(40, 0, 100), -40);
    EXPECT_EQ(PanelSlideInTop(40, 75, 100), -10);
    EXPECT_EQ(PanelSlideInTop(40, 5, 0), 0);
    EXPECT_EQ(PanelSlideOutTop(40, 25, 100), -10);
    EXPECT_EQ(PanelSlideOutTop(40, 5, 0), -40);

    EXPECT_EQ(ClampProgressValue(150, 0, 100), 100);
    EXPECT_EQ(ClampProgressValue(-3, 0, 100), 0);
    EXPECT_EQ(ClampProgressValue(42, 0, 100), 42);

    EXPECT_EQ(ProgressWindowOrigin({100, 50}, 500, 320), QPoint(190, 50));
    EXPECT_EQ(ProgressWindowOrigin({100, 50}, 200, 320), QPoint(40, 50));  // wider than its anchor
}

// Records what the panel logic does to the widgets.
struct RecordingView : ProgressPanelView {
    int min = -1, max = -1, value = -1, top = -40, height = 40, hostRepaints = 0;
    QString status;
    std::vector<int>* tops;
    explicit RecordingView(std::vector<int>* t) : tops(t) {}
    void setBarRange(int a, int b) override { min = a, max = b; }
    int barMinimum() const override { return min; }
    int barMaximum() const override { return max; }
    void setBarValue(int v) override { value = v; }
    int panelHeight() const override { return height; }
    void setPanelTop(int t) override {
        top = t;
        tops->push_back(t);
    }
    void repaintHost() override { ++hostRepaints; }
    void setStatusText(const QString& t) override { status = t; }
};

// Time moves 30 ms per step of a slide.
struct SteppingClock : SlideClock {
    qint64 now = 0;
    void restart() override { now = 0; }
    qint64 elapsedMs() const override { return now; }
    void pause() override { now += 30; }
};

TEST(ProgressPanel, FrequencyTableRunSlidesInReportsStagesAndSlidesOut) {
    std::vector<int> tops;
    SteppingClock clock;
    ProgressPanel panel;
    panel.setClock(&clock);
    auto owned = std::make_unique<RecordingView>(&tops);
    RecordingView* view = owned.get();

    StopRequested = -1;
    panel.begin(std::move(owned), 5, 20, 100);
    EXPECT_EQ(StopRequested, 0);
    EXPECT_EQ(view->min, 5);
    EXPECT_EQ(view->max, 20);
    EXPECT_EQ(view->value, 5);
    EXPECT_EQ(panel.stageCount(), 1);
    EXPECT_EQ(panel.stageIndex(), 0);

    panel.setValue(99);
    EXPECT_EQ(view->value, 20);
    panel.setValue(-1);
    EXPECT_EQ(view->value, 5);

    panel.showFreqTableProgress(1, 10);
    EXPECT_EQ(view->min, 0);
    EXPECT_EQ(view->max, 100);
    EXPECT_EQ(view->value, 0);
    EXPECT_EQ(view->status, QString::fromUtf8("周波数表(0%)"));
    EXPECT_TRUE(panel.shown());
    EXPECT_EQ(tops, (std::vector<int>{-40, -28, -16, -4, 0}));  // (elapsed / 100 − 1) × 40, then home

    panel.setStep(2, 1);
    panel.showFreqTableProgress(2, 5);
    EXPECT_EQ(view->value, 75);
    EXPECT_EQ(view->status, QString::fromUtf8("周波数表(75%)"));

    // A second run while the panel is down: no second slide, a new total.
    tops.clear();
    panel.showFreqTableProgress(1, 0);
    EXPECT_TRUE(tops.empty());
    EXPECT_EQ(panel.runTotal(), 0);
    panel.setStep(1, 0);
    panel.showFreqTableProgress(0, 0);
    EXPECT_EQ(view->value, 0);
    EXPECT_EQ(view->status, QString::fromUtf8("周波数表(0%)"));

    panel.end();
    EXPECT_FALSE(panel.shown());
    EXPECT_FALSE(panel.active());
    EXPECT_EQ(tops, (std::vector<int>{0, -12, -24, -36, -40}));
}

TEST(ProgressPanel, EndWithoutSlideInAndCallsWithoutAPanelDoNothing) {
    std::vector<int> tops;
    ProgressPanel panel;
    panel.begin(std::make_unique<RecordingView>(&tops), 0, 10, 100);
    panel.end();
    EXPECT_TRUE(tops.empty());  // never shown, nothing to slide out
    panel.setValue(3);
    panel.showFreqTableProgress(1, 5);
    panel.showFreqTableProgress(2, 1);
    panel.end();
    EXPECT_TRUE(tops.empty());
}

}  // namespace
