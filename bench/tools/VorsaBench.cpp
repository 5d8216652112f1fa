// Speed of the note renderer: how many seconds of note it renders per second of one core (CPU time of
// the benchmark's single thread; run it pinned to one core, e.g. with taskset).

#include "tools/VorsaFixtures.h"

#include "song/PitchText.h"
#include "tools/vorsa/NoteRenderer.h"
#include "tools/vorsa/RenderRequest.h"
#include "tools/ToolText.h"
#include "tools/vorsa/SampleAudio.h"
#include "tools/vorsa/SampleFrequencyTable.h"

#include <QStringList>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <stdexcept>

namespace {

using namespace tova::vorsa;
namespace fx = tova::test::vorsa;

// A 1.2 s sample: 80 ms of noise, then a 220 Hz vowel; its frequency table made beforehand, as a
// voice bank has it after the first render.
struct Fixture {
    QTemporaryDir folder;
    QString sample;
    Fixture() {
        std::vector<float> s = fx::noise(0.08, 0.05f);
        const std::vector<float> v = fx::voicedSample(220.0, 1.12);
        s.insert(s.end(), v.begin(), v.end());
        sample = folder.filePath(QStringLiteral("ka.wav"));
        fx::writeWave16(sample, s);
        if (NoteRenderer::run(RenderRequest::fromArguments({sample.toStdString(), "nul"})).code != 0)
            throw std::runtime_error("fixture table");
    }
    // A 1 s note a fifth up with a vibrato-like curve and the sample's own modulation.
    QStringList call(const QString& output, const QString& flags = QString()) const {
        QStringList values;
        for (int k = 0; k < 200; ++k) values << QString::number(std::lround(30.0 * std::sin(k * 0.16)));
        values[0] += QStringLiteral("Q120");
        QStringList a{sample, output, "E4", "100", flags, "0", "1000", "80", "0", "100", "100"};
        a += tova::EncodePitchText(values.join(u' '), true).split(u' ');
        return a;
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// The whole call as the program and the library make it: read the sample and its table, render,
// write the 16-bit file.
void BM_RenderOneSecondNote(benchmark::State& state) {
    const QStringList call = fixture().call(fixture().folder.filePath(QStringLiteral("out.wav")), QString::fromLatin1(state.range(0) ? "B70" : ""));
    const RenderRequest request = RenderRequest::fromArguments(tova::test::u8(call));
    for (auto _ : state) {
        const NoteRenderer::Outcome outcome = NoteRenderer::run(request);
        if (outcome.code != 0) state.SkipWithError("render failed");
    }
    // Seconds of note per second: the real-time factor.
    state.counters["x_real_time"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderOneSecondNote)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The rendering alone, on a sample already in memory.
void BM_RenderOnly(benchmark::State& state) {
    std::vector<float> signal;
    SampleAudio::load(fixture().sample.toStdString(), signal);
    const SampleFrequencyTable::Result table = SampleFrequencyTable::obtain(signal, fixture().sample.toStdString(), false);
    const RenderRequest request = RenderRequest::fromArguments(tova::test::u8(fixture().call(QStringLiteral("unused.wav"))));
    for (auto _ : state) benchmark::DoNotOptimize(NoteRenderer::render(request, signal, table.pitch));
    state.counters["x_real_time"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderOnly)->Unit(benchmark::kMillisecond);

// Making the frequency table of a 1.2 s sample (first use of a sample, or the G flag).
void BM_FrequencyTable(benchmark::State& state) {
    const RenderRequest request = RenderRequest::fromArguments({fixture().sample.toStdString(), "nul", "100", "100", "G"});
    for (auto _ : state) NoteRenderer::run(request);
    state.counters["samples_per_s"] = benchmark::Counter(1.2 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FrequencyTable)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
