// How fast the tools start and a 300-note song renders, for this build's tools and, side by side in the
// same run, for the tools of another program folder (an earlier build):
//
//   bench_render_speed [EARLIER_PROGRAM_FOLDER [ROUNDS [LENGTHS]]]
//
// (EARLIER_PROGRAM_FOLDER may be "-" for none; LENGTHS is a comma-separated list of song lengths in
// notes, by default "300,3000,10000", "0" leaving that part out; a LENGTHS that ends in "/library"
// measures the library road alone there, and ROUNDS "0" leaves out everything but that part.)
//
// - process start of `vorsa`, `catena` and `batrun` (no arguments: they print their usage and end)
//   against /bin/true, the median of 30 starts;
// - the 300-note song of 150 s on the batch road (render batch run by the folder's `batrun`), cold (no
//   cached notes; the bank's frequency tables exist) and warm (every note cached);
// - the same song on the library road with the folder's libraries, cold (the libraries loaded afresh,
//   nothing kept from an earlier render), and on the program road (the tool programs one command line at
//   a time), cold: the earlier folder's with the notes one after the other as the editor rendered them
//   then, this build's one note per core;
// - every road measured in paired rounds (both folders in each round, taking turns at going first), the
//   figures being the medians of the rounds;
// - a re-render after one edited note on the library road, against the time to write the output file;
// - the peak memory of `catena` appending a one-hour piece;
// - the time per note against the song's length (LENGTHS) on the library and batch roads, cold, this
//   build's tools: a render that stays linear in the song's length keeps it flat.
// Each road's output is compared byte for byte between the two folders.

#include "SongRenderFixture.h"

#include <QCoreApplication>
#include <QSaveFile>

#include <dlfcn.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <utility>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using namespace tova;
using Clock = std::chrono::steady_clock;

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

// Median start times of programs, their starts interleaved so that a busy machine weighs on all alike.
std::vector<double> startTimes(const std::vector<std::string>& programs) {
    std::vector<std::vector<double>> times(programs.size());
    for (int i = 0; i < 30; ++i)
        for (std::size_t p = 0; p < programs.size(); ++p) times[p].push_back(spawnAndWait({programs[p]}).wall);
    std::vector<double> medians;
    for (const auto& t : times) medians.push_back(median(t));
    return medians;
}

// The 300-note song of 150 s.
using Fixture = bench::SongRenderFixture;

struct Figures {
    double vorsaStart = 0, catenaStart = 0, batrunStart = 0;
    double batchCold = 0, batchWarm = 0, libraryCold = 0, programCold = 0;
    long catenaHourKb = 0;
    QByteArray batchWave, libraryWave, programWave;
};

struct Samples {
    std::vector<double> batchCold, batchWarm, libraryCold, programCold;
};

// Whether a library is still in the process after the tools were unloaded (a cold round would then
// start with what an earlier round kept).
bool stillLoaded(const QString& folder) {
    const QString path = ToolLibraries::FindVorsaLibrary(folder);
    void* handle = path.isEmpty() ? nullptr : dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_NOLOAD);
    if (handle) dlclose(handle);
    return handle != nullptr;
}

// One run of every road on a program folder's tools. The earlier build rendered the notes of the library
// and program roads one after the other; this one renders them side by side.
void runRoads(Fixture& f, const QString& folder, bool earlier, Samples& s, Figures& r) {
    f.use(folder);
    QDir(f.cache).removeRecursively();
    s.batchCold.push_back(timed([&] { f.renderBatch(); }));
    s.batchWarm.push_back(timed([&] { f.renderBatch(); }));
    r.batchWave = f.outputBytes();

    f.direct.SetWorkers(earlier ? 1 : 0);
    ToolLibraries::instance().Unload();  // a cold library: nothing kept from an earlier render
    if (stillLoaded(folder)) throw std::runtime_error("the note renderer library stays loaded: no cold round");
    QDir(f.cache).removeRecursively();
    s.libraryCold.push_back(timed([&] { f.renderLibrary(); }));
    r.libraryWave = f.outputBytes();

    f.direct.SetWorkers(earlier ? 1 : 0);
    QDir(f.cache).removeRecursively();
    s.programCold.push_back(timed([&] { f.renderPrograms(); }));
    r.programWave = f.outputBytes();
    f.direct.SetWorkers(0);
}

// The peak memory of the concatenator appending one hour of a sample.
long catenaHourKb(Fixture& f, const QString& folder) {
    const QString hour = f.dir.filePath(QStringLiteral("hour.wav"));
    for (const QString& part : {hour + ".whd", hour + ".dat"}) QFile::remove(part);
    const Child c = spawnAndWait({folder.toStdString() + "/catena", hour.toStdString(),
                                  (f.song.VoiceDir + QStringLiteral("/a.wav")).toStdString(), "0", "3600000"});
    if (c.status != 0) throw std::runtime_error("catena failed on the one-hour piece");
    for (const QString& part : {hour + ".whd", hour + ".dat"}) QFile::remove(part);
    return c.peakKb;
}

// Paired runs: each round renders every road with both folders, the one that goes first taking turns,
// so that a busy machine weighs on both alike. Medians of the rounds.
void measure(Fixture& f, const QString& earlier, const QString& current, int rounds, Figures& before, Figures& after) {
    Samples b, a;
    for (int i = 0; i < rounds; ++i) {
        if (earlier.isEmpty()) {
            runRoads(f, current, false, a, after);
            continue;
        }
        if (i % 2 == 0) {
            runRoads(f, earlier, true, b, before);
            runRoads(f, current, false, a, after);
        } else {
            runRoads(f, current, false, a, after);
            runRoads(f, earlier, true, b, before);
        }
    }
    for (auto [samples, figures] : {std::pair{&b, &before}, std::pair{&a, &after}}) {
        figures->batchCold = median(samples->batchCold);
        figures->batchWarm = median(samples->batchWarm);
        figures->libraryCold = median(samples->libraryCold);
        figures->programCold = median(samples->programCold);
    }
    if (!earlier.isEmpty()) before.catenaHourKb = catenaHourKb(f, earlier);
    after.catenaHourKb = catenaHourKb(f, current);
}

// Cold renders of songs of several lengths on the library and batch roads, in paired rounds (the road
// that goes first taking turns): seconds per note, medians of the rounds.
struct LengthFigures {
    int notes = 0;
    double libraryPerNote = 0, batchPerNote = 0;
    bool sameBytes = false;
};

LengthFigures perNote(int notes, const QString& folder, int rounds, bool libraryOnly) {
    Fixture f(notes, folder);
    f.renderLibrary();  // the bank's frequency tables, as after a bank's first render
    std::vector<double> library, batch;
    QByteArray libraryWave, batchWave;
    auto libraryRound = [&] {
        ToolLibraries::instance().Unload();
        QDir(f.cache).removeRecursively();
        library.push_back(timed([&] { f.renderLibrary(); }) / notes);
        libraryWave = f.outputBytes();
    };
    auto batchRound = [&] {
        QDir(f.cache).removeRecursively();
        if (libraryOnly) return;
        batch.push_back(timed([&] { f.renderBatch(); }) / notes);
        batchWave = f.outputBytes();
    };
    for (int i = 0; i < rounds; ++i) {
        if (i % 2 == 0) {
            libraryRound();
            batchRound();
        } else {
            batchRound();
            libraryRound();
        }
    }
    return {notes, median(library), libraryOnly ? 0.0 : median(batch),
            !libraryWave.isEmpty() && (libraryOnly || libraryWave == batchWave)};
}

// The machine's load (1, 5 and 15 minutes), for the figures' note: other work shares the cores.
std::string loadAverage() {
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? f.readLine().toStdString() : std::string("unknown\n");
}

std::vector<int> lengthsFrom(const char* text) {
    std::vector<int> out;
    for (const QString& part : QString::fromLatin1(text).split(u',', Qt::SkipEmptyParts))
        if (part.toInt() > 0) out.push_back(part.toInt());
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString current = QStringLiteral(TOVA_PROGRAM_DIR);
    QString earlier = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (earlier == QStringLiteral("-")) earlier.clear();
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const QString lengthText = QString::fromLatin1(argc > 3 ? argv[3] : "300,3000,10000");
    const bool libraryOnly = lengthText.endsWith(QStringLiteral("/library"));
    const std::vector<int> lengths = lengthsFrom(lengthText.section(u'/', 0, 0).toLatin1().constData());
    const bool lengthsAlone = argc > 2 && std::atoi(argv[2]) == 0;
    try {
        std::printf("load average at the start: %s", loadAverage().c_str());
        if (!lengthsAlone) {
            Fixture f(300, current);
            // The bank's frequency tables are made once, as after a bank's first render.
            f.renderLibrary();

            std::printf("cores: %u; load average at the start: %s", std::max(1u, std::thread::hardware_concurrency()),
                    loadAverage().c_str());
            Figures before, after;
            measure(f, earlier, current, rounds, before, after);
            const std::string now = current.toStdString(), then = earlier.toStdString();
            std::vector<std::string> programs{"/bin/true", now + "/vorsa", now + "/catena", now + "/batrun"};
            if (!earlier.isEmpty()) programs.insert(programs.end(), {then + "/vorsa", then + "/catena", then + "/batrun"});
            const std::vector<double> starts = startTimes(programs);
            const double trueStart = starts[0];
            after.vorsaStart = starts[1];
            after.catenaStart = starts[2];
            after.batrunStart = starts[3];
            if (!earlier.isEmpty()) {
                before.vorsaStart = starts[4];
                before.catenaStart = starts[5];
                before.batrunStart = starts[6];
            }
            std::printf("/bin/true start: %.2f ms\n", trueStart * 1e3);

            auto row = [&](const char* what, double b, double a, const char* unit, double scale) {
                if (earlier.isEmpty())
                    std::printf("%-34s %10.2f %s\n", what, a * scale, unit);
                else
                    std::printf("%-34s %10.2f -> %10.2f %s  (%.2fx faster)\n", what, b * scale, a * scale, unit, b / a);
            };
            row("vorsa start", before.vorsaStart, after.vorsaStart, "ms", 1e3);
            row("catena start", before.catenaStart, after.catenaStart, "ms", 1e3);
            row("batrun start", before.batrunStart, after.batrunStart, "ms", 1e3);
            std::printf("%-34s %.2f x, %.2f x and %.2f x of /bin/true\n", "vorsa, catena, batrun start now",
                        after.vorsaStart / trueStart, after.catenaStart / trueStart, after.batrunStart / trueStart);
            row("batch road, 300 notes, cold", before.batchCold, after.batchCold, "s", 1);
            row("batch road, 300 notes, warm", before.batchWarm, after.batchWarm, "s", 1);
            row("library road, 300 notes, cold", before.libraryCold, after.libraryCold, "s", 1);
            row("program road, 300 notes, cold", before.programCold, after.programCold, "s", 1);
            std::printf("%-34s %.2f x the library road (within 3x: %s); program road %.2f x the batch road (no "
                        "slower: %s)\n",
                        "batch road, 300 notes, cold, now", after.batchCold / after.libraryCold,
                        after.batchCold <= 3 * after.libraryCold ? "yes" : "NO", after.programCold / after.batchCold,
                        after.programCold <= after.batchCold ? "yes" : "NO");
            std::printf("%-34s %10ld -> %10ld KB\n", "catena peak memory, 1-hour piece", before.catenaHourKb,
                        after.catenaHourKb);

            // A re-render after one edited note, against writing the output file once.
            f.use(current);
            f.renderLibrary();
            const QByteArray wave = f.outputBytes();
            // Writing the output once: as the concatenator joins it (a whole new file put in place, synced
            // to disk), and for reference as plain bytes into the page cache.
            std::vector<double> edits, writes, plainWrites;
            const QString copy = f.dir.filePath(QStringLiteral("written.wav"));
            for (int i = 0; i < 7; ++i) {
                int k = (i * 37 + 5) % 300;
                if (f.song.Lyrics[k] == QStringLiteral("R")) ++k;
                f.song.NoteNums[k] += 1;
                edits.push_back(timed([&] { f.renderLibrary(); }));
                writes.push_back(timed([&] {
                    QSaveFile out(copy);
                    if (!out.open(QIODevice::WriteOnly) || out.write(wave) != wave.size() || !out.commit())
                        throw std::runtime_error("cannot write the copy");
                }));
                QFile::remove(copy);
                plainWrites.push_back(timed([&] {
                    QFile out(copy);
                    if (!out.open(QIODevice::WriteOnly) || out.write(wave) != wave.size())
                        throw std::runtime_error("cannot write the copy");
                }));
                QFile::remove(copy);
            }
            std::printf("%-34s %10.2f ms; writing the output once %.2f ms as joined (%.2fx), %.2f ms unsynced (%.2fx)\n",
                        "re-render after one edit", median(edits) * 1e3, median(writes) * 1e3,
                        median(edits) / median(writes), median(plainWrites) * 1e3, median(edits) / median(plainWrites));
            if (!earlier.isEmpty())
                std::printf("same bytes before and after: batch road %s, library road %s, program road %s; "
                            "batch = library = program %s\n",
                            before.batchWave == after.batchWave ? "yes" : "NO",
                            before.libraryWave == after.libraryWave ? "yes" : "NO",
                            before.programWave == after.programWave ? "yes" : "NO",
                            after.batchWave == after.libraryWave && after.libraryWave == after.programWave ? "yes" : "NO");
        }

        // Time per note against the song's length, this build's tools. Fewer rounds for the longest
        // songs: each is minutes of work on a shared machine.
        std::vector<LengthFigures> byLength;
        for (const int notes : lengths) {
            byLength.push_back(perNote(notes, current, notes > 3000 ? std::min(rounds, 3) : rounds, libraryOnly));
            const LengthFigures& l = byLength.back();
            std::printf("%5d notes, cold: library road %6.3f ms a note (%.2fx of the first), batch road %6.3f ms a "
                        "note (%.2fx of the first); same bytes on both: %s\n",
                        l.notes, l.libraryPerNote * 1e3, l.libraryPerNote / byLength.front().libraryPerNote,
                        l.batchPerNote * 1e3, l.batchPerNote / byLength.front().batchPerNote, l.sameBytes ? "yes" : "NO");
            std::fflush(stdout);
        }
        if (byLength.size() > 1) {
            const LengthFigures &first = byLength.front(), &longest = byLength.back();
            std::printf("a note at %d notes against %d: library road %.2fx, batch road %.2fx (within 1.3x: %s)\n",
                        longest.notes, first.notes, longest.libraryPerNote / first.libraryPerNote,
                        longest.batchPerNote / first.batchPerNote,
                        longest.libraryPerNote <= 1.3 * first.libraryPerNote &&
                                (libraryOnly || longest.batchPerNote <= 1.3 * first.batchPerNote)
                            ? "yes"
                            : "NO");
        }
        std::printf("load average at the end: %s", loadAverage().c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_render_speed: %s\n", e.what());
        return 1;
    }
    return 0;
}
