#pragma once

// A generated song over the fixture bank, rendered on the batch road (the render batch run by the batch
// runner of the program folder) or the library road (the tools' libraries in process), with a render
// window that shows nothing. Used by the render benchmarks.

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
#include "render/ToolTrust.h"
#include "song/Song.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <stdexcept>

namespace tova::bench {

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
    void SetPlayTimerEnabled(bool) override {}
    void SetMissingSampleMark(qint32, bool) override {}
    void ShowRunningWindow() override {}
    void UnloadRunningWindow() override {}
    RenderProgress& Progress() override { return progress; }
    QuietProgress progress;
};

// `notes` eighth notes at tempo 120 in a loop of the three syllables over a two-octave range, a rest
// every sixteenth note; the render cache on. The tools are those of `programFolder` (see use()).
struct SongRenderFixture {
    QTemporaryDir dir;
    Song song;
    QuietWindow window;
    ScopedFakePorts ports;
    RenderBatchFiles writer{song, &window};
    DirectRenderer direct{song, window};
    RenderCommands commands{song, window, writer, direct};
    QString cache;
    QString output;

    SongRenderFixture(int notes, const QString& programFolder) {
        TempFolder = dir.filePath(QStringLiteral("tmp"));
        QDir().mkpath(TempFolder);
        const QString bank = dir.filePath(QStringLiteral("bank"));
        test::WriteFixtureBank(bank);
        LoadOtoIni(bank);
        song.ProjectPath = dir.filePath(QStringLiteral("song.tvx"));
        song.ProjectName = QStringLiteral("bench");
        song.VoiceDir = bank;
        const char* lyrics[] = {"あ", "か", "い"};
        song.resizeNotes(notes);
        for (int i = 0; i < notes; ++i) {
            song.Lyrics[i] = i % 16 == 15 ? QStringLiteral("R") : QString::fromUtf8(lyrics[i % 3]);
            song.Lengths[i] = 960;
            song.NoteNums[i] = 24 + (i * 5) % 24;
        }
        cache = dir.filePath(QStringLiteral("song.cache"));
        output = dir.filePath(QStringLiteral("song.wav"));
        settings().CacheEnable = true;
        use(programFolder);
    }
    // The tools (programs, libraries and batch runner) of a program folder from now on.
    void use(const QString& folder) {
        ToolLibraries::instance().Unload();
        SystemPaths::setProgramFolder(folder);
        song.Tool1 = folder + QStringLiteral("/catena");
        song.Tool2 = folder + QStringLiteral("/vorsa");
        if (!QFile::exists(folder + QStringLiteral("/batrun")))
            throw std::runtime_error("the program folder has no batch runner");
        AcceptTool(song.Tool1);
        AcceptTool(song.Tool2);
    }
    void renderLibrary() {
        settings().UseDLL = true;
        QString out = output;
        direct.RenderDirect(song.ProjectName, song.ProjectPath, 0, song.noteCount() - 1, out);
    }
    // The program road: the tool programs started one command line at a time (notes side by side).
    void renderPrograms() {
        settings().UseDLL = false;
        settings().NonBatchMode = true;
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

}  // namespace tova::bench
