#include "mainwindow/SongImportCommands.h"

#include "exchange/SongImport.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MainWindowPorts.h"
#include "mainwindow/WindowOfProject.h"

namespace tova {

void SongImportCommands::ImportMidiOrVsq(EditContext& context, const QString& path) {
    MainWindow& w = MainWindow::of(context);
    WindowOfProject window(w, *w.ports().projectFiles);
    SongImport(window, voices_, chooser_).ImportMidiOrVsq(path);
}

void SongImportCommands::AppendLoadFile(EditContext& context, const QString& path) {
    MainWindow& w = MainWindow::of(context);
    WindowOfProject window(w, *w.ports().projectFiles);
    SongImport(window, voices_, chooser_).AppendLoadFile(path);
}

}  // namespace tova
