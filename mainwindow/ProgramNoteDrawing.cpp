#include "mainwindow/ProgramNoteDrawing.h"

#include "mainwindow/MainWindow.h"
#include "mainwindow/MainWindowView.h"
#include "mainwindow/NoteColors.h"
#include "mainwindow/RollCanvas.h"

namespace tova {

ProgramNoteDrawing::ProgramNoteDrawing(const NoteDrawingServices* services) : services_(services) {}

NoteScene ProgramNoteDrawing::sceneOf(MainWindow& w) {
    MainWindowView& view = w.view();
    NoteScene s;
    s.Tempo = w.song.Tempo;
    s.SelStart = w.song.SelStart;
    s.SelEnd = w.song.SelEnd;
    s.Zoom = w.Zoom();
    s.RowHeight = w.RowHeight();
    s.HScrollValue = w.HScroll1.Value;
    s.VScrollValue = w.VScroll1.Value;
    s.ShowCurve = view.value(QStringLiteral("mnShowCurve")) == 1;
    s.Mode2 = view.value(QStringLiteral("chkAutoPitchMode2")) == 1;
    s.Trace = view.value(QStringLiteral("chkTraceMode")) == 1;
    s.ParamView = view.value(QStringLiteral("chkView")) == 1;
    s.PlayPosMs = w.PlayPosition;
    s.PlayFirstNote = w.PlayStartNote;
    return s;
}

void ProgramNoteDrawing::DrawNotes(EditContext& context, const QString& option) {
    MainWindow& w = MainWindow::of(context);
    MainWindowView& view = w.view();
    NoteDrawing drawing(services_);
    const NoteDrawingResult r =
        drawing.DrawNotes(w.song, sceneOf(w), NoteColors::fromSettings(), w.NoteGeometry, w.Handles,
                          view.picture(QStringLiteral("Picture2")), view.picture(QStringLiteral("Picture4")), option,
                          &w.NoteLayer);
    w.SongLength = r.SongLength;
    w.PlayScrollNote = r.PlayScrollNote;
    w.PlayingNote = r.SoundingNote;
    if (r.PlayCursorX) {
        const WindowLayout& l = w.Layout;
        view.setControlRect(QStringLiteral("Line3"), TwipRect{*r.PlayCursorX, l.Line3Y1, 15, l.Line3Y2 - l.Line3Y1});
        view.setVisible(QStringLiteral("Line3"), true);
    }
    view.setStatusText(2, r.StatusText);
    w.HScroll1.setMax(r.HScrollMax);
    view.setScrollBar(QStringLiteral("HScroll1"), w.HScroll1);
}

}  // namespace tova
