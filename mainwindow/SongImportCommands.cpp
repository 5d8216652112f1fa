#include "mainwindow/SongImportCommands.h"

#include "exchange/SongImport.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MainWindowPorts.h"
#include "mainwindow/WindowOfProject.h"

namespace tova {

void SongImportCommands::ImportMidiOrVsq(MainWindow& w, const QString& path) {
    WindowOfProject window(w, *w.ports().projectFiles);
    SongImport(window, voices_, chooser_).ImportMidiOrVsq(path);
}

void SongImportCommands::AppendLoadFile(MainWindow& w, const QString& path) {
    WindowOfProject window(w, *w.ports().projectFiles);
    SongImport(window, voices_, chooser_).AppendLoadFile(path);
}

}  // namespace tova
