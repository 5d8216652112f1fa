// The crossfade optimisation over a 500-note song whose every note has its rendering in the cache:
// the whole command (one undo step), reported as time per note.
#include "FakeEditContext.h"
#include "commands/CrossFadeCommands.h"
#include "core/NoteNames.h"
#include "platform/FakePorts.h"
#include "render/RenderCache.h"
#include "song/NoteExtension.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

using namespace tova;

namespace {

constexpr qint32 kNotes = 500;
// A rendering of a 500 ms note with its pre-utterance: 27,000 samples at 44,100 Hz.
constexpr qint32 kSamples = 27000;

// A mono 16-bit wave of deterministic noise.
QByteArray noiseWave(quint32 seed) {
    QByteArray data(kSamples * 2, Qt::Uninitialized);
    for (qint32 k = 0; k < kSamples; ++k) {
        seed = seed * 1103515245u + 12345u;
        const qint16 v = qint16(int((seed >> 16) & 0x7fff) - 16384);
        data[2 * k] = char(v & 0xff);
        data[2 * k + 1] = char((v >> 8) & 0xff);
    }
    auto u32 = [](quint32 v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [](quint16 v) { return QByteArray(reinterpret_cast<const char*>(&v), 2); };
    return "RIFF" + u32(36 + quint32(data.size())) + "WAVEfmt " + u32(16) + u16(1) + u16(1) + u32(44100) +
           u32(88200) + u16(2) + u16(16) + "data" + u32(quint32(data.size())) + data;
}

void makeSong(FakeEditContext& c, const QString& cacheDir) {
    Song& s = c.s;
    s.Lengths.clear();
    s.NoteNums.clear();
    s.NoteExt.clear();
    s.Lyrics.clear();
    s.ResetUndoHistory();
    for (qint32 i = 0; i < kNotes; ++i) {
        s.Lengths << 1920;
        s.Lyrics << QStringLiteral("y");
        s.NoteNums << 40 + i % 12;
        s.NoteExt << QStringLiteral("50:20:\t100\t0\t\t\tenv=0 5 35 0 100 100 0");
    }
    s.CacheDir = cacheDir;
    c.setSelection(0, kNotes - 1);
}

void BM_CrossFadeOptimisation500Notes(benchmark::State& state) {
    ScopedFakePorts ports;
    QTemporaryDir dir;
    for (qint32 i = 0; i < kNotes; ++i) {
        QFile f(dir.filePath(QString::number(i) + QStringLiteral("_y_") + NoteNumToName(40 + i % 12) +
                             QStringLiteral("_600_0.wav")));
        if (!f.open(QIODevice::WriteOnly) || f.write(noiseWave(quint32(i) * 7919u + 1u)) <= 0) {
            state.SkipWithError("cannot write the cache");
            return;
        }
    }
    FakeEditContext c;
    RenderCache cache;
    c.cacheInUse = &cache;
    for (auto _ : state) {
        state.PauseTiming();
        makeSong(c, dir.path());
        ports.messageBox.answers.enqueue(MsgResult::No);  // keep the cache for the next run
        state.ResumeTiming();
        cmdCorrectCrossFade_Click(c);
    }
    if (c.s.UndoPos != 1) state.SkipWithError("no undo step: the renderings were not found");
    // Every note but the first is optimised against its predecessor.
    state.counters["per_note"] =
        benchmark::Counter(kNotes - 1, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_CrossFadeOptimisation500Notes)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
