// Speed of the project file and of the undo history at large song sizes: opening and saving generated
// projects of 1,000 to 100,000 notes, and recording and undoing single-note edits in songs of growing
// size (an undo step should cost in proportion to the notes it touches, not to the song; with the
// recovery copy on, an edit at 100,000 notes should cost within three times one at 1,000).
#include "song/NoteExtension.h"
#include "song/OptionList.h"
#include "song/ProjectFile.h"
#include "song/Song.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace tova;

namespace {

// A song with the fields a real project carries: kana lyrics, timing, pitch data, flags and options.
void generate(Song& song, int count) {
    static const QStringList kana = {QStringLiteral("あ"), QStringLiteral("きゃ"), QStringLiteral("さ"),
                                     QStringLiteral("R"), QStringLiteral("ソ"), QStringLiteral("ん")};
    song.makeEmpty();
    song.resizeNotes(count);
    song.ProjectName = QStringLiteral("生成");
    song.VoiceDir = QStringLiteral("%VOICE%uta");
    for (int i = 0; i < count; ++i) {
        song.Lyrics[i] = kana[i % kana.size()];
        song.Lengths[i] = 480 * (1 + i % 4);
        song.NoteNums[i] = 24 + i % 40;
        QString ext = QStringLiteral("%1:%2:100\t100\t0\t-%3Q120 0 0 5 10 12 10 5 0 0\tg-5B40\t")
                          .arg(30 + i % 20)
                          .arg(5 + i % 7)
                          .arg(i % 50);
        SetNoteOption(ext, QStringLiteral("env"), QStringLiteral("0 5 35 0 100 100 0"));
        if (i % 16 == 0) SetNoteOption(ext, QStringLiteral("label"), QStringLiteral("区間 %1").arg(i));
        if (i % 64 == 0) SetNoteOption(ext, QStringLiteral("tempo"), QStringLiteral("132"));
        SetNoteOption(ext, QStringLiteral("PBS"), QStringLiteral("-40"));
        SetNoteOption(ext, QStringLiteral("PBW"), QStringLiteral("80"));
        song.NoteExt[i] = ext;
    }
    song.SelStart = song.SelEnd = count;
}

// Opens the project file at `path` once per iteration, counting state.range(0) items each time.
void timeOpening(benchmark::State& state, const QString& path) {
    for (auto _ : state) {
        NoteArrays notes;
        notes.makeEmpty();
        ProjectSettings s;
        qint32 index = 0;
        benchmark::DoNotOptimize(ReadProjectFile(path, s, index, notes));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_OpenProject(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.tvx"));
    {
        Song song;
        generate(song, int(state.range(0)));
        WriteProjectFile(path, song.projectSettings(), song);
    }
    timeOpening(state, path);
}
BENCHMARK(BM_OpenProject)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_SaveProject(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.tvx"));
    Song song;
    generate(song, int(state.range(0)));
    for (auto _ : state) WriteProjectFile(path, song.projectSettings(), song);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SaveProject)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Opening a project whose one note carries many option lines (distinct "@" keys, with a repeated
// known key among them): the time should grow in proportion to the lines, so 20,000 lines take about
// ten times as long as 2,000.
void BM_OpenOptionHeavyNote(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("options.tvx"));
    {
        Song song;
        generate(song, 1);
        OptionList options(NoteExtField(song.NoteExt[0], ExtOptions));
        for (int k = 0; k < state.range(0); ++k) {
            options.set(QStringLiteral("@opt%1").arg(k), QStringLiteral("value %1").arg(k));
            if (k % 100 == 0) options.set(QStringLiteral("PBW"), QString::number(k));
        }
        QStringList f = SplitNoteExt(song.NoteExt[0]);
        f[ExtOptions] = options.text();
        song.NoteExt[0] = JoinNoteExt(f);
        WriteProjectFile(path, song.projectSettings(), song);
    }
    timeOpening(state, path);
}
BENCHMARK(BM_OpenOptionHeavyNote)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

constexpr int Edits = 1000;

// One property edit of one note, recorded the way the editing commands record it.
void propEdit(Song& song, int k) {
    const qint32 i = (k * 7919) % song.noteCount();
    song.BeginPropUndo(i, i, QStringLiteral("プロパティ"));
    SetNoteOption(song.NoteExt[i], QStringLiteral("VBR"), QStringLiteral("65 180 %1 20 20 0 0 0").arg(k));
    song.EndPropUndo();
}

// Pushing 1,000 single-note edits (the recovery copy switched off: no temporary folder).
void BM_Push1000Edits(benchmark::State& state) {
    Song song;
    generate(song, int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        song.ResetUndoHistory();
        state.ResumeTiming();
        for (int k = 0; k < Edits; ++k) propEdit(song, k);
    }
    state.SetItemsProcessed(state.iterations() * Edits);
}
BENCHMARK(BM_Push1000Edits)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Undoing 1,000 single-note property edits.
void BM_Undo1000PropEdits(benchmark::State& state) {
    Song song;
    generate(song, int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        song.ResetUndoHistory();
        for (int k = 0; k < Edits; ++k) propEdit(song, k);
        state.ResumeTiming();
        for (int k = 0; k < Edits; ++k) song.Undo();
    }
    state.SetItemsProcessed(state.iterations() * Edits);
}
BENCHMARK(BM_Undo1000PropEdits)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Undoing and redoing 1,000 single-note deletions (each undo inserts a note, each redo removes it).
void BM_UndoRedo1000Deletions(benchmark::State& state) {
    Song song;
    generate(song, int(state.range(0)));
    song.ResetUndoHistory();
    for (int k = 0; k < Edits; ++k) {
        const qint32 i = (k * 7919) % song.noteCount();
        const QString undo = song.SerializeNote(QStringLiteral("INS"), i);
        song.RemoveNotes(i, i, false);
        song.PushUndoRecord(undo, QStringLiteral("DEL\t%1\t%1").arg(i), QStringLiteral("ノートの削除"));
    }
    for (auto _ : state) {
        for (int k = 0; k < Edits; ++k) song.Undo();
        for (int k = 0; k < Edits; ++k) song.Redo();
    }
    state.SetItemsProcessed(state.iterations() * Edits * 2);
}
BENCHMARK(BM_UndoRedo1000Deletions)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A generated song whose recovery copy is written to a temporary folder; the copy is complete when the
// benchmark ends.
struct SongWithRecoveryCopy {
    explicit SongWithRecoveryCopy(int count) {
        generate(song, count);
        song.TempFolder = dir.path();
    }
    ~SongWithRecoveryCopy() { song.WaitForRecoveryFile(); }
    QTemporaryDir dir;
    Song song;
};

// One property edit with the recovery copy on, as every edit of the program records it: the window's
// thread records the step and hands the song to the copy's writer thread. Back to back, so the writer
// is always busy: the song holds its changes back until a write ends, and its arrays detach from the
// snapshot the writer holds at most once a write.
void BM_EditWithRecoveryCopy(benchmark::State& state) {
    SongWithRecoveryCopy s(int(state.range(0)));
    Song& song = s.song;
    int k = 0;
    for (auto _ : state) {
        if (song.UndoPos >= Song::UndoCapacity) song.ResetUndoHistory();
        propEdit(song, k++);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EditWithRecoveryCopy)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// The same edit when the writer has finished the previous copy (edits at a person's pace).
void BM_EditWithRecoveryCopyWriterIdle(benchmark::State& state) {
    SongWithRecoveryCopy s(int(state.range(0)));
    Song& song = s.song;
    int k = 0;
    for (auto _ : state) {
        state.PauseTiming();
        song.WaitForRecoveryFile();
        if (song.UndoPos >= Song::UndoCapacity) song.ResetUndoHistory();
        state.ResumeTiming();
        propEdit(song, k++);
    }
    state.SetItemsProcessed(state.iterations());
}
// Each edit waits (untimed) for a whole write: a fixed number of edits keeps the run short.
BENCHMARK(BM_EditWithRecoveryCopyWriterIdle)->Arg(1000)->Arg(10000)->Arg(100000)->Iterations(40)->Unit(benchmark::kMicrosecond);

// Select all and transpose by a semitone, with the recovery copy on.
void BM_TransposeAllWithRecoveryCopy(benchmark::State& state) {
    SongWithRecoveryCopy s(int(state.range(0)));
    Song& song = s.song;
    int k = 0;
    for (auto _ : state) {
        if (song.UndoPos >= Song::UndoCapacity) song.ResetUndoHistory();
        song.SelStart = 0;
        song.SelEnd = song.noteCount();
        song.ChangeNoteKeys(k++ % 2 ? -1 : 1, false);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TransposeAllWithRecoveryCopy)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
