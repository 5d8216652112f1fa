// The editing commands over a 10,000-note selection: copy, paste, transpose and quantise, each recorded
// as one undo step, and the undo of that step.
#include "FakeEditContext.h"
#include "commands/ClipboardCommands.h"
#include "commands/MoveCommands.h"
#include "platform/FakePorts.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <functional>

using namespace tova;

namespace {

constexpr qint32 kNotes = 10000;

// A song of sung notes with lengths off a 480-tick grid and a full extension string, all selected.
void makeSong(FakeEditContext& c) {
    Song& s = c.s;
    s.Lengths.clear();
    s.NoteNums.clear();
    s.NoteExt.clear();
    s.Lyrics.clear();
    s.ResetUndoHistory();
    for (qint32 i = 0; i < kNotes; ++i) {
        s.Lengths << 470 + (i % 7) * 5;
        s.Lyrics << (i % 5 == 4 ? QStringLiteral("R") : QStringLiteral("あ"));
        s.NoteNums << 30 + i % 24;
        s.NoteExt << QStringLiteral("30:10:100\t100\t0\t\tB50g-5\tPBS=-40\\nPBW=80 200\\nPBY=0 -5\\nVBR=65,180,35,20,20,0,0\\nenv=0 5 35 0 100 100 0");
    }
    c.setSelection(0, kNotes - 1);
}

struct Rig {
    ScopedFakePorts ports;
    FakeEditContext c;
    Rig() { makeSong(c); }
};

// Times `command` on a fresh selected song.
void timeCommand(benchmark::State& state, const std::function<void(Rig&)>& prepare, void (*command)(EditContext&)) {
    Rig rig;
    for (auto _ : state) {
        state.PauseTiming();
        makeSong(rig.c);
        if (prepare) prepare(rig);
        state.ResumeTiming();
        command(rig.c);
    }
    if (rig.c.s.UndoPos != 1 && command != &mnCopy_Click) state.SkipWithError("not one undo step");
}

// Times the undo of the step `command` records.
void timeUndo(benchmark::State& state, const std::function<void(Rig&)>& prepare, void (*command)(EditContext&)) {
    Rig rig;
    for (auto _ : state) {
        state.PauseTiming();
        makeSong(rig.c);
        if (prepare) prepare(rig);
        command(rig.c);
        state.ResumeTiming();
        if (!rig.c.s.Undo()) state.SkipWithError("undo failed");
    }
}

void copyFirst(Rig& rig) {
    mnCopy_Click(rig.c);
    rig.c.setSelection(kNotes / 2, kNotes / 2);
}

void answer120(Rig& rig) { rig.ports.inputBox.answers.enqueue({true, QStringLiteral("120")}); }

void BM_Copy(benchmark::State& state) { timeCommand(state, {}, mnCopy_Click); }
void BM_Paste(benchmark::State& state) { timeCommand(state, copyFirst, mnPaste_Click); }
void BM_PasteUndo(benchmark::State& state) { timeUndo(state, copyFirst, mnPaste_Click); }
void BM_Transpose(benchmark::State& state) { timeCommand(state, {}, mnMoveUp_Click); }
void BM_TransposeUndo(benchmark::State& state) { timeUndo(state, {}, mnMoveUp_Click); }
void BM_Quantise(benchmark::State& state) { timeCommand(state, answer120, mnQuontize_Click); }
void BM_QuantiseUndo(benchmark::State& state) { timeUndo(state, answer120, mnQuontize_Click); }

BENCHMARK(BM_Copy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paste)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PasteUndo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Transpose)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TransposeUndo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Quantise)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuantiseUndo)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
