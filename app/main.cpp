#include "core/ShellOpenPort.h"
#include "core/ui/QtShellOpen.h"
#include "exchange/ProgramVoiceBankAccess.h"
#include "exchange/ui/frmPluginExecute.h"
#include "exchange/ui/frmSelectTrack.h"
#include "mainwindow/ProgramDefaultVoiceGenerator.h"
#include "mainwindow/ProgramCoreServices.h"
#include "mainwindow/ProgramMidi.h"
#include "mainwindow/ProgramNoteDrawing.h"
#include "mainwindow/ProjectFiles.h"
#include "mainwindow/SongImportCommands.h"
#include "mainwindow/Startup.h"
#include "mainwindow/ui/Form1.h"
#include "mainwindow/ProgramArchiveInstaller.h"
#include "mainwindow/ui/ProgramVoiceTools.h"
#include "mainwindow/ui/QtDefaultVoiceRunView.h"
#include "mainwindow/ui/QtProjectSettingsDialog.h"
#include "platform/ui/QtPorts.h"
#include "editors/ui/QtNoteDialogs.h"
#include "platform/ui/QtTranslations.h"
#include "voicebank/ui/QtPrefixMapEditor.h"
#include "voicebank/ui/QtSamplePicker.h"
#include "voicebank/ui/QtSuffixBroker.h"
#include "voicebank/ui/QtVoiceBankManager.h"
#include "voicebank/ui/QtVoiceBankTools.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tova"));
    tova::installQtPorts();
    tova::installQtTranslations();
    static tova::QtShellOpen shellOpen;
    tova::ShellOpenPort::install(&shellOpen);

    tova::ProgramCoreServices core;
    tova::ProgramMidi midi;
    tova::QtDefaultVoiceRunView generatorView;
    tova::ProgramDefaultVoiceGenerator generator(&generatorView);
    tova::ProgramNoteDrawing noteDrawing;
    tova::ProgramVoiceBankAccess voiceBankAccess;
    tova::ProgramVoiceTools voiceTools;
    tova::ProgramArchiveInstaller installer;
    tova::QtPluginWait pluginWait;
    tova::QtProjectSettingsDialog projectSettings(voiceBankAccess, &voiceTools, nullptr);
    tova::ProjectFiles::Services fileServices;
    fileServices.voices = &voiceBankAccess;
    fileServices.projectSettings = &projectSettings;
    fileServices.installer = &installer;
    tova::QtTrackChooser trackChooser;
    tova::SongImportCommands importCommands(voiceBankAccess, trackChooser);
    fileServices.import = &importCommands;
    fileServices.appendLoad = &importCommands;
    tova::ProjectFiles projectFiles(fileServices);
    tova::QtVoiceBankManager* managerWindow = nullptr;
    tova::QtVoiceBankTools voiceBankTools([&managerWindow] { return managerWindow ? managerWindow->window() : nullptr; });
    tova::QtVoiceBankManager voiceBankManager(&voiceBankTools.tools());
    managerWindow = &voiceBankManager;
    tova::QtPrefixMapEditor prefixMapEditor;
    tova::QtSuffixBroker suffixBroker;
    tova::QtSamplePicker samplePicker;
    tova::QtNoteDialogs noteDialogs;
    tova::MainWindowPorts ports;
    ports.core = &core;
    ports.generator = &generator;
    ports.midi = &midi;
    ports.voiceBanks = &voiceBankAccess;
    ports.noteDrawing = &noteDrawing;
    ports.projectFiles = &projectFiles;
    ports.voiceTools = &voiceTools;
    ports.pluginWait = &pluginWait;
    ports.voiceBankManager = &voiceBankManager;
    ports.prefixMapEditor = &prefixMapEditor;
    ports.suffixBroker = &suffixBroker;
    ports.samplePicker = &samplePicker;
    ports.noteDialogs = &noteDialogs;

    tova::Form1 w(ports);
    pluginWait.setOwner(&w);
    trackChooser.setOwner(&w);
    midi.attach(&w.logic());
    if (!w.start(tova::CommandLineText(QApplication::arguments().mid(1)))) return 0;
    w.show();
    const int code = QApplication::exec();
    midi.attach(nullptr);
    return code;
}
