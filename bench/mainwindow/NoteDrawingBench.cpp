// Speed of redrawing the piano roll of a 10,000-note song: a full-HD roll (1800 x 900 pixels) scrolled
// to the middle of the song, painted into the persistent pictures of the main window's picture boxes.
// Every note of the song is visited on each pass (start
// times are running sums), only the notes on screen are painted. The drawing must stay well inside one
// frame (16 ms) so that scrolling is smooth.
#include "NoteDrawingFixtures.h"

#include "mainwindow/BackgroundDrawing.h"
#include "mainwindow/NoteDrawing.h"
#include "mainwindow/ui/PictureBox.h"

#include <QApplication>

#include <benchmark/benchmark.h>

using namespace tova;
using namespace tova::test;

namespace {

// A song with what real projects carry on every note: kana lyrics, timing, envelope, mode-2 points,
// vibrato on long notes, older pitch data, labels and tempo changes here and there, rests.
NoteArrays generate(int count) {
    static const QStringList kana = {QStringLiteral("あ"), QStringLiteral("きゃ"), QStringLiteral("さ"),
                                     QStringLiteral("R"), QStringLiteral("ソ"), QStringLiteral("ん")};
    NoteArrays n;
    n.resizeNotes(count);
    for (int i = 0; i < count; ++i) {
        n.Lyrics[i] = kana[i % kana.size()];
        n.Lengths[i] = 480 * (1 + i % 4);
        n.NoteNums[i] = 40 + (i * 7) % 24;
        QString ext = QStringLiteral("%1:%2:100\t100\t0\t-%3Q120 0 0 5 10 12 10 5 0 0\tg-5B40\t")
                          .arg(30 + i % 20)
                          .arg(5 + i % 7)
                          .arg(i % 50);
        SetNoteOption(ext, QStringLiteral("env"), QStringLiteral("0 5 35 0 100 100 0"));
        if (i % 16 == 0) SetNoteOption(ext, QStringLiteral("label"), QStringLiteral("区間 %1").arg(i));
        if (i % 64 == 0) SetNoteOption(ext, QStringLiteral("tempo"), QStringLiteral("132"));
        SetNoteOption(ext, QStringLiteral("PBS"), QStringLiteral("-40"));
        SetNoteOption(ext, QStringLiteral("PBW"), QStringLiteral("40 40"));
        SetNoteOption(ext, QStringLiteral("PBM"), QStringLiteral("r"));
        if (i % 4 == 3) SetNoteOption(ext, QStringLiteral("VBR"), QStringLiteral("65 180 35 20 20 0 0"));
        n.NoteExt[i] = ext;
    }
    return n;
}

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
    NoteArrays notes = generate(10000);
    Pictures pictures;
    NoteGeometryList geometry;
    CurveHandles handles;
    ScriptedServices services;
    NoteScene scene;
    BackgroundColors back = BackgroundColors::fromSettings();
    NoteColors colors = NoteColors::fromSettings();
    ScrollBarState h{0, 30000, 0, 4, 1};
    ScrollBarState v{1, 60, 24, 12, 1};

    explicit Screen(bool curves) {
        qint64 total = 0;
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
        BackgroundDrawing::draw(view, back, h, v, pictures.keyboard, pictures.roll, pictures.ruler);
    }
    void drawNotes() {
        NoteDrawing drawing(&services);
        NoteDrawingResult r =
            drawing.DrawNotes(notes, scene, colors, geometry, handles, pictures.roll, pictures.ruler);
        benchmark::DoNotOptimize(r);
    }
};

// The notes alone: a change of the selection.
void BM_DrawNotes(benchmark::State& state) {
    Screen screen(state.range(0) != 0);
    screen.background();
    for (auto _ : state) screen.drawNotes();
    state.SetLabel(state.range(0) ? "curve view" : "normal view");
}
BENCHMARK(BM_DrawNotes)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A scroll step: the fixed layers and the notes.
void BM_ScrollRedraw(benchmark::State& state) {
    Screen screen(state.range(0) != 0);
    for (auto _ : state) {
        screen.background();
        screen.drawNotes();
    }
    state.SetLabel(state.range(0) ? "curve view" : "normal view");
}
BENCHMARK(BM_ScrollRedraw)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

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
