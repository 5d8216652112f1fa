// Rendering a generated 200-note song: the whole song on the batch road (render batch run by the batch
// runner, one tool process per step) and on the library road (the tools' libraries in process), and a
// re-render on the library road with the render cache after one note was changed.

#include "render/RenderFixtures.h"  // tests/render

#include "core/Processes.h"
#include "core/Settings.h"
#include "platform/FakePorts.h"
#include "platform/SystemPaths.h"
#include "render/DirectRenderer.h"
#include "render/OtoIni.h"
#include "render/RenderBatchFiles.h"
#include "render/RenderCommands.h"
#include "render/RenderProgress.h"
#include "render/RenderWindow.h"
#include "song/Song.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <stdexcept>

namespace {

using namespace tova;

class QuietProgress : public RenderProgress {
public:
    void Start(int, int, int, bool) override {}
    void SetStatus(const QString&, int) override {}
    void SetStatusText(const QString&) override {}
    void SetMaximum(int) override {}
    void SetValue(int) override {}
    void Restart() override {}
    void SlideIn() override {}
    bool IsVisible() const override { return false; }
    void Finish() override {}
};

class QuietWindow : public RenderWindow {
public:
    void SetWindowEnabled(bool) override {}
    void SetRenderControlsEnabled(bool) override {}
    void DrawBackground() override {}
    void DrawNotes() override {}
    void ScrollToTick(qint32&, double) override {}
    void HidePlayCursor() override {}
    void FocusRoll() override {}
    void SetMidiNoteTimerEnabled(bool) override {}
    void SetMissingSampleMark(qint32, bool) override {}
    void ShowRunningWindow() override {}
    void UnloadRunningWindow() override {}
    RenderProgress& Progress() override { return progress; }
    QuietProgress progress;
};

// The fixture bank and a 200-note song over it: eighth notes at tempo 120 in a loop of the three
// syllables over a two-octave range, a rest every sixteenth note.
struct Fixture {
    QTemporaryDir dir;
    Song song;
    QuietWindow window;
    ScopedFakePorts ports;
    RenderBatchFiles writer{song, &window};
    DirectRenderer direct{song, window};
    RenderCommands commands{song, window, writer, direct};
    QString cache;
    QString output;

    Fixture() {
        SystemPaths::setProgramFolder(QStringLiteral(TOVA_PROGRAM_DIR));
        TempFolder = dir.filePath(QStringLiteral("tmp"));
        QDir().mkpath(TempFolder);
        const QString bank = dir.filePath(QStringLiteral("bank"));
        test::WriteFixtureBank(bank);
        LoadOtoIni(bank);
        song.ProjectPath = dir.filePath(QStringLiteral("song.tvx"));
        song.ProjectName = QStringLiteral("bench");
        song.VoiceDir = bank;
        song.Tool1 = SystemPaths::programFolder() + QStringLiteral("/catena");
        song.Tool2 = SystemPaths::programFolder() + QStringLiteral("/vorsa");
        const char* lyrics[] = {"あ", "か", "い"};
        song.resizeNotes(200);
        for (int i = 0; i < 200; ++i) {
            song.Lyrics[i] = i % 16 == 15 ? QStringLiteral("R") : QString::fromUtf8(lyrics[i % 3]);
            song.Lengths[i] = 960;
            song.NoteNums[i] = 24 + (i * 5) % 24;
        }
        cache = dir.filePath(QStringLiteral("song.cache"));
        output = dir.filePath(QStringLiteral("song.wav"));
        settings().CacheEnable = true;
        if (!QFile::exists(SystemPaths::programFolder() + QStringLiteral("/batrun")))
            throw std::runtime_error("the program folder has no batch runner");
        // The bank's frequency tables are made once, as after a bank's first render.
        renderLibrary();
        QDir(cache).removeRecursively();
    }
    void renderLibrary() {
        settings().UseDLL = true;
        QString out = output;
        direct.RenderDirect(song.ProjectName, song.ProjectPath, 0, song.noteCount() - 1, out);
    }
    void renderBatch() {
        settings().UseDLL = false;
        settings().NonBatchMode = false;
        QString path = song.ProjectPath;
        song.OutFile = output;
        writer.GetRenderFileNames(path);
        if (!commands.RunBatchAndWait(path, output)) throw std::runtime_error("the batch made no wave");
    }
};

Fixture& fixture() {
    // The tools are awaited with window events handled: the benchmark runs under an application object.
    static int argc = 1;
    static char name[] = "bench_render";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    Q_UNUSED(app);
    static Fixture f;
    return f;
}

void BM_FullRenderBatchRoad(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        state.PauseTiming();
        QDir(f.cache).removeRecursively();
        state.ResumeTiming();
        f.renderBatch();
    }
}
BENCHMARK(BM_FullRenderBatchRoad)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FullRenderLibraryRoad(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        state.PauseTiming();
        QDir(f.cache).removeRecursively();
        state.ResumeTiming();
        f.renderLibrary();
    }
}
BENCHMARK(BM_FullRenderLibraryRoad)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_CachedRerenderAfterOneEdit(benchmark::State& state) {
    Fixture& f = fixture();
    QDir(f.cache).removeRecursively();
    f.renderLibrary();
    int k = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // One note moves a semitone: only it is rendered again.
        k = (k + 37) % 200;
        if (f.song.Lyrics[k] == QStringLiteral("R")) ++k;
        f.song.NoteNums[k] += 1;
        state.ResumeTiming();
        f.renderLibrary();
    }
}
BENCHMARK(BM_CachedRerenderAfterOneEdit)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

