#include "render/DirectRenderer.h"

#include "core/FileHelpers.h"
#include "core/Processes.h"
#include "core/Settings.h"
#include "core/WaveFiles.h"
#include "platform/EventGuard.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/SystemPaths.h"
#include "platform/Vb.h"
#include "render/AliasLookup.h"
#include "render/CacheFiles.h"
#include "render/FreqTableCallback.h"
#include "render/LibraryToolRoad.h"
#include "render/ProgramToolRoad.h"
#include "render/RenderBatch.h"
#include "render/RenderLeftovers.h"
#include "render/RenderNotePlanner.h"
#include "render/RenderNotePlan.h"
#include "render/RenderProgress.h"
#include "render/RenderReuse.h"
#include "render/RenderValueCheck.h"
#include "render/RenderWindow.h"
#include "platform/lean/WorkerThreads.h"
#include "render/ToolLibraries.h"
#include "render/ToolTrust.h"
#include "song/ProjectPaths.h"
#include "song/Song.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>

#include <sys/stat.h>

#include <chrono>
#include <optional>
#include <vector>

namespace tova {
namespace {

constexpr int kSlideMs = 200;
// A re-render with the cache on appends only the pieces that changed, taking the rest from the
// previous output (see render/RenderReuse.h).
constexpr bool kReuseOutput = true;
constexpr std::chrono::milliseconds kEventInterval{10};

QString sixDecimals(double v) { return Vb::Format(v, QStringLiteral("0.000###")); }

// The length text of tool 1: milliseconds with `OldTime` on, else the tick form with its correction.
QString lengthText(const RenderNotePlan& n) {
    if (n.rest) {
        const double ms = double(n.length) - double(n.nextPre) + double(n.nextOvl);
        return settings().OldTime ? sixDecimals(ms) : TickLengthSpec(n.ticks, n.tempo, double(n.nextOvl) - double(n.nextPre));
    }
    return settings().OldTime ? sixDecimals(n.sounding)
                              : TickLengthSpec(n.ticks, n.tempo, double(n.pre) - double(n.nextPre) + double(n.nextOvl));
}

// A folder text without separator or drive mark is relative.
bool isRelative(const QString& path) { return !path.contains(u'/') && !path.contains(u'\\') && !path.contains(u':'); }

void removeFile(const QString& path) { QFile::remove(FileSystem::resolve(path)); }

bool isFileAsWritten(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

void removeParts(const QString& output) {
    removeFile(output + QStringLiteral(".whd"));
    removeFile(output + QStringLiteral(".dat"));
}

}  // namespace

// One append of tool 1, as appendNote makes it for a note.
struct DirectRenderer::Piece {
    enum Kind { Rest, Patch, Direct, Note } kind = Rest;
    QString input;
    float stp = 0;
    double offset = 0;
    QString length;
    QString envelope;
};

// A note on its way to the output: planned, perhaps being rendered by a worker, appended in turn.
struct DirectRenderer::Pending {
    RenderNotePlan plan;
    QString noteFile;        // the rendered note to append ("" when the note needs no rendering)
    bool ownNoteFile = false;  // a temporary note file of this note alone, deleted once appended
    std::future<void> job;   // the worker's rendering, when one renders it
};

// What one render works with.
struct DirectRenderer::Run {
    std::unique_ptr<ToolRoad> road;
    QString output;
    QString folder;       // of the path argument
    QString cacheFolder;
    QString tempNoteFile;  // the note file while the render cache is off
    std::unique_ptr<lean::WorkerThreads> workers;  // notes rendered side by side (roads that allow it)
    std::deque<Pending> pending;             // in song order
    std::vector<RenderNotePlan> plans;       // every note of the range, worked out before anything is touched
    // The cache folder's regular files as listed when the notes begin: a note whose cache file is
    // listed needs no look of its own (see FileSystem::listedRegularFiles).
    QSet<QString> cacheFiles;
    QSet<QString> cacheFilesFolded;  // the same names case-folded: a rendering of another letter case
    QString cacheFolderOnDisk;  // the cache folder as found on disk when the notes begin

    // Whether a note's cache file exists: from the listing (in any letter case), else by one look at the
    // name as written. A file not there is one this render makes, and is never searched for without
    // regard to case (that would read the growing folder once per note).
    bool hasCacheFile(const QString& name) const {
        return cacheFiles.contains(name) || cacheFilesFolded.contains(name.toCaseFolded()) ||
               isFileAsWritten(PathText::join(cacheFolderOnDisk, name));
    }
    // The notes' older renderings as listed when the notes begin, deleted before a note renders again.
    QHash<int32_t, QStringList> oldRenderings;
    // Where tool 1 appends: the output's parts, or with a reuse the temporary parts of the pieces
    // appended afresh.
    QString appendTarget;
    QString recordPath;                          // the render record (see render/RenderReuse.h)
    QStringList keys;                            // each note's piece key (with the render cache on)
    QHash<QString, QString> inputStamps;         // size and time of the inputs that are no cache files
    std::optional<RenderReuse::Reuse> reuse;     // the pieces appended afresh, when the old output is reused
    RenderReuse::OldOutput oldOutput;

    // Waits for every job handed out (their notes' files are then whole), without appending.
    void settle() {
        for (Pending& p : pending)
            if (p.job.valid()) p.job.wait();
    }
    ~Run() { settle(); }
};

DirectRenderer::DirectRenderer(Song& song, RenderWindow& window) : song_(song), window_(window) {}

DirectRenderer::~DirectRenderer() = default;

std::unique_ptr<ToolRoad> DirectRenderer::MakeRoad(bool library) {
    if (library) return std::make_unique<LibraryToolRoad>(&FreqTableCallback);
    return std::make_unique<ProgramToolRoad>(song_.Tool1, song_.Tool2);
}

RenderEnd DirectRenderer::RenderDirect(const QString& projectName, const QString& path, qint32 first, qint32 last,
                                       QString& outputName) {
    Q_UNUSED(projectName);  // the batch's comment line has no counterpart here
    if (first == -1 && last == -1) return RenderEnd::Finished;
    Settings& s = settings();
    RenderProgress& progress = window_.Progress();
    bool stopped = false;
    bool progressStarted = false;
    bool retryFull = false;
    Run run;
    try {
        const QString base = PathText::baseName(path);
        run.folder = PathText::folderPart(path);
        // The output lies beside the path unless its name gives a folder of its own (the tools run in
        // the program folder, which is no place for it).
        if (outputName.isEmpty()) outputName = base + QStringLiteral(".wav");
        if (isRelative(outputName)) outputName = PathText::join(run.folder, outputName);
        run.output = outputName;
        // Any other range starting before the first note names notes that do not exist.
        if (first < 0) throw InvalidCallError();

        // Every note is worked out and every value checked before a file is touched.
        LoadPrefixMap(song_.VoiceDir);
        RenderNotePlanner planner(song_, first, &window_);
        for (qint32 i = first; i <= last && i <= song_.lastNote(); ++i) run.plans.push_back(planner.Plan(i));
        missing_.clear();
        for (const RenderNotePlan& plan : run.plans) missing_.add(song_, plan);
        run.cacheFolder = song_.CacheDir.isEmpty() ? CacheFolderFor(base) : song_.CacheDir;
        if (isRelative(run.cacheFolder)) run.cacheFolder = PathText::join(run.folder, run.cacheFolder);
        CheckRenderValues({projectName, song_.VoiceDir, song_.Tool1, song_.Tool2, run.output, run.cacheFolder, QString(),
                           song_.ProjectFlags},
                          run.plans);

        // The tool programs run only when the user allows them; the libraries are the program's own.
        if (ToolLibraries::FindVorsaLibrary(SystemPaths::programFolder()).isEmpty()) s.UseDLL = false;
        if (!s.UseDLL && !ConfirmProjectTools(song_.Tool1, song_.Tool2)) {
            window_.SetWindowEnabled(true);
            return RenderEnd::Stopped;
        }

        // The previous output is held open when its record describes it, so that what did not change
        // can be taken from it after its name is gone.
        run.recordPath = RenderReuse::recordPath(run.cacheFolder, run.output);
        std::optional<RenderReuse::Record> record;
        if (kReuseOutput && reuseAllowed_ && s.CacheEnable && s.UseDLL) {
            record = RenderReuse::readRecord(run.recordPath);
            if (record && !run.oldOutput.open(run.output, *record)) record.reset();
        }
        // A stale output and parts left by an aborted run must not survive into this one: whatever
        // fails from here on, no output is taken for this render's (nor a record of one).
        for (const QString& stale : {run.output, run.output + QStringLiteral(".whd"), run.output + QStringLiteral(".dat")})
            if (FileSystem::exists(stale)) removeFile(stale);
        removeFile(run.recordPath);
        if (s.CacheEnable && !FileSystem::isFolder(run.cacheFolder)) QDir().mkpath(FileSystem::resolve(run.cacheFolder));
        // Without the cache the one note file lives in the cache folder, or beside the path when that
        // folder does not exist.
        run.tempNoteFile = PathText::join(FileSystem::isFolder(run.cacheFolder) ? run.cacheFolder : run.folder,
                                          QStringLiteral("temp$$$.wav"));
        // Temporary files a killed render left of this render's files.
        RenderLeftovers::Remove(run.output, {run.folder, run.cacheFolder}, run.cacheFolder);

        run.road = MakeRoad(s.UseDLL);

        const qint32 count = last - first + 1;
        const bool animate = last > first;
        progress.Start(0, qMax(count, 0), kSlideMs, animate);
        progressStarted = true;
        if (animate) window_.SetWindowEnabled(false);
        SetFreqTableWindow(&window_);
        QDir::setCurrent(SystemPaths::programFolder());
        StopRequested = 0;
        SetConcurrentStop(0);
        const unsigned workers = workers_ > 0 ? workers_ : lean::WorkerThreads::cores();
        if (count > 1 && workers > 1) run.workers = std::make_unique<lean::WorkerThreads>(workers);
        if (s.CacheEnable) {
            // The folder as it is on disk, looked up once: a note file is then looked for as written.
            run.cacheFolderOnDisk = FileSystem::resolve(run.cacheFolder);
            run.cacheFiles = FileSystem::listedRegularFiles(run.cacheFolderOnDisk);
            for (const QString& name : std::as_const(run.cacheFiles)) run.cacheFilesFolded.insert(name.toCaseFolded());
            run.oldRenderings = NoteCacheFilesByIndex(run.cacheFolder);
        }
        run.appendTarget = run.output;
        if (s.CacheEnable) {
            // A note whose cache file is gone is rendered again, as without a record, so it counts as
            // changed (its key in the record, made once it is rendered, is the plain one).
            QStringList compared;
            for (const RenderNotePlan& plan : run.plans) {
                const Piece piece = pieceOf(plan, noteFileOf(run, plan));
                run.keys << pieceKey(run, piece);
                const bool missing = record && piece.kind == Piece::Note && !run.hasCacheFile(plan.cacheFileName);
                compared << (missing ? run.keys.back() + QStringLiteral("\tmissing") : run.keys.back());
            }
            if (record) run.reuse = RenderReuse::findReuse(record->keys, compared);
            if (run.reuse) {
                run.appendTarget = PathText::join(run.cacheFolder, PathText::filePart(run.output) + QStringLiteral(".reuse"));
                removeParts(run.appendTarget);
            } else {
                run.oldOutput.close();
            }
        }
        // The window's events (the stop link among them) are handled before the first note and then
        // every few milliseconds: a note that is only appended takes far less than a look at them.
        std::optional<std::chrono::steady_clock::time_point> eventsHandled;
        for (std::size_t k = 0; k < run.plans.size(); ++k) {
            // The pieces that did not change are not appended again.
            if (run.reuse && (int(k) < run.reuse->first || int(k) >= run.reuse->newEnd)) continue;
            const RenderNotePlan& plan = run.plans[k];
            const auto now = std::chrono::steady_clock::now();
            if (!eventsHandled || now - *eventsHandled >= kEventInterval) {
                QCoreApplication::processEvents();
                eventsHandled = now;
            }
            SetConcurrentStop(StopRequested);
            if (StopRequested != 0) {
                stopped = true;
                break;
            }
            progress.SetMaximum(count);
            progress.SetStatus(song_.Lyrics.at(plan.index), plan.index - first + 1);
            startNote(run, plan);
            // Append what is ready, and keep no more notes under way than there are workers.
            const std::size_t bound = run.workers ? run.workers->count() : 0;
            while (!run.pending.empty() && (run.pending.size() > bound || isReady(run.pending.front())))
                appendNext(run);
        }
        // The notes under way when a stop came are finished and appended too: they are notes done.
        while (!run.pending.empty()) appendNext(run);

        if (!s.CacheEnable) removeFile(run.tempNoteFile);
        const QString whd = run.output + QStringLiteral(".whd"), dat = run.output + QStringLiteral(".dat");
        if (run.reuse) {
            // The output once: the old data before the fresh pieces, theirs, and the old data after them.
            const QString freshData = run.appendTarget + QStringLiteral(".dat");
            const auto fresh = RenderReuse::stampOf(freshData);
            if (stopped) {
                // The notes done so far, as a whole render stopped there leaves them: the old data before
                // the fresh pieces (no later piece reaches back into it) and the fresh pieces appended.
                RenderReuse::Reuse done = *run.reuse;
                done.middleFrames = fresh ? fresh->size / 2 : 0;
                done.oldTailFrom = done.oldTotal;
                done.newTotal = done.headFrames + done.middleFrames;
                run.oldOutput.writeSpliced(done, freshData, run.output);
            } else if ((fresh ? fresh->size : 0) != run.reuse->middleFrames * 2) {
                retryFull = true;  // not what the pieces make: render the whole output instead
            } else {
                run.oldOutput.writeSpliced(*run.reuse, freshData, run.output);
            }
            run.oldOutput.closeInBackground();
            removeParts(run.appendTarget);
        } else if (FileSystem::exists(whd)) {
            if (FileSystem::exists(dat)) {
                ToolLibraries::instance().AppendFiles(whd, dat, run.output);
                removeFile(dat);
            }
            removeFile(whd);
        }
    } catch (const RenderValueError&) {
        // Refused before anything was touched; the caller says why.
        window_.SetWindowEnabled(true);
        throw;
    } catch (...) {
        // Ended by a failure: nothing is joined, and no part is left behind; nor an older output, which
        // would pass for this render's when the failure came before it was removed. The notes still
        // being rendered are let finish first, so that nothing writes after the clean-up.
        run.settle();
        for (const Pending& p : run.pending)
            if (p.ownNoteFile) removeFile(p.noteFile);
        if (!run.output.isEmpty()) {
            removeFile(run.output);
            removeParts(run.output);
        }
        if (run.reuse) removeParts(run.appendTarget);
        if (!run.recordPath.isEmpty()) removeFile(run.recordPath);
        SetFreqTableWindow(nullptr);
        if (progressStarted) progress.Finish();
        window_.SetWindowEnabled(true);
        if (EventGuard::debugMode()) throw;
        return RenderEnd::Finished;
    }
    // The record of a finished render, for the next one to reuse its output.
    if (s.CacheEnable && !stopped && !retryFull)
        if (const auto stamp = RenderReuse::stampOf(run.output))
            RenderReuse::writeRecord(run.recordPath, {run.output, stamp->size, stamp->mtimeNs, run.keys});
    SetFreqTableWindow(nullptr);
    progress.Finish();
    window_.SetWindowEnabled(true);
    if (retryFull) {
        reuseAllowed_ = false;
        struct Allow {
            bool& allowed;
            ~Allow() { allowed = true; }
        } allowAgain{reuseAllowed_};
        return RenderDirect(projectName, path, first, last, outputName);
    }
    return stopped ? RenderEnd::Stopped : RenderEnd::Finished;
}

bool DirectRenderer::isReady(const Pending& p) {
    return !p.job.valid() || p.job.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

void DirectRenderer::startNote(Run& run, const RenderNotePlan& n) {
    Pending p;
    p.plan = n;
    if (n.rest || !n.patch.isEmpty() || n.direct) {
        run.pending.push_back(std::move(p));
        return;
    }
    const bool cached = settings().CacheEnable;
    p.noteFile = cached ? PathText::join(run.cacheFolder, n.cacheFileName) : run.tempNoteFile;
    if (cached && run.hasCacheFile(n.cacheFileName)) {
        run.pending.push_back(std::move(p));
        return;
    }
    // The note's older renderings go first, as in the per-note batch.
    if (cached) DeleteListedNoteCacheFiles(run.oldRenderings, n.index);
    NoteRenderCall call;
    call.samplePath = n.samplePath(song_.VoiceDir);
    call.noteFile = p.noteFile;
    call.noteName = n.noteName;
    call.velocity = n.velocity;
    call.flags = n.flags;
    call.offset = n.offset;
    call.requiredLength = n.required;
    call.consonant = n.consonant;
    call.cutoff = n.cutoff;
    call.intensity = n.intensity;
    call.modulation = n.modulation;
    call.pitchText = n.pitchText;
    call.tempo = n.tempo;

    // A note whose sample's frequency table is still to be made (or is remade by its flags) renders
    // here, in order, after the notes before it: the table's progress shows in the window and no other
    // note reads the table while it is written.
    const QString sample = FileSystem::resolve(call.samplePath);
    const bool makesTable = call.flags.contains(u'G') || !FileSystem::isFile(FrqTableName(sample));
    if (run.workers && !makesTable) {
        // Every note under way needs a note file of its own.
        NoteRenderCall own = call;
        if (!cached)
            own.noteFile = PathText::join(PathText::folderPart(run.tempNoteFile),
                                          QStringLiteral("temp$$$%1.wav").arg(n.index));
        if (ToolRoad::RenderJob job = run.road->PrepareRender(own)) {
            p.noteFile = own.noteFile;
            p.ownNoteFile = !cached;
            p.job = run.workers->submit(std::move(job));
            run.pending.push_back(std::move(p));
            return;
        }
    }
    while (!run.pending.empty()) appendNext(run);
    run.road->RenderNote(call);
    run.pending.push_back(std::move(p));
}

void DirectRenderer::appendNext(Run& run) {
    Pending& p = run.pending.front();
    if (p.job.valid()) {
        // The window stays live while the note is finished.
        while (p.job.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
            QCoreApplication::processEvents();
        p.job.get();  // a failure of the note renderer goes on from here
    }
    appendNote(run, p);
    if (p.ownNoteFile) removeFile(p.noteFile);
    run.pending.pop_front();
}

QString DirectRenderer::noteFileOf(const Run& run, const RenderNotePlan& n) const {
    if (n.rest || !n.patch.isEmpty() || n.direct) return QString();
    return settings().CacheEnable ? PathText::join(run.cacheFolder, n.cacheFileName) : run.tempNoteFile;
}

DirectRenderer::Piece DirectRenderer::pieceOf(const RenderNotePlan& n, const QString& noteFile) const {
    Piece piece;
    piece.length = lengthText(n);
    piece.stp = n.stp;
    piece.envelope = n.env;
    if (n.rest) {
        piece.input = PathText::join(song_.VoiceDir, QStringLiteral("R.wav"));
        piece.envelope.clear();  // the road's own, without overlap
    } else if (!n.patch.isEmpty()) {
        piece.kind = Piece::Patch;
        piece.input = n.patchPath(song_.ProjectPath);
    } else if (n.direct) {
        piece.kind = Piece::Direct;
        piece.input = n.samplePath(song_.VoiceDir);
        piece.offset = n.offset;
    } else {
        piece.kind = Piece::Note;
        piece.input = noteFile;
    }
    return piece;
}

QString DirectRenderer::pieceKey(Run& run, const Piece& piece) const {
    static const QString kinds[] = {QStringLiteral("rest"), QStringLiteral("patch"), QStringLiteral("direct"),
                                    QStringLiteral("note")};
    // A cache file's name stands for its content; any other input is known by its size and time.
    QString stamp;
    if (piece.kind != Piece::Note) {
        auto at = run.inputStamps.find(piece.input);
        if (at == run.inputStamps.end()) {
            const auto st = RenderReuse::stampOf(piece.input);
            at = run.inputStamps.insert(piece.input, st ? QString::number(st->size) + u' ' + QString::number(st->mtimeNs)
                                                        : QStringLiteral("missing"));
        }
        stamp = *at;
    }
    const QString start = QString::number(double(piece.stp), 'g', 9) + u' ' + QString::number(piece.offset, 'g', 17);
    return RenderReuse::pieceKey(settings().UseDLL ? QStringLiteral("library") : QStringLiteral("program"),
                                 kinds[piece.kind], piece.length, piece.envelope, piece.input, start, stamp);
}

void DirectRenderer::appendNote(Run& run, const Pending& p) {
    const Piece piece = pieceOf(p.plan, p.noteFile);
    ToolRoad& road = *run.road;
    const QString& out = run.appendTarget;
    switch (piece.kind) {
    case Piece::Rest: road.AppendRest(out, piece.input, piece.length); return;
    case Piece::Patch: road.AppendPatch(out, piece.input, piece.stp, piece.length, piece.envelope); return;
    case Piece::Direct: road.AppendDirect(out, piece.input, piece.offset, piece.stp, piece.length, piece.envelope); return;
    case Piece::Note: road.AppendNote(out, piece.input, piece.stp, piece.length, piece.envelope); return;
    }
}

}  // namespace tova
