// Note navigation, selection and search on the main window.
#include "mainwindow/MainWindowNavigation.h"

#include "mainwindow/MainWindow.h"
#include "mainwindow/MainWindowView.h"
#include "mainwindow/NoteNavigation.h"
#include "mainwindow/RollCanvas.h"

#include <QMetaObject>
#include <QObject>

namespace tova {

namespace {
const QString kLyricEntry = QStringLiteral("Text2");
}

MainWindowNavigation::MainWindowNavigation(MainWindow& window) : w_(window) {}

const NoteArrays& MainWindowNavigation::notes() const { return w_.song; }
qint32 MainWindowNavigation::selStart() const { return w_.song.SelStart; }
qint32 MainWindowNavigation::selEnd() const { return w_.song.SelEnd; }

void MainWindowNavigation::setSelection(qint32 start, qint32 end) {
    w_.song.SelStart = start;
    w_.song.SelEnd = end;
}

void MainWindowNavigation::setCurNote(qint32 note) { w_.CurNote = int16_t(note); }
const NoteGeometryList& MainWindowNavigation::noteGeometry() const { return w_.NoteGeometry; }
float MainWindowNavigation::zoom() const { return w_.Zoom(); }
double MainWindowNavigation::rollInnerWidth() const { return w_.view().picture(QStringLiteral("Picture2")).scaleWidth(); }
double MainWindowNavigation::vScrollWidth() const { return w_.Layout.VScroll1.width; }
const ScrollBarState& MainWindowNavigation::hScroll() const { return w_.HScroll1; }
void MainWindowNavigation::setHScrollValue(int value) { w_.SetHScrollValue(value); }
void MainWindowNavigation::DrawBackground() { w_.DrawBackground(); }
void MainWindowNavigation::DrawNotes() { w_.DrawNotes(); }
QString MainWindowNavigation::lyricEntryText() const { return w_.view().text(kLyricEntry); }
void MainWindowNavigation::focusLyricEntry() { w_.view().setFocusTo(kLyricEntry); }

QString MainWindowNavigation::focusedTextBox() const {
    for (const QString& box : {kLyricEntry, QStringLiteral("Text1"), QStringLiteral("txtTempo")})
        if (w_.view().hasFocus(box)) return box;
    return QString();
}

void MainWindowNavigation::sendSelectAll(const QString& box) {
    // The box's own select-all, what Ctrl+A does in it.
    if (QObject* o = w_.view().windowObject(box)) QMetaObject::invokeMethod(o, "selectAll");
}

// ---------------------------------------------------------------------------------------------------
// The handlers of the main window

namespace {
template <typename Command>
void navigate(MainWindow& w, Command command) {
    MainWindowNavigation window(w);
    NoteNavigation navigation(window);
    (navigation.*command)();
}
}  // namespace

void MainWindow::mnNoteBack_Click() { navigate(*this, &NoteNavigation::mnNoteBack_Click); }
void MainWindow::mnNoteNext_Click() { navigate(*this, &NoteNavigation::mnNoteNext_Click); }
void MainWindow::mnNoteTop_Click() { navigate(*this, &NoteNavigation::mnNoteTop_Click); }
void MainWindow::mnNoteLast_Click() { navigate(*this, &NoteNavigation::mnNoteLast_Click); }
void MainWindow::mnNoteSelectTop_Click() { navigate(*this, &NoteNavigation::mnNoteSelectTop_Click); }
void MainWindow::mnSelectNotes_Click() { navigate(*this, &NoteNavigation::mnSelectNotes_Click); }
void MainWindow::mnSelectAll_Click() { navigate(*this, &NoteNavigation::mnSelectAll_Click); }
void MainWindow::mnSearch_Click() { navigate(*this, &NoteNavigation::mnSearch_Click); }
void MainWindow::mnSearchRev_Click() { navigate(*this, &NoteNavigation::mnSearchRev_Click); }

}  // namespace tova
