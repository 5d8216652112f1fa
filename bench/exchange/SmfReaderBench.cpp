// Time the MIDI-file reader takes: importing a song, and meeting each damaged or hostile file (every one
// must end quickly in the format failure), including the worst case of far-apart bends.
#include "exchange/midi/SmfReader.h"
#include "platform/FakePorts.h"
#include "SmfFixtures.h"
#include "SmfHostileFiles.h"

#include <benchmark/benchmark.h>

using namespace tova;
using namespace tova::test::smf;

namespace {

QByteArray song(int notes) {
    Track voice;
    voice.name("Voice A").bendRange(2);
    for (int i = 0; i < notes; ++i) {
        voice.lyric(i % 2 ? Sa : Ku).on(i % 3 ? 0 : 240, 60 + i % 12);
        for (int k = 0; k < 8; ++k) voice.bend(k ? 5 : 0, (k * 500) % 4000);
        voice.off(440, 60 + i % 12);
    }
    return file(1, 480, {conductor(500000), voice.end()});
}

// Every entry point over one file, as the import command and the ".wsq" road meet it.
void readAll(const QByteArray& data) {
    Bytes a(data), b(data), c(data);
    benchmark::DoNotOptimize(ListSmfTracks(a));
    NoteArrays notes;
    qint32 count = 0;
    float tempo = 120;
    benchmark::DoNotOptimize(ImportSmfTrack(b, 2, count, tempo, notes));
    QStringList texts;
    NoteArrays back;
    benchmark::DoNotOptimize(ReadSmfFile(tempo, texts, back, c));
}

void BM_ImportSong(benchmark::State& state) {
    const QByteArray data = song(int(state.range(0)));
    for (auto _ : state) readAll(data);
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * data.size());
}
BENCHMARK(BM_ImportSong)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_HostileFile(benchmark::State& state) {
    ScopedFakePorts ports;
    const HostileFile h = hostileFiles().at(state.range(0));
    state.SetLabel(h.what);
    for (auto _ : state) readAll(h.data);
}
BENCHMARK(BM_HostileFile)->DenseRange(0, int(hostileFiles().size()) - 1)->Unit(benchmark::kMillisecond);

// Notes of 2^27 ticks with a bend at each end: the pitch budget bounds the work, however many such
// notes the file holds.
void BM_FarApartBends(benchmark::State& state) {
    Track voice;
    for (int i = 0; i < state.range(0); ++i) voice.on(0, 60).bend(0, 0).bend(1 << 27, 4096).off(0, 60);
    const QByteArray data = file(1, 480, {conductor(500000), voice.end()});
    for (auto _ : state) readAll(data);
}
BENCHMARK(BM_FarApartBends)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
