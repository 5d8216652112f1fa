// Export -> import of whole songs: the plain MIDI export read back by the MIDI reader, and the VSQ
// export read back by the VSQ reader (files in memory, each read through the readers' device entry),
// and the damaged VSQ files of the tests (each must end quickly in the format failure).
#include "exchange/midi/SmfReader.h"
#include "exchange/midi/SmfWriter.h"
#include "exchange/vsq/VsqReader.h"
#include "exchange/vsq/VsqWriter.h"
#include "platform/FakePorts.h"
#include "SmfFixtures.h"
#include "VsqHostileFiles.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

using namespace tova;
using namespace tova::test::smf;

namespace {

// Notes with lyrics, a rest every eighth note, a tempo change every hundredth and mode-2 pitch data.
NoteArrays song(int count) {
    static const QString kana[] = {QStringLiteral("さ"), QStringLiteral("く"), QStringLiteral("ら"),
                                   QStringLiteral("?か"), QStringLiteral("ん")};
    NoteArrays n;
    n.resizeNotes(count);
    for (int i = 0; i < count; ++i) {
        const bool rest = i % 8 == 7;
        n.Lyrics[i] = rest ? QStringLiteral("R") : kana[i % 5];
        n.Lengths[i] = 480 * (1 + i % 4);
        n.NoteNums[i] = 30 + i % 24;
        QString ext = QStringLiteral("\t100\t\t0Q120 5 10 15 20 15 10 5 0\t\t");
        if (i % 100 == 0) ext += QStringLiteral("tempo=") + QString::number(100 + i % 60);
        n.NoteExt[i] = ext;
    }
    return n;
}

void requireSameNotes(qint32 read, qint32 atLeast, benchmark::State& state) {
    if (read < atLeast) state.SkipWithError("the song did not come back");
}

void BM_SmfExportImport(benchmark::State& state) {
    const NoteArrays notes = song(int(state.range(0)));
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray data = SmfFileBytes(120.0f, {QStringLiteral("@rem project=bench")}, notes, QString(), {});
        Bytes in(data);
        float tempo = 0;
        QStringList texts;
        NoteArrays back;
        // A closing rest is not written: the song comes back without it.
        requireSameNotes(ReadSmfFile(tempo, texts, back, in), notes.noteCount() - 1, state);
        bytes = data.size();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["file_bytes"] = double(bytes);
}
BENCHMARK(BM_SmfExportImport)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_VsqExportImport(benchmark::State& state) {
    const NoteArrays notes = song(int(state.range(0)));
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray data = VsqFileBytes(120.0f, notes);
        Bytes in(data);
        float tempo = 120;
        qint16 track = 2;
        NoteArrays back;
        requireSameNotes(ReadVsqFile(in, tempo, back, track), notes.noteCount() * 7 / 8, state);
        bytes = data.size();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["file_bytes"] = double(bytes);
}
BENCHMARK(BM_VsqExportImport)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_HostileVsq(benchmark::State& state) {
    ScopedFakePorts ports;
    const HostileVsq h = hostileVsqFiles().at(state.range(0));
    state.SetLabel(h.what);
    for (auto _ : state) {
        Bytes in(h.data);
        float tempo = 120;
        qint16 track = 2;
        NoteArrays notes;
        if (ReadVsqFile(in, tempo, notes, track) > 0) state.SkipWithError("a damaged file was read");
    }
}
BENCHMARK(BM_HostileVsq)->DenseRange(0, int(hostileVsqFiles().size()) - 1)->Unit(benchmark::kMillisecond);

}  // namespace
