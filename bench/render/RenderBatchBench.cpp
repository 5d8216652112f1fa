// Writing the render batch of a long song: every note's timing, sample lookup and lines, with the cache
// names on; and the same with the mode-2 pitch curves computed while writing.
#include "core/Processes.h"
#include "core/Settings.h"
#include "platform/Cp932.h"
#include "render/OtoIni.h"
#include "render/RenderBatch.h"
#include "song/Song.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace tova;

namespace {

const QString kKana = QStringLiteral("あいうえおかきくけこさしすせそたちつてとなにぬねの");

// A bank of one sample per kana (tiny files; the writer only tests that they exist) with its oto.ini,
// and a song of `count` notes over it: every eighth note a rest, tempo changes, flags, envelopes,
// velocities and an "@" option here and there, plain pitch data on the others.
struct GeneratedSong {
    QTemporaryDir dir;
    Song song;

    explicit GeneratedSong(int count) {
        const QString bank = dir.path() + QStringLiteral("/bank");
        QDir().mkpath(bank);
        QString oto;
        for (int k = 0; k < kKana.size(); ++k) {
            const QString file = QStringLiteral("s%1.wav").arg(k);
            QFile f(bank + u'/' + file);
            if (f.open(QIODevice::WriteOnly)) f.write("RIFF");
            oto += QStringLiteral("%1=%2,%3,80,-150,%4,%5\r\n").arg(file).arg(kKana[k]).arg(10 + k).arg(40 + k % 30).arg(10 + k % 15);
        }
        {
            QFile o(bank + QStringLiteral("/oto.ini"));
            if (o.open(QIODevice::WriteOnly)) o.write(Cp932::encode(oto));
        }
        LoadOtoIni(bank);

        song.ProjectName = QStringLiteral("bench");
        song.ProjectPath = dir.path() + QStringLiteral("/bench.tvx");
        song.VoiceDir = bank;
        song.CacheDir = dir.path() + QStringLiteral("/bench.cache");
        song.Tool1 = QStringLiteral("catena");
        song.Tool2 = QStringLiteral("vorsa");
        song.ProjectFlags = QStringLiteral("g-3");
        song.resizeNotes(count);
        for (int i = 0; i < count; ++i) {
            song.Lengths[i] = 480 * (1 + i % 4);
            song.NoteNums[i] = 30 + i % 24;
            if (i % 8 == 7) {
                song.Lyrics[i] = QStringLiteral("R");
                continue;
            }
            song.Lyrics[i] = kKana[i % kKana.size()];
            QString options = QStringLiteral("PBS=-40\\nPBW=80 40\\nPBY=0 -5\\nVBR=65 180 35 20 20 0 0 20");
            if (i % 50 == 0) options += QStringLiteral("\\ntempo=%1").arg(100 + i % 7 * 10);
            if (i % 3 == 0) options += QStringLiteral("\\nenv=0 10 30 0 100 90 0");
            if (i % 17 == 0) options += QStringLiteral("\\n@mark=%1").arg(i);
            song.NoteExt[i] = QStringLiteral("::%1\t100\t0\t0Q120 %2 %2 %2 0 0\t%3\t%4")
                                  .arg(i % 5 == 0 ? 150 : 100)
                                  .arg(i % 9)
                                  .arg(i % 4 == 0 ? QStringLiteral("B50E") : QString())
                                  .arg(options);
        }
    }
};

void writeBatch(benchmark::State& state, bool mode2) {
    GeneratedSong generated(int(state.range(0)));
    settings().CacheEnable = true;
    settings().OldTime = false;
    settings().Mode2 = mode2;
    TempFolder = generated.dir.path();
    const QString batch = generated.dir.path() + QStringLiteral("/temp.bat");
    for (auto _ : state) {
        state.PauseTiming();
        Song song = generated.song;  // the writer consumes the notes' pitch and expression options
        song.Mode2 = mode2;
        QString output = QStringLiteral("bench.wav");
        state.ResumeTiming();
        WriteRenderBatch(song, song.ProjectName, batch, 0, song.lastNote(), output);
    }
    state.counters["bytes"] = double(QFile(batch).size());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_WriteRenderBatch(benchmark::State& state) { writeBatch(state, false); }
BENCHMARK(BM_WriteRenderBatch)->Arg(2000)->Unit(benchmark::kMillisecond);

void BM_WriteRenderBatchMode2(benchmark::State& state) { writeBatch(state, true); }
BENCHMARK(BM_WriteRenderBatchMode2)->Arg(2000)->Unit(benchmark::kMillisecond);

// Mode-2 pitch preparation of a small file that asks for the most: 64 notes of the longest length a
// project file holds, each with points and a vibrato. What is computed is bounded by what the render can
// use; run under /usr/bin/time -v for the peak memory.
void BM_WriteRenderBatchMode2LongestNotes(benchmark::State& state) {
    GeneratedSong generated(64);
    settings().CacheEnable = true;
    settings().OldTime = false;
    settings().Mode2 = true;
    TempFolder = generated.dir.path();
    for (int i = 0; i < 64; ++i) {
        generated.song.Lengths[i] = 3455999 * 4;
        generated.song.Lyrics[i] = kKana[i % kKana.size()];
        generated.song.NoteExt[i] =
            QStringLiteral("\t\t\t\t\tPBS=-40\\nPBW=80 40 200 300\\nPBY=0 -5 10 0\\nVBR=65 180 35 20 20 0 0 20");
    }
    const QString batch = generated.dir.path() + QStringLiteral("/temp.bat");
    for (auto _ : state) {
        state.PauseTiming();
        Song song = generated.song;
        song.Mode2 = true;
        QString output = QStringLiteral("bench.wav");
        state.ResumeTiming();
        WriteRenderBatch(song, song.ProjectName, batch, 0, song.lastNote(), output);
    }
    state.counters["bytes"] = double(QFile(batch).size());
}
BENCHMARK(BM_WriteRenderBatchMode2LongestNotes)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
