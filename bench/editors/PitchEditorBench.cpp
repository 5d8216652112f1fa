// The pitch editor with a note of 10,000 pitch points: opening (model and window), placing the points,
// writing the text back, and one handle-drag step with its repaint.

#include "editors/PitchEditor.h"
#include "editors/ui/Form2.h"

#include <QApplication>
#include <QImage>
#include <QStringList>

#include <benchmark/benchmark.h>

#include <cmath>

namespace tova {
namespace {

constexpr int kPoints = 10000;

// A note long enough for 10,000 points at tempo 120 (5.2 ms apart), its text a slow wave.
PitchCurveArgs longNote() {
    PitchCurveArgs a;
    a.tempo = 120;
    a.lengthMs = int(kPoints * 60.0 / 96 / 120 * 1000);
    QStringList t{QStringLiteral("0Q120")};
    for (int i = 1; i < kPoints; ++i) t.append(QString::number(int(300 * std::sin(i * 0.01))));
    a.pitchText = t.join(u' ');
    return a;
}

PitchWave oneSecondWave() {
    PitchWave w;
    w.read = true;
    w.dataSize = 2 * 44100;
    w.samples.resize(44100);
    for (int i = 0; i < w.samples.size(); ++i) w.samples[i] = qint16(10000 * std::sin(i * 0.03));
    return w;
}

void BM_LoadModel(benchmark::State& state) {
    const PitchCurveArgs a = longNote();
    const PitchWave w = oneSecondWave();
    for (auto _ : state) {
        PitchEditor e;
        e.load(a, w, 0, nullptr);
        e.Form_Load();
        e.Form_Resize(11970, 4515);
        benchmark::DoNotOptimize(e.HandleLeft.data());
    }
    state.counters["points"] = kPoints;
}
BENCHMARK(BM_LoadModel)->Unit(benchmark::kMillisecond);

void BM_OpenWindow(benchmark::State& state) {
    const PitchCurveArgs a = longNote();
    const PitchWave w = oneSecondWave();
    for (auto _ : state) {
        Form2 form;
        form.model().load(a, w, 0, nullptr);
        form.showLoadedModel();
        QImage image(form.size(), QImage::Format_ARGB32_Premultiplied);
        form.render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_OpenWindow)->Unit(benchmark::kMillisecond);

void BM_Redraw(benchmark::State& state) {
    PitchEditor e;
    e.load(longNote(), oneSecondWave(), 0, nullptr);
    e.Form_Load();
    e.HZoom = int(state.range(0));
    e.Form_Resize(11970, 4515);
    for (auto _ : state) {
        e.Redraw(false);
        benchmark::DoNotOptimize(e.HandleTop.data());
    }
}
BENCHMARK(BM_Redraw)->Arg(2)->Arg(12)->Unit(benchmark::kMicrosecond);

void BM_WriteBack(benchmark::State& state) {
    PitchEditor e;
    e.load(longNote(), PitchWave(), 0, nullptr);
    for (auto _ : state) benchmark::DoNotOptimize(e.pitchText());
}
BENCHMARK(BM_WriteBack)->Unit(benchmark::kMicrosecond);

// One move of a grabbed handle with tool "∫" over a selection of 2,000 points, and the repaint of the
// whole window that follows it.
void BM_DragRepaint(benchmark::State& state) {
    Form2 form;
    form.model().load(longNote(), oneSecondWave(), 0, nullptr);
    form.showLoadedModel();
    PitchEditor& m = form.model();
    m.SelStart = 20;
    m.SelEnd = 2020;
    m.optTool_Click(4);
    m.lbTone_MouseDown(40, 1, 30, 30);
    QImage image(form.size(), QImage::Format_ARGB32_Premultiplied);
    double dy = 1;
    for (auto _ : state) {
        m.lbTone_MouseMove(40, 30, 30 + dy);
        dy = -dy;
        form.render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_DragRepaint)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tova

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
