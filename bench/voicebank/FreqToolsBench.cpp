// The spectrum of a 3 s sample for the timing editor: built from cold into its cache file, read back
// from the cache, and computed directly as the no-cache mode does; and regenerating every frequency
// table of the default voice bank with the batch generator's "regen.bat" (tool 2 once per sample).
#include "platform/Cp932.h"
#include "voicebank/FreqGenerator.h"
#include "voicebank/SpectrumAnalysis.h"
#include "voicebank/SpectrumCache.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>

using namespace tova;

namespace {

const QString kProgramFolder = QStringLiteral(TOVA_PROGRAM_DIR);

// A 3 s mono sample at 44.1 kHz: a voiced tone with harmonics under a slow envelope.
struct ThreeSeconds {
    QTemporaryDir dir;
    QString wave;
    QVector<std::int16_t> samples;
    ThreeSeconds() : wave(dir.path() + QStringLiteral("/a.wav")) {
        samples.resize(3 * 44100);
        for (int i = 0; i < samples.size(); ++i) {
            double v = 0;
            for (int h = 1; h <= 8; ++h) v += std::sin(2 * M_PI * 220 * h * i / 44100.0) / h;
            samples[i] = std::int16_t(6000 * v * std::sin(M_PI * i / samples.size()));
        }
        QFile f(wave);
        f.open(QIODevice::WriteOnly);
        f.write("RIFF");  // only the cache's date is compared with the sample file
    }
};

void BM_SpectrumFromCold(benchmark::State& state) {
    ThreeSeconds s;
    for (auto _ : state) {
        QFile::remove(SpectrumCache::PathFor(s.wave));
        if (SpectrumCache::BuildIfNeeded(s.wave, s.samples, 1) != SpectrumCache::Build::Built) state.SkipWithError("not built");
    }
    state.counters["rows"] = double(SpectrumRowCount(s.samples.size(), 1));
}
BENCHMARK(BM_SpectrumFromCold)->Unit(benchmark::kMillisecond);

void BM_SpectrumFromCache(benchmark::State& state) {
    ThreeSeconds s;
    SpectrumCache::BuildIfNeeded(s.wave, s.samples, 1);
    const std::int64_t rows = SpectrumRowCount(s.samples.size(), 1);
    for (auto _ : state) {
        SpectrumCache cache;
        if (!cache.open(s.wave, rows)) state.SkipWithError("cache not usable");
        double sum = 0;
        for (std::int64_t f = 0; f < rows; ++f) {
            const auto row = cache.row(f);
            for (int k = 0; k < 160; ++k) sum += SpectrumCacheMagnitude(row[k]);
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_SpectrumFromCache)->Unit(benchmark::kMillisecond);

void BM_SpectrumComputedDirectly(benchmark::State& state) {
    ThreeSeconds s;
    const std::int64_t rows = SpectrumRowCount(s.samples.size(), 1);
    for (auto _ : state) {
        const QVector<double> table = MakeSinTable(kSpectrumWindow);
        for (std::int64_t f = 0; f < rows; ++f) benchmark::DoNotOptimize(ComputeSpectrumFrame(s.samples, 1, f * 256, table));
    }
}
BENCHMARK(BM_SpectrumComputedDirectly)->Unit(benchmark::kMillisecond);

// Every table of the default bank made anew by "regen.bat" (mode 上書きで全て再作成), run by the
// batch runner; the bank is made once beforehand by its generator.
void BM_RegenerateDefaultBankTables(benchmark::State& state) {
    QTemporaryDir root;
    const QString bank = root.path() + QStringLiteral("/voice/cantu");
    QDir().mkpath(bank);
    for (const QString name : {QStringLiteral("initvox.bat"), QStringLiteral("initvox"), QStringLiteral("initvox.txt")})
        QFile::copy(kProgramFolder + QStringLiteral("/voice/cantu/") + name, bank + u'/' + name);
    QFile::link(kProgramFolder + QStringLiteral("/vorsa"), root.path() + QStringLiteral("/vorsa"));
    QProcess make;
    make.start(kProgramFolder + QStringLiteral("/batrun"), {bank + QStringLiteral("/initvox.bat")});
    make.waitForFinished(-1);
    const QStringList lines =
        tova::FreqGenerator::BatchLines(bank, kProgramFolder + QStringLiteral("/vorsa"), tova::FreqGenerator::UpdateAll, true);
    const QString batch = root.path() + QStringLiteral("/regen.bat");
    QFile f(batch);
    f.open(QIODevice::WriteOnly);
    f.write(tova::Cp932::encodeMarked(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
    f.close();
    for (auto _ : state) {
        QProcess run;
        run.start(kProgramFolder + QStringLiteral("/batrun"), {batch});
        run.waitForFinished(-1);
        if (run.exitCode() != 0) state.SkipWithError("regen.bat failed");
    }
    state.counters["samples"] = double(QDir(bank).entryList({QStringLiteral("*.wav")}, QDir::Files).size());
    state.counters["tables"] = double(QDir(bank).entryList({QStringLiteral("*.frq")}, QDir::Files).size());
}
BENCHMARK(BM_RegenerateDefaultBankTables)->Unit(benchmark::kSecond)->Iterations(3)->UseRealTime();

}  // namespace
