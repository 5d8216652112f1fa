// Scrolling, zoom, row height, the mouse wheel and the following of an external MIDI sequencer.
#include "mainwindow/MainWindow.h"

#include "mainwindow/MainWindowView.h"
#include "mainwindow/RollCanvas.h"
#include "mainwindow/ScrollHelpers.h"
#include "mainwindow/WheelSteps.h"
#include "platform/Vb.h"
#include "render/NoteRenderParams.h"

namespace tova {

namespace {
const QString kRoll = QStringLiteral("Picture2");
}

void MainWindow::HScroll1_Change() {
    DrawBackground();
    DrawNotes();
    if (view_.hasFocus(QStringLiteral("HScroll1"))) view_.setFocusTo(kRoll);
}

void MainWindow::VScroll1_Change() {
    DrawBackground();
    DrawNotes();
    if (view_.hasFocus(QStringLiteral("VScroll1"))) view_.setFocusTo(kRoll);
}

void MainWindow::SetHScrollValue(int value) {
    value = HScroll1.clamped(value);
    if (value == HScroll1.Value) return;
    HScroll1.Value = value;
    view_.setScrollBar(QStringLiteral("HScroll1"), HScroll1);
    HScroll1_Change();
}

void MainWindow::SetVScrollValue(int value) {
    value = VScroll1.clamped(value);
    if (value == VScroll1.Value) return;
    VScroll1.Value = value;
    view_.setScrollBar(QStringLiteral("VScroll1"), VScroll1);
    VScroll1_Change();
}

void MainWindow::mnZoomIn_Click() {
    Scale.zoomIn();
    view_.setEnabled(QStringLiteral("mnZoomIn"), Scale.ZoomInEnabled);
    view_.setEnabled(QStringLiteral("cmdZoomIn"), Scale.ZoomInEnabled);
    view_.setEnabled(QStringLiteral("mnZoomOut"), Scale.ZoomOutEnabled);
    view_.setEnabled(QStringLiteral("cmdZoomOut"), Scale.ZoomOutEnabled);
    DrawBackground();
    DrawNotes();
}

void MainWindow::mnZoomOut_Click() {
    Scale.zoomOut();
    view_.setEnabled(QStringLiteral("mnZoomOut"), Scale.ZoomOutEnabled);
    view_.setEnabled(QStringLiteral("cmdZoomOut"), Scale.ZoomOutEnabled);
    view_.setEnabled(QStringLiteral("mnZoomIn"), Scale.ZoomInEnabled);
    view_.setEnabled(QStringLiteral("cmdZoomIn"), Scale.ZoomInEnabled);
    DrawBackground();
    DrawNotes();
}

void MainWindow::mnHeightLarge_Click() {
    Scale.heightLarge();
    DrawBackground();
    DrawNotes();
    view_.setFocusTo(kRoll);
}

void MainWindow::mnHeightSmall_Click() {
    Scale.heightSmall();
    DrawBackground();
    DrawNotes();
    view_.setFocusTo(kRoll);
}

void MainWindow::WheelEvent(int16_t direction, int16_t& keys) {
    const WheelOutcome out = WheelSteps::apply(direction, keys, Scale, HScroll1, VScroll1);
    if (out.redraw) {
        DrawBackground();
        DrawNotes();
    }
    if (out.hValue) SetHScrollValue(*out.hValue);
    if (out.vValue) SetVScrollValue(*out.vValue);
}

void MainWindow::ScrollToNoteStart(qint32 note, std::optional<double> lead) {
    SetHScrollValue(ScrollHelpers::scrollToNoteStart(song.Lengths, note, HScroll1, lead));
}

void MainWindow::ScrollToSelection(qint32 note, bool force) {
    const double inner = view_.picture(kRoll).scaleWidth();
    const std::optional<int> v =
        ScrollHelpers::scrollToSelection(song.Lengths, note, force, NoteGeometry, song.SelStart, inner, Scale.Zoom, HScroll1);
    if (v) SetHScrollValue(*v);
}

void MainWindow::NoteToRightEdge(qint32 note) {
    const double inner = view_.picture(kRoll).scaleWidth();
    SetHScrollValue(ScrollHelpers::noteToRightEdge(song.Lengths, note, inner, Layout.VScroll1.width, Scale.Zoom));
}

bool MainWindow::NoteToInSideWindow(qint32 note) {
    const double inner = view_.picture(kRoll).scaleWidth();
    const std::optional<int> v = ScrollHelpers::noteToInsideWindow(song.Lengths, song.noteCount(), note, HScroll1.Value,
                                                                   inner, Layout.VScroll1.width, Scale.Zoom);
    if (!v) return false;
    SetHScrollValue(*v);
    return true;
}

void MainWindow::NoteSelectAndScroll(qint32 note) {
    if (NoteToInSideWindow(note)) DrawBackground();
    song.SelStart = note;
    song.SelEnd = note;
    DrawNotes(QStringLiteral("nobomb"));
}

void MainWindow::MidiPlay(qint32 clockCount) {
    if (const std::optional<qint32> note = Follow.midiPlay(clockCount, song)) NoteSelectAndScroll(*note);
}

void MainWindow::GetPlayNotes1(qint32& first, qint32& last, qint32 timeMs) {
    const std::optional<qint32> note =
        Follow.getPlayNotes(first, last, timeMs, song, [this](qint32 i) { return GetTempo(i); });
    if (note) NoteSelectAndScroll(*note);
}

float MainWindow::GetTempo(qint32 index) const {
    float tempo = song.Tempo;
    FindTempoAt(song, index, tempo);
    return tempo;
}

}  // namespace tova
