// Loading a voice bank's oto.ini at the size of a large multi-pitch bank, and the per-note lookup that
// every render and redraw makes.
#include "platform/Cp932.h"
#include "render/AliasLookup.h"
#include "render/OtoIni.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace tova;

namespace {

// A bank folder whose oto.ini has `count` records in CP932, CR LF lines: distinct files and aliases,
// as a bank recorded at several pitches with a suffix per pitch has them.
struct GeneratedBank {
    QTemporaryDir dir;
    explicit GeneratedBank(int count) {
        static const QString kana = QStringLiteral("あいうえおかきくけこさしすせそたちつてとなにぬねの");
        QString text;
        for (int i = 0; i < count; ++i) {
            const QString alias = QStringLiteral("- %1%2_%3").arg(kana[i % kana.size()]).arg(i / kana.size()).arg(i % 7);
            text += QStringLiteral("_%1_%2.wav=%3,%4,120,-200,60,25\r\n").arg(i).arg(kana[i % kana.size()]).arg(alias).arg(i % 500);
        }
        QFile f(dir.path() + QStringLiteral("/oto.ini"));
        if (f.open(QIODevice::WriteOnly)) f.write(Cp932::encode(text));
    }
};

void BM_LoadOtoIni(benchmark::State& state) {
    GeneratedBank bank(int(state.range(0)));
    for (auto _ : state) {
        LoadOtoIni(bank.dir.path());
        benchmark::DoNotOptimize(OtoTable().size());
    }
    if (OtoTable().size() != state.range(0)) state.SkipWithError("table incomplete");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LoadOtoIni)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_LookupNoteOto(benchmark::State& state) {
    GeneratedBank bank(20000);
    LoadOtoIni(bank.dir.path());
    LoadPrefixMap(bank.dir.path());
    const QString lyric = QStringLiteral("- か100_3");
    for (auto _ : state) {
        float pre = 0, ovl = 0;
        benchmark::DoNotOptimize(LookupNoteOto(40, lyric, pre, ovl));
    }
}
BENCHMARK(BM_LookupNoteOto);

}  // namespace

BENCHMARK_MAIN();
