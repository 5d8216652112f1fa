#include "render/DirectRenderer.h"

#include "core/FileHelpers.h"
#include "core/Processes.h"
#include "core/Settings.h"
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
#include "render/RenderNotePlanner.h"
#include "render/RenderProgress.h"
#include "render/RenderWindow.h"
#include "render/ToolLibraries.h"
#include "song/Song.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace tova {
namespace {

constexpr int kSlideMs = 200;

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

}  // namespace

// What one render works with.
struct DirectRenderer::Run {
    std::unique_ptr<ToolRoad> road;
    QString output;
    QString folder;       // of the path argument
    QString cacheFolder;
    QString tempNoteFile;  // the note file while the render cache is off
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
    Run run;
    try {
        const QString base = PathText::baseName(path);
        run.folder = PathText::folderPart(path);
        // The output lies beside the path unless its name gives a folder of its own (the tools run in
        // the program folder, which is no place for it).
        if (outputName.isEmpty()) outputName = base + QStringLiteral(".wav");
        if (isRelative(outputName)) outputName = PathText::join(run.folder, outputName);
        run.output = outputName;
        // A stale output and parts left by an aborted run must not survive into this one: whatever
        // fails from here on, no output is taken for this render's.
        for (const QString& stale : {run.output, run.output + QStringLiteral(".whd"), run.output + QStringLiteral(".dat")})
            if (FileSystem::exists(stale)) removeFile(stale);
        // Any other range starting before the first note names notes that do not exist.
        if (first < 0) throw InvalidCallError();

        LoadPrefixMap(song_.VoiceDir);
        RenderNotePlanner planner(song_, first, &window_);
        run.cacheFolder = song_.CacheDir.isEmpty() ? base + QStringLiteral(".cache") : song_.CacheDir;
        if (isRelative(run.cacheFolder)) run.cacheFolder = PathText::join(run.folder, run.cacheFolder);
        if (s.CacheEnable && !FileSystem::isFolder(run.cacheFolder)) QDir().mkpath(FileSystem::resolve(run.cacheFolder));
        // Without the cache the one note file lives in the cache folder, or beside the path when that
        // folder does not exist.
        run.tempNoteFile = PathText::join(FileSystem::isFolder(run.cacheFolder) ? run.cacheFolder : run.folder,
                                          QStringLiteral("temp$$$.wav"));

        if (ToolLibraries::FindVorsaLibrary(SystemPaths::programFolder()).isEmpty()) s.UseDLL = false;
        run.road = MakeRoad(s.UseDLL);

        const qint32 count = last - first + 1;
        const bool animate = last > first;
        progress.Start(0, qMax(count, 0), kSlideMs, animate);
        progressStarted = true;
        if (animate) window_.SetWindowEnabled(false);
        SetFreqTableWindow(&window_);
        QDir::setCurrent(SystemPaths::programFolder());
        StopRequested = 0;
        for (qint32 i = first; i <= last && i <= song_.lastNote(); ++i) {
            QCoreApplication::processEvents();
            if (StopRequested != 0) {
                stopped = true;
                break;
            }
            progress.SetMaximum(count);
            progress.SetStatus(song_.Lyrics.at(i), i - first + 1);
            renderNote(run, planner.Plan(i));
        }

        if (!s.CacheEnable) removeFile(run.tempNoteFile);
        const QString whd = run.output + QStringLiteral(".whd"), dat = run.output + QStringLiteral(".dat");
        if (FileSystem::exists(whd)) {
            if (FileSystem::exists(dat)) {
                ToolLibraries::instance().AppendFiles(whd, dat, run.output);
                removeFile(dat);
            }
            removeFile(whd);
        }
    } catch (...) {
        // Ended by a failure: nothing is joined, and no part is left behind.
        if (!run.output.isEmpty()) {
            removeFile(run.output + QStringLiteral(".whd"));
            removeFile(run.output + QStringLiteral(".dat"));
        }
        SetFreqTableWindow(nullptr);
        if (progressStarted) progress.Finish();
        window_.SetWindowEnabled(true);
        if (EventGuard::debugMode()) throw;
        return RenderEnd::Finished;
    }
    SetFreqTableWindow(nullptr);
    progress.Finish();
    window_.SetWindowEnabled(true);
    return stopped ? RenderEnd::Stopped : RenderEnd::Finished;
}

void DirectRenderer::renderNote(Run& run, const RenderNotePlan& n) {
    ToolRoad& road = *run.road;
    const QString length = lengthText(n);
    if (n.rest) {
        road.AppendRest(run.output, PathText::join(song_.VoiceDir, QStringLiteral("R.wav")), length);
        return;
    }
    const QString samplePath = n.samplePath(song_.VoiceDir);
    if (!n.patch.isEmpty()) {
        QString sample = PathText::join(PathText::folderPart(song_.ProjectPath), n.patch);
        if (!FileExists(sample)) sample = QStringLiteral("R.wav");
        road.AppendPatch(run.output, sample, n.stp, length, n.env);
        return;
    }
    if (n.direct) {
        road.AppendDirect(run.output, samplePath, n.offset, n.stp, length, n.env);
        return;
    }
    const bool cached = settings().CacheEnable;
    const QString noteFile = cached ? PathText::join(run.cacheFolder, n.cacheFileName) : run.tempNoteFile;
    if (!cached || !FileSystem::isFile(noteFile)) {
        // The note's older renderings go first, as in the per-note batch.
        if (cached) DeleteNoteCacheFiles(run.cacheFolder, n.index);
        NoteRenderCall call;
        call.samplePath = samplePath;
        call.noteFile = noteFile;
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
        road.RenderNote(call);
    }
    road.AppendNote(run.output, noteFile, n.stp, length, n.env);
}

}  // namespace tova
