// How fast the tools start and a 300-note song renders, for this build's tools and, side by side in the
// same run, for the tools of another program folder (an earlier build):
//
//   bench_render_speed [EARLIER_PROGRAM_FOLDER]
//
// - process start of `vorsa` and `catena` (no arguments: they print their usage and end) against
//   /bin/true, the median of 30 starts;
// - the 300-note song of 150 s on the batch road (render batch run by the folder's `batrun`), cold (no
//   cached notes; the bank's frequency tables exist) and warm (every note cached);
// - the same song on the library road with the folder's libraries, cold: the earlier folder's with the
//   notes one after the other as before, this build's with one note per core;
// - a re-render after one edited note on the library road, against the time to write the output file;
// - the peak memory of `catena` appending a one-hour piece.
// Each road's output is compared byte for byte between the two folders.

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
#include "render/ToolLibraries.h"
#include "song/Song.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using namespace tova;
using Clock = std::chrono::steady_clock;

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

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

double timed(const std::function<void()>& f) {
    const auto start = Clock::now();
    f();
    return seconds(Clock::now() - start);
}

struct Child {
    double wall = 0;
    long peakKb = 0;
    int status = 0;
};

// Starts a program with its arguments, output discarded, and waits for it.
Child spawnAndWait(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    Child child;
    const auto start = Clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        throw std::runtime_error("cannot start " + arguments[0]);
    rusage usage{};
    wait4(pid, &child.status, 0, &usage);
    child.wall = seconds(Clock::now() - start);
    child.peakKb = usage.ru_maxrss;
    posix_spawn_file_actions_destroy(&actions);
    return child;
}

double startTime(const std::string& program) {
    std::vector<double> times;
    for (int i = 0; i < 30; ++i) times.push_back(spawnAndWait({program}).wall);
    return median(times);
}

// The fixture bank and a 300-note song of 150 s over it: eighth notes at tempo 120 in a loop of the
// three syllables over a two-octave range, a rest every sixteenth note.
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
        TempFolder = dir.filePath(QStringLiteral("tmp"));
        QDir().mkpath(TempFolder);
        const QString bank = dir.filePath(QStringLiteral("bank"));
        test::WriteFixtureBank(bank);
        LoadOtoIni(bank);
        song.ProjectPath = dir.filePath(QStringLiteral("song.tvx"));
        song.ProjectName = QStringLiteral("bench");
        song.VoiceDir = bank;
        const char* lyrics[] = {"あ", "か", "い"};
        song.resizeNotes(300);
        for (int i = 0; i < 300; ++i) {
            song.Lyrics[i] = i % 16 == 15 ? QStringLiteral("R") : QString::fromUtf8(lyrics[i % 3]);
            song.Lengths[i] = 960;
            song.NoteNums[i] = 24 + (i * 5) % 24;
        }
        cache = dir.filePath(QStringLiteral("song.cache"));
        output = dir.filePath(QStringLiteral("song.wav"));
        settings().CacheEnable = true;
    }
    void use(const QString& folder) {
        ToolLibraries::instance().Unload();
        SystemPaths::setProgramFolder(folder);
        song.Tool1 = folder + QStringLiteral("/catena");
        song.Tool2 = folder + QStringLiteral("/vorsa");
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
    QByteArray outputBytes() const {
        QFile f(output);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

struct Figures {
    double vorsaStart = 0, catenaStart = 0;
    double batchCold = 0, batchWarm = 0, libraryCold = 0;
    long catenaHourKb = 0;
    QByteArray batchWave, libraryWave;
};

Figures measure(Fixture& f, const QString& folder, bool earlier) {
    Figures r;
    f.use(folder);
    const std::string tools = folder.toStdString();
    r.vorsaStart = startTime(tools + "/vorsa");
    r.catenaStart = startTime(tools + "/catena");

    std::vector<double> cold, warm, library;
    for (int i = 0; i < 3; ++i) {
        QDir(f.cache).removeRecursively();
        cold.push_back(timed([&] { f.renderBatch(); }));
        warm.push_back(timed([&] { f.renderBatch(); }));
    }
    r.batchCold = median(cold);
    r.batchWarm = median(warm);
    r.batchWave = f.outputBytes();

    // The earlier build rendered one note after the other.
    f.direct.SetWorkers(earlier ? 1 : 0);
    for (int i = 0; i < 3; ++i) {
        ToolLibraries::instance().Unload();  // a cold library: nothing kept from an earlier render
        QDir(f.cache).removeRecursively();
        library.push_back(timed([&] { f.renderLibrary(); }));
    }
    r.libraryCold = median(library);
    r.libraryWave = f.outputBytes();
    f.direct.SetWorkers(0);

    // One hour of a sample appended by the program.
    const QString hour = f.dir.filePath(QStringLiteral("hour.wav"));
    for (const QString& part : {hour + ".whd", hour + ".dat"}) QFile::remove(part);
    const Child c = spawnAndWait({tools + "/catena", hour.toStdString(),
                                  (f.song.VoiceDir + QStringLiteral("/a.wav")).toStdString(), "0", "3600000"});
    if (c.status != 0) throw std::runtime_error("catena failed on the one-hour piece");
    r.catenaHourKb = c.peakKb;
    for (const QString& part : {hour + ".whd", hour + ".dat"}) QFile::remove(part);
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString current = QStringLiteral(TOVA_PROGRAM_DIR);
    const QString earlier = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    try {
        Fixture f;
        // The bank's frequency tables are made once, as after a bank's first render.
        f.use(current);
        f.renderLibrary();

        const double trueStart = startTime("/bin/true");
        std::printf("cores: %u\n", std::max(1u, std::thread::hardware_concurrency()));
        std::printf("/bin/true start: %.2f ms\n", trueStart * 1e3);
        Figures before;
        if (!earlier.isEmpty()) before = measure(f, earlier, true);
        const Figures after = measure(f, current, false);

        auto row = [&](const char* what, double b, double a, const char* unit, double scale) {
            if (earlier.isEmpty())
                std::printf("%-34s %10.2f %s\n", what, a * scale, unit);
            else
                std::printf("%-34s %10.2f -> %10.2f %s  (%.2fx faster)\n", what, b * scale, a * scale, unit, b / a);
        };
        row("vorsa start", before.vorsaStart, after.vorsaStart, "ms", 1e3);
        row("catena start", before.catenaStart, after.catenaStart, "ms", 1e3);
        std::printf("%-34s %10.2f x and %.2f x of /bin/true\n", "vorsa and catena start now", after.vorsaStart / trueStart,
                    after.catenaStart / trueStart);
        row("batch road, 300 notes, cold", before.batchCold, after.batchCold, "s", 1);
        row("batch road, 300 notes, warm", before.batchWarm, after.batchWarm, "s", 1);
        row("library road, 300 notes, cold", before.libraryCold, after.libraryCold, "s", 1);
        std::printf("%-34s %10ld -> %10ld KB\n", "catena peak memory, 1-hour piece", before.catenaHourKb,
                    after.catenaHourKb);

        // A re-render after one edited note, against writing the output file once.
        f.use(current);
        f.renderLibrary();
        const QByteArray wave = f.outputBytes();
        std::vector<double> edits, writes;
        for (int i = 0; i < 7; ++i) {
            int k = (i * 37 + 5) % 300;
            if (f.song.Lyrics[k] == QStringLiteral("R")) ++k;
            f.song.NoteNums[k] += 1;
            edits.push_back(timed([&] { f.renderLibrary(); }));
            const QString copy = f.dir.filePath(QStringLiteral("written.wav"));
            writes.push_back(timed([&] {
                QFile out(copy);
                if (!out.open(QIODevice::WriteOnly) || out.write(wave) != wave.size())
                    throw std::runtime_error("cannot write the copy");
            }));
            QFile::remove(copy);
        }
        std::printf("%-34s %10.2f ms, writing the output once %.2f ms (%.2fx)\n", "re-render after one edit",
                    median(edits) * 1e3, median(writes) * 1e3, median(edits) / median(writes));
        if (!earlier.isEmpty())
            std::printf("same bytes before and after: batch road %s, library road %s, batch = library %s\n",
                        before.batchWave == after.batchWave ? "yes" : "NO",
                        before.libraryWave == after.libraryWave ? "yes" : "NO",
                        after.batchWave == after.libraryWave ? "yes" : "NO");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_render_speed: %s\n", e.what());
        return 1;
    }
    return 0;
}
