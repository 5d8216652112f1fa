// Speed of the string map at voice-bank sizes (the alias index holds two keys per oto.ini line) and of
// the digests.
#include "core/Md5.h"
#include "core/Digests.h"
#include "core/clsMap.h"

#include <QStringList>

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

}  // namespace

BENCHMARK_MAIN();
