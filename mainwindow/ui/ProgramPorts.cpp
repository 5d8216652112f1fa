#include "mainwindow/ui/ProgramPorts.h"

#include "autotune/ui/QtTuningDialogs.h"
#include "core/ui/frmEditBox.h"
#include "editors/ui/QtNoteDialogs.h"
#include "exchange/ProgramVoiceBankAccess.h"
#include "exchange/ui/frmPluginExecute.h"
#include "exchange/ui/frmSelectTrack.h"
#include "mainwindow/ProgramArchiveInstaller.h"
#include "mainwindow/ProgramCoreServices.h"
#include "mainwindow/ProgramDefaultVoiceGenerator.h"
#include "mainwindow/ProgramMidi.h"
#include "mainwindow/ProgramNoteDrawing.h"
#include "mainwindow/ProgramNoteEdit.h"
#include "mainwindow/ProjectFiles.h"
#include "mainwindow/RulerInput.h"
#include "mainwindow/SongImportCommands.h"
#include "mainwindow/ui/Form1.h"
#include "mainwindow/ui/ProgramVoiceTools.h"
#include "mainwindow/ui/QtDefaultVoiceRunView.h"
#include "mainwindow/ui/QtOptionsDialog.h"
#include "mainwindow/ui/QtProjectSettingsDialog.h"
#include "mainwindow/ui/WindowLoaders.h"
#include "voicebank/ui/QtPrefixMapEditor.h"
#include "voicebank/ui/QtSamplePicker.h"
#include "voicebank/ui/QtSuffixBroker.h"
#include "voicebank/ui/QtVoiceBankManager.h"
#include "voicebank/ui/QtVoiceBankTools.h"

namespace tova {

struct ProgramPorts::Services {
    ProgramCoreServices core;
    ProgramMidi midi;
    QtDefaultVoiceRunView generatorView;
    ProgramDefaultVoiceGenerator generator{&generatorView};
    SelectionRegionNames regionNames;
    ProgramNoteDrawing noteDrawing{&regionNames};
    ProgramVoiceBankAccess voiceBankAccess;
    ProgramVoiceTools voiceTools;
    ProgramArchiveInstaller installer;
    QtPluginWait pluginWait;
    QtOptionsDialog options{voiceBankAccess};
    bool loadersRegistered = (RegisterWindowLoaders(voiceBankAccess), true);
    QtProjectSettingsDialog projectSettings{voiceBankAccess, &voiceTools, &options};
    QtTrackChooser trackChooser;
    SongImportCommands importCommands{voiceBankAccess, trackChooser};
    ProjectFiles::Services fileServices = [this] {
        ProjectFiles::Services f;
        f.voices = &voiceBankAccess;
        f.projectSettings = &projectSettings;
        f.options = &options;
        f.installer = &installer;
        f.import = &importCommands;
        f.appendLoad = &importCommands;
        return f;
    }();
    ProjectFiles projectFiles{fileServices};
    QtVoiceBankManager* managerWindow = nullptr;
    QtVoiceBankTools voiceBankTools{[this] { return managerWindow ? managerWindow->window() : nullptr; }};
    QtVoiceBankManager voiceBankManager{&voiceBankTools.tools()};
    QtPrefixMapEditor prefixMapEditor;
    QtSuffixBroker suffixBroker;
    QtSamplePicker samplePicker;
    QtNoteDialogs noteDialogs;
    QtTuningDialogs tuningDialogs;
    ProgramNoteEdit noteEdit;
    MainWindowPorts ports;

    Services() {
        managerWindow = &voiceBankManager;
        ports.core = &core;
        ports.generator = &generator;
        ports.midi = &midi;
        ports.voiceBanks = &voiceBankAccess;
        ports.noteDrawing = &noteDrawing;
        ports.projectFiles = &projectFiles;
        ports.noteEdit = &noteEdit;
        ports.voiceTools = &voiceTools;
        ports.pluginWait = &pluginWait;
        ports.voiceBankManager = &voiceBankManager;
        ports.prefixMapEditor = &prefixMapEditor;
        ports.suffixBroker = &suffixBroker;
        ports.samplePicker = &samplePicker;
        ports.noteDialogs = &noteDialogs;
        ports.tuningDialogs = &tuningDialogs;
    }
};

ProgramPorts::ProgramPorts() : s_(std::make_unique<Services>()) {}

ProgramPorts::~ProgramPorts() = default;

MainWindowPorts& ProgramPorts::ports() { return s_->ports; }

void ProgramPorts::attach(Form1* form) {
    s_->pluginWait.setOwner(form);
    s_->trackChooser.setOwner(form);
    s_->midi.attach(form ? &form->logic() : nullptr);
    if (form)
        s_->core.setTextWindow([form](const QString& caption, const QString& text) {
            frmEditBox::ShowText(caption, text, form);
        });
    else
        s_->core.setTextWindow(nullptr);
    if (form)
        s_->options.setCacheFolder([form] { return form->logic().song.CacheDir; });
}

}  // namespace tova
