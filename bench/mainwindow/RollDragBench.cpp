// Speed of a drag on the piano roll of a 10,000-note song, on the real main window (offscreen): the
// press on a note (which redraws the notes to show the selection) and the moves that follow it, each
// from Qt's mouse event to the repainted roll. A move must stay well inside one frame (16 ms).
#include "RollEditingFixture.h"

#include "mainwindow/ui/PictureBox.h"
#include "song/NoteExtension.h"

#include <QApplication>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

using namespace tova;
using namespace tova::test;

namespace {

struct Roll : RollRig {
    PictureBox* roll = form->pictureBox(QStringLiteral("Picture2"));
    QPoint note;  // a pixel inside a note on screen

    Roll() {
        form->resize(1800, 1000);
        QApplication::processEvents();
        MainWindow& w = form->logic();
        Song& s = w.song;
        const int count = 10000;
        s.resizeNotes(count);
        static const QStringList kana = {QStringLiteral("あ"), QStringLiteral("きゃ"), QStringLiteral("さ"),
                                         QStringLiteral("R"), QStringLiteral("ソ"), QStringLiteral("ん")};
        for (int i = 0; i < count; ++i) {
            s.Lyrics[i] = kana[i % kana.size()];
            s.Lengths[i] = 480 * (1 + i % 4);
            s.NoteNums[i] = 40 + (i * 7) % 24;
            QString ext = QStringLiteral("30:5:100\t100\t0\t\tg-5B40\t");
            SetNoteOption(ext, QStringLiteral("PBS"), QStringLiteral("-40"));
            SetNoteOption(ext, QStringLiteral("PBW"), QStringLiteral("40 40"));
            if (i % 16 == 0) SetNoteOption(ext, QStringLiteral("label"), QStringLiteral("区間 %1").arg(i));
            s.NoteExt[i] = ext;
        }
        w.Scale.RowHeight = 210;
        w.VScroll1.Value = 24;
        qint64 total = 0;
        for (qint32 l : s.Lengths) total += l;
        redraw();
        w.SetHScrollValue(int(total / 2 / 1920));  // the middle of the song
        // A note near the left of the screen.
        for (qint32 i = 0; i < count; ++i) {
            const NoteGeometryRecord& g = w.NoteGeometry[i];
            if (g.Left > 600 && g.Top > 0 && g.Top < roll->height()) {
                note = QPoint(int((g.Left + 60) / 15), int((g.Top + 60) / 15));
                s.SelStart = s.SelEnd = i;
                break;
            }
        }
    }
    void send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(at), QPointF(roll->mapToGlobal(at)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(roll, &e);
    }
};

// One move of a note being dragged, from the event to the repainted roll.
void BM_DragMove(benchmark::State& state) {
    Roll r;
    r.send(QEvent::MouseButtonPress, r.note, Qt::LeftButton, Qt::LeftButton);
    if (!r.form->logic().Roll.NoteDragActive) state.SkipWithError("the press hit no note");
    int step = 0;
    for (auto _ : state) {
        step = (step + 1) % 40;
        r.send(QEvent::MouseMove, r.note + QPoint(step * 7, (step % 5) * 14), Qt::NoButton, Qt::LeftButton);
        r.roll->repaint();
    }
    r.form->logic().Roll.resetDrag();
    state.SetLabel("10,000 notes");
}
BENCHMARK(BM_DragMove)->Unit(benchmark::kMillisecond);

// The press on a note and its first move, each through to the repainted roll.
void BM_PressAndMove(benchmark::State& state) {
    Roll r;
    for (auto _ : state) {
        r.send(QEvent::MouseButtonPress, r.note, Qt::LeftButton, Qt::LeftButton);
        r.roll->repaint();
        r.send(QEvent::MouseMove, r.note + QPoint(70, 14), Qt::NoButton, Qt::LeftButton);
        r.roll->repaint();
        state.PauseTiming();
        if (!r.form->logic().Roll.NoteDragActive) state.SkipWithError("the press hit no note");
        r.form->logic().Roll.resetDrag();
        state.ResumeTiming();
    }
    state.SetLabel("10,000 notes");
}
BENCHMARK(BM_PressAndMove)->Unit(benchmark::kMillisecond);

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
