// Speed of the string map at voice-bank sizes (the alias index holds two keys per oto.ini line), of
// the digests and of the existence test in a voice-bank-sized folder.
#include "core/Md5.h"
#include "core/Digests.h"
#include "core/FileHelpers.h"
#include "core/clsMap.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace tova;

namespace {

QStringList aliases(int n) {
    QStringList keys;
    keys.reserve(n);
    for (int i = 0; i < n; ++i) keys << QStringLiteral("- か%1_E4強.wav").arg(i);
    return keys;
}

void BM_MapAdd(benchmark::State& state) {
    const QStringList keys = aliases(int(state.range(0)));
    for (auto _ : state) {
        clsMap m;
        for (const QString& k : keys) benchmark::DoNotOptimize(m.add(k, k));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_MapAdd)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_MapLookup(benchmark::State& state) {
    const QStringList keys = aliases(int(state.range(0)));
    clsMap m;
    for (const QString& k : keys) m.add(k, k);
    qsizetype i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(m.Value(keys[i]));
        if (++i == keys.size()) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MapLookup)->Arg(20000)->Arg(100000);

void BM_MD5String(benchmark::State& state) {
    const QString text = QStringLiteral("initvox.batあいうえお");
    for (auto _ : state) benchmark::DoNotOptimize(MD5String(text));
}
BENCHMARK(BM_MD5String);

void BM_Md5Bytes(benchmark::State& state) {
    const QByteArray data(1 << 20, 'x');
    for (auto _ : state) benchmark::DoNotOptimize(Md5::digest(data));
    state.SetBytesProcessed(state.iterations() * data.size());
}
BENCHMARK(BM_Md5Bytes);

// One existence test (SafeDir of a sample path) in a folder of `range(0)` samples; the second argument
// spells the name in other letter case, which needs a look at the whole folder.
void BM_SafeDirExistence(benchmark::State& state) {
    QTemporaryDir dir;
    const int files = int(state.range(0));
    for (int i = 0; i < files; ++i) QFile(dir.filePath(QStringLiteral("s%1.wav").arg(i))).open(QIODevice::WriteOnly);
    const bool loose = state.range(1) != 0;
    int i = 0;
    for (auto _ : state) {
        const QString name = QStringLiteral("s%1.wav").arg(i);
        benchmark::DoNotOptimize(SafeDir(dir.filePath(loose ? name.toUpper() : name)));
        if (++i == files) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SafeDirExistence)->Args({3000, 0})->Args({3000, 1})->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
