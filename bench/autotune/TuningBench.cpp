// Each tuning pass over a 10,000-note song, as the tool frame runs it (the per-note loop with its
// tempos), with the program's note timing and no voice bank loaded (the notes' own values count).

#include "autotune/AutoCombine.h"
#include "autotune/AutoPitch.h"
#include "autotune/AutoVibrato.h"
#include "autotune/OmakaseDialog.h"
#include "autotune/TuningFrame.h"
#include "render/RenderNoteTiming.h"
#include "song/NoteArrays.h"

#include <benchmark/benchmark.h>

namespace {

using namespace tova;

// Alternating consonant and vowel notes stepping up and down, some with their own tempo.
NoteArrays song(int count) {
    static const QStringList lyrics{QStringLiteral("か"), QStringLiteral("あ"), QStringLiteral("さ"), QStringLiteral("い"),
                                    QStringLiteral("R"),  QStringLiteral("た"), QStringLiteral("う")};
    NoteArrays n;
    n.resizeNotes(count);
    for (int i = 0; i < count; ++i) {
        n.Lyrics[i] = lyrics.at(i % lyrics.size());
        n.NoteNums[i] = 48 + (i * 5) % 9;
        n.Lengths[i] = 480 + (i % 4) * 480;
        n.NoteExt[i] = i % 50 == 0 ? QStringLiteral("30:10:\t\t\t\t\ttempo=%1").arg(110 + i % 30) : QStringLiteral("30:10:\t\t\t\t\t");
    }
    return n;
}

void BM_AutoPitch(benchmark::State& state) {
    const NoteArrays base = song(10000);
    const RenderNoteTiming timing(120);
    const BendSettings s;
    for (auto _ : state) {
        NoteArrays n = base;
        RunPitchLoop(120, 0, n.lastNote(), n, [&](float t2, float t1, float t0, qint32 i) {
            ApplyAutoPitch(t2, t1, t0, i, n, timing, s);
        });
        benchmark::DoNotOptimize(n.NoteExt.last());
    }
}
BENCHMARK(BM_AutoPitch)->Unit(benchmark::kMillisecond);

void BM_AutoVibrato(benchmark::State& state) {
    const NoteArrays base = song(10000);
    const RenderNoteTiming timing(120);
    VibratoSettings s;
    s.Limit = 0;
    for (auto _ : state) {
        NoteArrays n = base;
        RunTwoTempoLoop(120, 0, n.lastNote(), n, [&](float p, float c, qint32 i) { ApplyAutoVibrato(p, c, i, n, timing, s); });
        benchmark::DoNotOptimize(n.NoteExt.last());
    }
}
BENCHMARK(BM_AutoVibrato)->Unit(benchmark::kMillisecond);

void BM_AutoCombine(benchmark::State& state) {
    const NoteArrays base = song(10000);
    const RenderNoteTiming timing(120);
    for (auto _ : state) {
        NoteArrays n = base;
        CombineSettings s;
        s.Env1 = s.EnvOther = true;
        RunTwoTempoLoop(120, 0, n.lastNote(), n, [&](float p, float c, qint32 i) { ApplyAutoCombine(p, c, i, n, timing, s); });
        benchmark::DoNotOptimize(n.NoteExt.last());
    }
}
BENCHMARK(BM_AutoCombine)->Unit(benchmark::kMillisecond);

void BM_Omakase(benchmark::State& state) {
    const NoteArrays base = song(10000);
    const RenderNoteTiming timing(120);
    OmakaseDialog d;
    d.ApplyMode = 1;
    for (auto _ : state) {
        NoteArrays n = base;
        d.RunPasses(120, 0, 0, n, timing, [] { return 0.5; });
        benchmark::DoNotOptimize(n.NoteExt.last());
    }
}
BENCHMARK(BM_Omakase)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
