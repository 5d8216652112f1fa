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
#include "mainwindow/RulerInput.h"
#include "mainwindow/SongImportCommands.h"
#include "mainwindow/Startup.h"
#include "mainwindow/ui/Form1.h"
#include "mainwindow/ProgramArchiveInstaller.h"
#include "mainwindow/ui/ProgramVoiceTools.h"
#include "mainwindow/ui/QtDefaultVoiceRunView.h"
#include "mainwindow/ui/QtOptionsDialog.h"
#include "mainwindow/ui/QtProjectSettingsDialog.h"
#include "mainwindow/ui/WindowLoaders.h"
#include "platform/ui/QtPorts.h"
#include "autotune/ui/QtTuningDialogs.h"
#include "editors/ui/QtNoteDialogs.h"
#include "platform/ui/QtTranslations.h"
#include "voicebank/ui/QtPrefixMapEditor.h"
#include "voicebank/ui/QtSamplePicker.h"
#include "voicebank/ui/QtSuffixBroker.h"
#include "voicebank/ui/QtVoiceBankManager.h"
#include "voicebank/ui/QtVoiceBankTools.h"

#include "core/ui/ProgramFont.h"
#include "mainwindow/ProgramInfo.h"
#include "platform/ui/QtMessageBox.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tova"));
    QApplication::setFont(tova::programFont());
    tova::QtMessageBox::setProgramTitle(tova::ProgramInfo::Title());
    tova::installQtPorts();
    tova::installQtTranslations();
    static tova::QtShellOpen shellOpen;
    tova::ShellOpenPort::install(&shellOpen);

    tova::ProgramCoreServices core;
    tova::ProgramMidi midi;
    tova::QtDefaultVoiceRunView generatorView;
    tova::ProgramDefaultVoiceGenerator generator(&generatorView);
    tova::SelectionRegionNames regionNames;
    tova::ProgramNoteDrawing noteDrawing(&regionNames);
    tova::ProgramVoiceBankAccess voiceBankAccess;
    tova::ProgramVoiceTools voiceTools;
    tova::ProgramArchiveInstaller installer;
    tova::QtPluginWait pluginWait;
    tova::QtOptionsDialog options(voiceBankAccess);
    tova::RegisterWindowLoaders(voiceBankAccess);
    tova::QtProjectSettingsDialog projectSettings(voiceBankAccess, &voiceTools, &options);
    tova::ProjectFiles::Services fileServices;
    fileServices.voices = &voiceBankAccess;
    fileServices.projectSettings = &projectSettings;
    fileServices.options = &options;
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
    tova::QtTuningDialogs tuningDialogs;
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
    ports.tuningDialogs = &tuningDialogs;

    tova::Form1 w(ports);
    pluginWait.setOwner(&w);
    trackChooser.setOwner(&w);
    midi.attach(&w.logic());
    options.setCacheFolder([&w] { return w.logic().song.CacheDir; });
    if (!w.start(tova::CommandLineText(QApplication::arguments().mid(1)))) return 0;
    w.show();
    const int code = QApplication::exec();
    midi.attach(nullptr);
    return code;
}
