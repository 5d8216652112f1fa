// Rendering a generated 200-note song: the whole song on the batch road (render batch run by the batch
// runner, one tool process per step) and on the library road (the tools' libraries in process), and a
// re-render on the library road with the render cache after one note was changed.

#include "SongRenderFixture.h"

#include <QCoreApplication>
#include <QDir>

#include <benchmark/benchmark.h>

namespace {

using namespace tova;

// The song of 200 notes with the build's tools; the bank's frequency tables are made once, as after a
// bank's first render.
struct Fixture : bench::SongRenderFixture {
    Fixture() : SongRenderFixture(200, QStringLiteral(TOVA_PROGRAM_DIR)) {
        renderLibrary();
        QDir(cache).removeRecursively();
    }
};

Fixture& fixture() {
    // The tools are awaited with window events handled: the benchmark runs under an application object.
    static int argc = 1;
    static char name[] = "bench_render";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    Q_UNUSED(app);
    static Fixture f;
    return f;
}

void BM_FullRenderBatchRoad(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        state.PauseTiming();
        QDir(f.cache).removeRecursively();
        state.ResumeTiming();
        f.renderBatch();
    }
}
BENCHMARK(BM_FullRenderBatchRoad)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FullRenderLibraryRoad(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        state.PauseTiming();
        QDir(f.cache).removeRecursively();
        state.ResumeTiming();
        f.renderLibrary();
    }
}
BENCHMARK(BM_FullRenderLibraryRoad)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_CachedRerenderAfterOneEdit(benchmark::State& state) {
    Fixture& f = fixture();
    QDir(f.cache).removeRecursively();
    f.renderLibrary();
    int k = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // One note moves a semitone: only it is rendered again.
        k = (k + 37) % 200;
        if (f.song.Lyrics[k] == QStringLiteral("R")) ++k;
        f.song.NoteNums[k] += 1;
        state.ResumeTiming();
        f.renderLibrary();
    }
}
BENCHMARK(BM_CachedRerenderAfterOneEdit)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

