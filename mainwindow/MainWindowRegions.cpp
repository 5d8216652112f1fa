#include "commands/RegionCommands.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MainWindowView.h"
#include "platform/Ports.h"

namespace tova {

namespace {

// Fills a menu control array with one enabled item per text; item 0 always stays, disabled and
// captioned "（なし）" when there is no text. A step that fails is passed over.
void fillMenuArray(MainWindowView& view, const QString& menu, const QStringList& texts) {
    for (int i = 0; i < texts.size(); ++i) {
        try {
            if (i >= 1 && i > view.menuArrayUpper(menu)) view.loadMenuElement(menu, i);
            view.setEnabled(menu, true, i);
            view.setText(menu, texts.at(i), i);
        } catch (...) {
        }
    }
    for (int i = view.menuArrayUpper(menu); i >= std::max<int>(int(texts.size()), 1); --i) {
        try {
            view.unloadMenuElement(menu, i);
        } catch (...) {
        }
    }
    if (texts.isEmpty()) {
        view.setEnabled(menu, false, 0);
        view.setText(menu, QStringLiteral("（なし）"), 0);
    }
}

}  // namespace

int MainWindow::FillLabelList() {
    if (song.noteCount() == 0) return 0;
    const QStringList labels = LabelList(song);
    fillMenuArray(view_, QStringLiteral("mnJump"), labels);
    return int(labels.size());
}

int MainWindow::FillRegionList() {
    if (song.noteCount() == 0) return 0;
    const QStringList names = RegionNameList(song);
    fillMenuArray(view_, QStringLiteral("mnRegion"), names);
    return int(names.size());
}

void MainWindow::mnGotoLabel_Click() {
    if (FillLabelList() <= 0) return;
    for (const char16_t* item : {u"mnSeparator35", u"mnNoteSelectTop2", u"mnNoteSelectEnd2"})
        view_.setVisible(QString::fromUtf16(item), false);
    int chosen = -1;
    view_.popupMenu(QStringLiteral("mnJumper"), &chosen);
}

void MainWindow::mnLabelAdd_Click() {
    const qint32 note = rulerNote();
    if (note >= 0 && note < song.noteCount()) Boxes.PlaceLabelEditor(note);
}

void MainWindow::mnLabelName_Click() { mnLabelAdd_Click(); }

void MainWindow::mnJump_Click(int index) {
    // With several equal labels the view ends at the last of them.
    for (qint32 note : NotesWithLabel(song, view_.text(QStringLiteral("mnJump"), index))) {
        ScrollToSelection(note, true);
        Redraw();
    }
}

void MainWindow::mnSelectRegion_Click() {
    if (FillRegionList() > 0) {
        int chosen = -1;
        view_.popupMenu(QStringLiteral("mnSelectRegionSel"), &chosen);
    } else {
        Ports::msgBox(QStringLiteral("記録された選択範囲はありません"), MsgButtons::OK, MsgIcon::None);
    }
}

void MainWindow::mnRegion_Click(int index) {
    if (!SelectRegionByName(*this, view_.text(QStringLiteral("mnRegion"), index))) return;
    ScrollToSelection(song.SelStart, false);
    Redraw();
}

}  // namespace tova
