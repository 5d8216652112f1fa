#pragma once

#include "RenderFixtures.h"
#include "render/InProcessRender.h"
#include "render/MciPort.h"
#include "render/PlayState.h"
#include "render/RenderBatchWriter.h"
#include "render/RenderProgress.h"
#include "render/RenderWindow.h"
#include "render/SelectionRenderer.h"
#include "song/Song.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

namespace tova::test {

// Records what the render and playback commands do to the progress window.
class FakeRenderProgress : public RenderProgress {
public:
    QStringList calls;
    bool visible = false;
    int maximum = 0;
    int value = 0;
    QString status;
    // Runs at every status line (the test's "user" pressing the stop link, say).
    std::function<void(int value)> onStatus;

    void Start(int minimum, int max, int durationMs, bool animate) override {
        calls << QStringLiteral("Start %1 %2 %3 %4").arg(minimum).arg(max).arg(durationMs).arg(animate);
        maximum = max;
        value = minimum;
        visible = animate;
    }
    void SetStatus(const QString& text, int v) override {
        status = text;
        value = v;
        if (onStatus) onStatus(v);
    }
    void SetStatusText(const QString& text) override { status = text; }
    void SetMaximum(int max) override { maximum = max; }
    void SetValue(int v) override { value = v; }
    void Restart() override {
        calls << QStringLiteral("Restart");
        visible = true;
        value = 0;
    }
    void SlideIn() override { calls << QStringLiteral("SlideIn"); }
    bool IsVisible() const override { return visible; }
    void Finish() override {
        calls << QStringLiteral("Finish");
        visible = false;
    }
};

// The main window as rendering and playback see it. Its note drawing finds the playing note the way
// the roll does: the notes from PlayStartNote on, each `noteMs` long.
class FakeRenderWindow : public RenderWindow {
public:
    explicit FakeRenderWindow(PlayState* play = nullptr) : play_(play) {}

    bool windowEnabled = true;
    bool controlsEnabled = true;
    bool cursorVisible = false;
    bool playTimerOn = false;  // the playback timer, switched by the commands
    bool runningShown = false;
    int noteMs = 500;
    qint32 noteCount = 0;
    QStringList calls;
    QList<qint32> scrolledTo;
    QMap<qint32, bool> missingMarks;
    FakeRenderProgress progress;
    // Runs while the wait window is shown, once per call (the test's "user").
    std::function<void()> whileRunning;

    void SetWindowEnabled(bool on) override {
        windowEnabled = on;
        calls << (on ? QStringLiteral("enable window") : QStringLiteral("disable window"));
    }
    void SetRenderControlsEnabled(bool on) override {
        controlsEnabled = on;
        calls << (on ? QStringLiteral("enable controls") : QStringLiteral("disable controls"));
    }
    void DrawBackground() override { calls << QStringLiteral("DrawBackground"); }
    void DrawNotes() override {
        calls << QStringLiteral("DrawNotes");
        if (!play_) return;
        play_->PlayingNote = -1;
        cursorVisible = false;
        if (play_->PlayPosition == 0) return;
        for (qint32 i = play_->PlayStartNote, start = 0; i < noteCount; ++i, start += noteMs) {
            if (play_->PlayPosition >= start && play_->PlayPosition < start + noteMs) {
                play_->PlayingNote = i;
                cursorVisible = true;
                return;
            }
        }
    }
    void ScrollToTick(qint32& note, double lead) override {
        scrolledTo << note;
        calls << QStringLiteral("ScrollToTick %1 %2").arg(note).arg(lead);
    }
    void HidePlayCursor() override { cursorVisible = false; }
    void FocusRoll() override { calls << QStringLiteral("FocusRoll"); }
    void SetMidiNoteTimerEnabled(bool on) override { calls << (on ? QStringLiteral("midi timer on") : QStringLiteral("midi timer off")); }
    void SetPlayTimerEnabled(bool on) override { playTimerOn = on; }
    void SetMissingSampleMark(qint32 note, bool missing) override { missingMarks[note] = missing; }
    void ShowRunningWindow() override {
        runningShown = true;
        calls << QStringLiteral("show running");
        if (whileRunning) whileRunning();
    }
    void UnloadRunningWindow() override {
        runningShown = false;
        calls << QStringLiteral("unload running");
    }
    RenderProgress& Progress() override { return progress; }

private:
    PlayState* play_;
};

// A multimedia device layer with one device per alias and a clock that the test moves: a playing
// device advances its position and stops at the end of its file. Opening reads the file's length
// from its size (16-bit mono at 44100 Hz after a 44-byte header).
class FakeMci : public MciPort {
public:
    struct Device {
        QString path;
        QString mode = QStringLiteral("stopped");
        qint64 positionMs = 0;
        qint64 lengthMs = 0;
    };
    QMap<QString, Device> devices;  // by alias
    QStringList calls;
    bool failAll = false;

    static QString alias(const QString& path);
    bool isOpen(const QString& path) const { return devices.contains(alias(path)); }
    // Moves the clock on.
    void advance(qint64 ms);

    QString Open(const QString& path) override;
    void Close(const QString& path) override;
    QString Play(const QString& path) override;
    void Pause(const QString& path) override;
    QString Status(const QString& path, const QString& item) override;
    QString GetMode(const QString& path) override;
    void SendString(const QString& command) override;

private:
    void check(const QString& what);
};

// Renders the selection by writing "temp.wav" of the temporary folder: `ms` of silence. Notes
// every render whose file was still open on the device.
class FakeSelectionRenderer : public SelectionRenderer {
public:
    explicit FakeSelectionRenderer(std::function<bool()> tempIsOpen) : tempIsOpen_(std::move(tempIsOpen)) {}
    QList<QPair<qint32, qint32>> renders;
    int writesWhileOpen = 0;
    bool succeed = true;
    bool fail = false;
    qint64 ms = 1000;
    bool RenderSelectionToTemp(qint32& first, qint32& last) override;

private:
    std::function<bool()> tempIsOpen_;
};

// The render batch writer: records its calls; `onWrite` makes the batch that the test wants.
class FakeBatchWriter : public RenderBatchWriter {
public:
    QStringList calls;
    std::function<void(QString& path)> onGetRenderFileNames;
    std::function<void(const QString& batchPath, QString& output)> onWrite;
    void GetRenderFileNames(QString& path) override {
        calls << QStringLiteral("GetRenderFileNames ") + path;
        if (onGetRenderFileNames) onGetRenderFileNames(path);
    }
    void WriteRenderBatch(const QString& projectName, const QString& batchPath, qint32 first, qint32 last,
                          QString& outputName) override {
        calls << QStringLiteral("WriteRenderBatch %1 %2 %3 %4 %5").arg(projectName, batchPath).arg(first).arg(last).arg(outputName);
        if (onWrite) onWrite(batchPath, outputName);
    }
};

// The in-process render: records its calls and writes the output file unless told otherwise.
class FakeInProcessRender : public InProcessRender {
public:
    QStringList calls;
    bool writeOutput = true;
    RenderEnd end = RenderEnd::Finished;
    RenderEnd RenderDirect(const QString& projectName, const QString& path, qint32 first, qint32 last,
                           QString& outputName) override;
};

}  // namespace tova::test
