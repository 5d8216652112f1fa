#include "core/ShellOpenPort.h"
#include "core/ui/QtShellOpen.h"
#include "mainwindow/ProgramDefaultVoiceGenerator.h"
#include "mainwindow/ProgramCoreServices.h"
#include "mainwindow/ProgramMidi.h"
#include "mainwindow/ProgramNoteDrawing.h"
#include "mainwindow/ProgramVoiceBanks.h"
#include "mainwindow/Startup.h"
#include "mainwindow/ui/Form1.h"
#include "platform/ui/QtPorts.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tova"));
    tova::installQtPorts();
    static tova::QtShellOpen shellOpen;
    tova::ShellOpenPort::install(&shellOpen);

    tova::ProgramCoreServices core;
    tova::ProgramMidi midi;
    tova::ProgramVoiceBanks voiceBanks;
    tova::ProgramDefaultVoiceGenerator generator;
    tova::ProgramNoteDrawing noteDrawing;
    tova::MainWindowPorts ports;
    ports.core = &core;
    ports.generator = &generator;
    ports.midi = &midi;
    ports.voiceBanks = &voiceBanks;
    ports.noteDrawing = &noteDrawing;

    tova::Form1 w(ports);
    midi.attach(&w.logic());
    if (!w.start(tova::CommandLineText(QApplication::arguments().mid(1)))) return 0;
    w.show();
    const int code = QApplication::exec();
    midi.attach(nullptr);
    return code;
}
