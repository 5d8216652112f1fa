// Opening the hostile 56 KB render batch (500 notes, each pitch text claiming 1,048,576 values): time and
// the process's peak resident memory. Run alone for a clean peak:
//   build/bench/bench_exchange --benchmark_filter=HostileBatch
#include "ExchangeFakes.h"
#include "HostileBatch.h"

#include "exchange/RenderBatchReader.h"
#include "platform/Cp932.h"
#include "platform/FakePorts.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

double peakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

void BM_OpenHostileBatch(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("hostile.bat"));
    const QByteArray bytes =
        tova::Cp932::encode(tova::test::HostilePitchBatch().join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    file.close();
    tova::ScopedFakePorts ports;
    const double before = peakMiB();
    for (auto _ : state) {
        tova::test::FakeProjectWindow window;
        tova::test::FakeVoiceBank voices;
        window.NewProject();
        tova::RenderBatchReader(window, voices).ReadBatchNotes(path);
        benchmark::DoNotOptimize(window.theSong.NoteExt.size());
    }
    state.counters["file_KB"] = double(bytes.size()) / 1024.0;
    state.counters["peak_MiB"] = peakMiB();
    state.counters["peak_growth_MiB"] = peakMiB() - before;
}
BENCHMARK(BM_OpenHostileBatch)->Unit(benchmark::kMillisecond);

}  // namespace
