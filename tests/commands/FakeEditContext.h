#pragma once

// An edit context over a song of its own, for the tests of commands, editors and tools: the view
// switches, geometry and text boxes are plain fields; redraws, keystrokes, scrolls, played sounds and progress are recorded.
#include "commands/EditContext.h"
#include "render/RenderProgress.h"
#include "song/NoteCache.h"
#include "song/Song.h"

#include <QList>
#include <QPair>
#include <QStringList>

#include <functional>

namespace tova {

class FakeEditContext : public EditContext {
public:
    class Progress : public RenderProgress {
    public:
        void Start(int, int maximum, int, bool animate) override { started++, max = maximum, shown = animate; }
        void SetStatus(const QString& t, int v) override {
            text = t, value = v;
            if (onStatus) onStatus(v);
        }
        void SetStatusText(const QString& t) override { text = t; }
        void SetMaximum(int m) override { max = m; }
        void SetValue(int v) override { value = v; }
        void Restart() override { value = 0; }
        void SlideIn() override {}
        bool IsVisible() const override { return started > finished; }
        void Finish() override { finished++; }
        int started = 0, finished = 0, max = 0, value = 0;
        bool shown = false;
        QString text;
        // Runs at every status update (a test's stand-in for the events handled meanwhile).
        std::function<void(int)> onStatus;
    };
    class Cache : public NoteCache {
    public:
        void DeleteNoteCacheFiles(const QString& folder, qint32 index) override { deleted << qMakePair(folder, index); }
        QList<QPair<QString, qint32>> deleted;
    };

    FakeEditContext() { s.attach(nullptr, &cache); }

    Song& editedSong() override { return s; }
    const Song& editedSong() const override { return s; }
    qint32 curNote() const override { return cur; }
    void setCurNote(qint32 note) override { cur = note; }
    void DrawBackground() override { backgrounds++; }
    void DrawNotes() override { notesDrawn++; }
    void DrawNotes(const QString&) override { notesDrawn++; }
    bool mode2() const override { return s.Mode2; }
    bool curveView() const override { return curve; }
    qint32 quantizeTicks() const override { return quantize; }
    qint32 newNoteLength() const override { return newLength; }
    int beatsPerBar() const override { return beats; }
    const NoteGeometryList& noteGeometry() const override { return geometry; }
    float zoom() const override { return zoomValue; }
    double rollInnerWidth() const override { return rollWidth; }
    double vScrollWidth() const override { return vScroll; }
    const ScrollBarState& hScroll() const override { return h; }
    void setHScrollValue(int value) override { h.Value = value; }
    QString lyricEntryText() const override { return lyricEntry; }
    void focusLyricEntry() override { focus = QStringLiteral("Text2"); }
    QString focusedTextBox() const override { return focus; }
    void sendKeys(const QString& box, const QString& keys) override { keysSent << box + QLatin1Char(' ') + keys; }
    void setLyricEntryText(const QString& text) override { lyricEntry = text; }
    void focusRoll() override { focus = QStringLiteral("Picture2"); }
    void setTempoBoxText(const QString& text) override { tempoBox = text; }
    qint32 rulerNote() const override { return ruler; }
    void setRulerNote(qint32 note) override { ruler = note; }
    qint32 pitchPointIndex() const override { return pitchPoint; }
    bool traceMode() const override { return trace; }
    void scrollToNote(qint32 note) override { scrolledTo << note; }
    NoteArrays& noteClipBuffer() override { return clip; }
    void playSoundAsync(const QString& path) override { played << path; }
    NoteCache* renderCache() override { return cacheInUse; }
    RenderProgress& progress() override { return progressWindow; }
    QObject* ownerWindow() override { return nullptr; }
    RenderCommands* rendering() override { return nullptr; }
    PlaybackCommands* playback() override { return nullptr; }

    Song s;
    Cache cache;
    Progress progressWindow;
    // The cache the commands delete from: the recording fake unless a test puts a real one here.
    NoteCache* cacheInUse = &cache;
    QString tempoBox;
    qint32 ruler = -1;
    qint32 pitchPoint = -1;
    qint32 cur = -1;
    bool curve = false;
    qint32 quantize = 480;
    qint32 newLength = 1920;
    int beats = 4;
    NoteGeometryList geometry{NoteGeometryRecord()};
    float zoomValue = 4;
    double rollWidth = 9000;
    double vScroll = 255;
    ScrollBarState h{0, 100, 0, 4, 1};
    QString lyricEntry;
    bool trace = false;
    QList<qint32> scrolledTo;
    NoteArrays clip;
    QStringList played;
    QString focus;
    QStringList keysSent;
    int backgrounds = 0;
    int notesDrawn = 0;
};

}  // namespace tova
