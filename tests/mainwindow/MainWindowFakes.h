#pragma once

#include "mainwindow/CoreServices.h"
#include "mainwindow/DefaultVoiceGeneratorPort.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MidiPort.h"
#include "mainwindow/NoteDrawingPort.h"
#include "commands/NoteEditPort.h"
#include "mainwindow/PlaybackPort.h"
#include "mainwindow/ProjectFilesPort.h"
#include "exchange/VoiceBankAccess.h"
#include "commands/VoiceToolsPort.h"
#include "voicebank/VoiceBankManagerPort.h"
#include "platform/SystemPaths.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

namespace tova::test {

// Core services that record what start-up asks and answer from fields.
class FakeCoreServices : public CoreServices {
public:
    QStringList calls;
    QString temp;             // the TEMP variable
    int instance = 1;
    bool settingsFile = true;  // loadSettings finds a file
    bool staleMarker = false;
    QString currentFolder;
    QStringList commandsRun;
    QObject* wheelTarget = nullptr;
    WheelHandler wheel;
    std::function<QString(const QString&)> digest = [](const QString&) { return QString(32, u'0'); };

    QString tempVariable() override { return temp; }
    void setCurrentFolder(const QString& folder) override {
        calls << QStringLiteral("setCurrentFolder");
        currentFolder = folder;
    }
    void shellAndWait(const QString& commandLine, int) override {
        calls << QStringLiteral("shellAndWait");
        commandsRun << commandLine;
    }
    int countInstance() override {
        calls << QStringLiteral("countInstance");
        return instance;
    }
    QString makeTempFolder(int, const QString& planned, bool) override {
        calls << QStringLiteral("makeTempFolder");
        QDir().mkpath(planned);
        return planned;
    }
    void initWheelHook() override { calls << QStringLiteral("initWheelHook"); }
    void hookWheel(QObject* target, WheelHandler handler) override {
        calls << QStringLiteral("hookWheel");
        wheelTarget = target;
        wheel = std::move(handler);
    }
    bool checkReadMarker(const QString&) override {
        calls << QStringLiteral("checkReadMarker");
        return staleMarker;
    }
    bool showProgramReadme() override {
        calls << QStringLiteral("showProgramReadme");
        return readmeOpens;
    }
    bool readmeOpens = true;
    void shellOpen(const QString& path) override { calls << QStringLiteral("shellOpen ") + path; }
    bool loadSettings(MainWindowPlacement*) override {
        calls << QStringLiteral("loadSettings");
        return settingsFile;
    }
    void loadMessageTable() override { calls << QStringLiteral("loadMessageTable"); }
    void applyMenuStrings(LocalizableWindow&) override { calls << QStringLiteral("applyMenuStrings"); }
    void applyLabelButtonStrings(LocalizableWindow&) override { calls << QStringLiteral("applyLabelButtonStrings"); }
    QString md5File(const QString& path) override { return digest(path); }
    bool saveSettings(const MainWindowPlacement*) override {
        calls << QStringLiteral("saveSettings");
        return true;
    }
    void unhookWheels() override { calls << QStringLiteral("unhookWheels"); }
    void mciClose(const QString& path) override { calls << QStringLiteral("mciClose ") + path; }
    void closeInstanceMap() override { calls << QStringLiteral("closeInstanceMap"); }
};

// A program folder of its own for one test, restored afterwards.
class ScopedProgramFolder {
public:
    ScopedProgramFolder() { SystemPaths::setProgramFolder(dir.path()); }
    ~ScopedProgramFolder() { SystemPaths::setProgramFolder(QString()); }
    QString path() const { return dir.path(); }
    QTemporaryDir dir;
};

class FakeVoiceBanks : public VoiceBankAccess {
public:
    QStringList list;
    QStringList calls;
    QStringList aliases;
    void LoadVoiceBankList() override { calls << QStringLiteral("LoadVoiceBankList"); }
    QStringList VoiceBankList() override { return list; }
    void ClearOtoTable() override { calls << QStringLiteral("ClearOtoTable"); }
    void LoadOtoIni(const QString& dir) override { calls << QStringLiteral("LoadOtoIni ") + dir; }
    int32_t LoadPrefixMap(const QString& dir) override {
        calls << QStringLiteral("LoadPrefixMap ") + dir;
        return 0;
    }
    QStringList FindAliasForLyric(const QString&) override { return aliases; }
    // Not used by the main window's start-up and view code.
    QString GetSampleAlias(const QString& sample) override { return sample; }
    QString StripPrefixMap(qint32, const QString& alias) override { return alias; }
    void ReadCharacterTxt(QString&, QString& name, QString& image) override {
        name.clear();
        image.clear();
    }
};

class FakeProjectFiles : public ProjectFilesPort {
public:
    QStringList calls;
    QString commandLineCode;
    std::function<void(MainWindow&, const QString&)> open;
    QString ProcessCommandLine(EditContext&, const QString& commandLine) override {
        calls << QStringLiteral("ProcessCommandLine ") + commandLine;
        return commandLineCode;
    }
    bool OpenFileByType(EditContext& w, const QString& path) override {
        calls << QStringLiteral("OpenFileByType ") + path;
        if (open) open(MainWindow::of(w), path);
        return true;
    }
    void ShowVoiceInfo(EditContext&) override { calls << QStringLiteral("ShowVoiceInfo"); }
    void mnNew_Click(EditContext&) override { calls << QStringLiteral("mnNew_Click"); }
    void mnOpen_Click(EditContext&) override { calls << QStringLiteral("mnOpen_Click"); }
    void mnSave_Click(EditContext&) override { calls << QStringLiteral("mnSave_Click"); }
    void mnSaveAt_Click(EditContext&) override { calls << QStringLiteral("mnSaveAt_Click"); }
    void mnHistory_Click(EditContext&, int index) override { calls << QStringLiteral("mnHistory_Click %1").arg(index); }
    void mnAppendLoad_Click(EditContext&) override { calls << QStringLiteral("mnAppendLoad_Click"); }
    void mnImport_Click(EditContext&) override { calls << QStringLiteral("mnImport_Click"); }
    void mnProjSetting_Click(EditContext&) override { calls << QStringLiteral("mnProjSetting_Click"); }
    void mnOptions_Click(EditContext&) override { calls << QStringLiteral("mnOptions_Click"); }
    void Form_OLEDragDrop(EditContext&, const QStringList& files) override {
        calls << QStringLiteral("Form_OLEDragDrop ") + files.join(u'|');
    }
    bool Form_Unload(EditContext&) override {
        calls << QStringLiteral("Form_Unload");
        return false;
    }
};

class FakeMidi : public MidiPort {
public:
    int openInResult = 0;
    int openOutResult = 0;
    QStringList calls;
    int OpenMidiIn(const QString& name, QObject*) override {
        calls << QStringLiteral("OpenMidiIn ") + name;
        return openInResult;
    }
    void CloseMidiIn() override { calls << QStringLiteral("CloseMidiIn"); }
    int OpenMidiOut(const QString& name, QObject*) override {
        calls << QStringLiteral("OpenMidiOut ") + name;
        return openOutResult;
    }
    void CloseMidiOut() override { calls << QStringLiteral("CloseMidiOut"); }
    void SetStepInput(bool on) override { calls << QStringLiteral("SetStepInput %1").arg(on); }
    void SetSyncScroll(bool on) override { calls << QStringLiteral("SetSyncScroll %1").arg(on); }
};

// The window's timers tick into this port and change nothing. The program's own playback, with nothing
// playing, puts the play position back to 0 and hides the play-position line on every 32 ms tick: a test
// that sets the play position itself would lose it whenever a tick falls between its steps.
class IdlePlayback : public PlaybackPort {
public:
    void tmrPlaying_Timer(EditContext&) override {}
    void tmrMidiNote_Timer(EditContext&) override {}
};

// Counts the note drawings and the options they were asked with.
class FakeNoteDrawing : public NoteDrawingPort {
public:
    QStringList options;
    void DrawNotes(EditContext&, const QString& option) override { options << option; }
};

class FakeNoteEdit : public NoteEditPort {
public:
    QList<int> chosenAliases;
    void ApplyLyricText(EditContext&, qint32, const QString&) override {}
    void mnW0_Click(EditContext&, int index) override { chosenAliases << index; }
};

class FakeVoiceTools : public VoiceToolsPort {
public:
    QStringList shown;
    bool ShowVoiceProperty(const QString& voiceDir, const QString& caption, bool registerButton, QObject*) override {
        shown << voiceDir + u'|' + caption + u'|' + (registerButton ? u'1' : u'0');
        return false;
    }
};

class FakeVoiceBankManager : public VoiceBankManagerPort {
public:
    QStringList shown;  // folder|name1|name2|cache|tool2|quick
    int unloads = 0;
    bool ShowDialog(const QString& voiceFolder, const QString& name1, const QString& name2, const QString& cacheFolder,
                    const QString& tool2Path, bool quickOpen, QObject*) override {
        shown << QStringList{voiceFolder, name1, name2, cacheFolder, tool2Path, quickOpen ? QStringLiteral("1") : QStringLiteral("0")}
                     .join(u'|');
        return false;
    }
    void Unload() override { ++unloads; }
};

class FakeGenerator : public DefaultVoiceGeneratorPort {
public:
    QList<DefaultVoiceFile> list;
    QList<DefaultVoiceFile> files() override { return list; }
};

}  // namespace tova::test
