// Speed of redrawing the piano roll: a full-HD roll (1800 x 900 pixels) scrolled to the middle of a song
// of 1,000, 10,000 or 100,000 notes, painted into the persistent pictures of the main window's picture
// boxes. A redraw and a scroll by one screen should cost the same whatever the length of the song (the
// figures are compared with the 1,000-note song), and stay well inside one frame (16 ms).
#include "NoteDrawingFixtures.h"

#include "mainwindow/BackgroundDrawing.h"
#include "mainwindow/NoteDrawing.h"
#include "mainwindow/ui/PictureBox.h"

#include <QApplication>

#include <benchmark/benchmark.h>

using namespace tova;
using namespace tova::test;

namespace {

// The picture boxes of the keyboard strip, the ruler and the roll, sized in twips.
struct Pictures {
    QWidget owner;
    PictureBox& keyboard = box(1320, 13500);
    PictureBox& ruler = box(27000, 420);
    PictureBox& roll = box(27000, 13500);

    PictureBox& box(int w, int h) {
        auto* b = new PictureBox(&owner);
        b->resize(w / 15, h / 15);
        return *b;
    }
};

struct Screen {
    NoteArrays notes;
    Pictures pictures;
    NoteGeometryList geometry;
    CurveHandles handles;
    NoteLayerMemory memory;  // the window's, kept from one drawing to the next
    ScriptedServices services;
    NoteScene scene;
    BackgroundColors back = BackgroundColors::fromSettings();
    NoteColors colors = NoteColors::fromSettings();
    ScrollBarState h{0, 1 << 30, 0, 4, 1};
    ScrollBarState v{1, 60, 24, 12, 1};

    qint64 total = 0;  // the song's length in ticks

    Screen(int count, bool curves) : notes(realisticSong(count)) {
        for (qint32 l : notes.Lengths) total += l;
        scene.Zoom = 2.0f;
        scene.RowHeight = 210;
        scene.HScrollValue = int(total / 2 / 1920);  // the middle of the song
        scene.VScrollValue = 24;
        scene.ShowCurve = curves;
        scene.Mode2 = curves;
        // A selection on screen, its first note with handles.
        qint64 s = 0;
        qint32 i = 0;
        while (s < qint64(scene.HScrollValue) * 1920 + 3840) s += notes.Lengths[i++];
        scene.SelStart = i;
        scene.SelEnd = i + 5;
        h.Value = scene.HScrollValue;
    }
    void background() {
        BackgroundView view;
        view.RowHeight = scene.RowHeight;
        view.Zoom = scene.Zoom;
        view.SongLength = total;
        BackgroundDrawing::draw(view, back, h, v, pictures.keyboard, pictures.roll, pictures.ruler);
    }
    void drawNotes() {
        NoteDrawing drawing(&services);
        NoteDrawingResult r =
            drawing.DrawNotes(notes, scene, colors, geometry, handles, pictures.roll, pictures.ruler, QString(), &memory);
        benchmark::DoNotOptimize(r);
    }
};

const char* viewName(int64_t curves) { return curves ? "curve view" : "normal view"; }

// The notes alone: a change of the selection. Arguments: note count, curve view.
void BM_DrawNotes(benchmark::State& state) {
    Screen screen(int(state.range(0)), state.range(1) != 0);
    screen.background();
    screen.drawNotes();  // the first drawing after a change of the song
    for (auto _ : state) screen.drawNotes();
    state.SetLabel(viewName(state.range(1)));
}
BENCHMARK(BM_DrawNotes)->ArgsProduct({{1000, 10000, 100000}, {0, 1}})->Unit(benchmark::kMillisecond);

// A full redraw at the same place: the fixed layers and the notes.
void BM_FullRedraw(benchmark::State& state) {
    Screen screen(int(state.range(0)), state.range(1) != 0);
    screen.background();
    screen.drawNotes();
    for (auto _ : state) {
        screen.background();
        screen.drawNotes();
    }
    state.SetLabel(viewName(state.range(1)));
}
BENCHMARK(BM_FullRedraw)->ArgsProduct({{1000, 10000, 100000}, {0, 1}})->Unit(benchmark::kMillisecond);

// A scroll by one screen (the beats the roll shows), to the right and back in turn, with its redraw.
void BM_ScrollOneScreen(benchmark::State& state) {
    Screen screen(int(state.range(0)), state.range(1) != 0);
    screen.background();
    screen.drawNotes();
    const int screenBeats = int(27000 * double(screen.scene.Zoom) / 1920);
    const int home = screen.scene.HScrollValue;
    for (auto _ : state) {
        screen.scene.HScrollValue = screen.scene.HScrollValue == home ? home + screenBeats : home;
        screen.h.Value = screen.scene.HScrollValue;
        screen.background();
        screen.drawNotes();
    }
    state.SetLabel(viewName(state.range(1)));
}
BENCHMARK(BM_ScrollOneScreen)->ArgsProduct({{1000, 10000, 100000}, {0, 1}})->Unit(benchmark::kMillisecond);

// The first redraw after an edit of a note before the screen, which makes the drawing build the song's
// timeline anew. Arguments: note count, what changes (0 the length, so that every later note moves; 1
// the extension string, as a property edit does, so that the tempos are read again).
void BM_RedrawAfterEdit(benchmark::State& state) {
    Screen screen(int(state.range(0)), false);
    screen.background();
    screen.drawNotes();
    const qint32 edited = screen.scene.SelStart - 100;
    const bool property = state.range(1) != 0;
    for (auto _ : state) {
        if (property) {
            QString& ext = screen.notes.NoteExt[edited];
            const bool off = GetNoteOption(ext, QStringLiteral("VBR")).isEmpty();
            SetNoteOption(ext, QStringLiteral("VBR"), off ? QStringLiteral("65 180 35 20 20 0 0") : QString());
        } else {
            screen.notes.Lengths[edited] ^= 480;
        }
        screen.background();
        screen.drawNotes();
    }
    state.SetLabel(property ? "property" : "length");
}
BENCHMARK(BM_RedrawAfterEdit)->ArgsProduct({{1000, 10000, 100000}, {0, 1}})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
