#pragma once

#include "MainWindowFakes.h"
#include "core/Settings.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/ui/Form1.h"
#include "platform/FakePorts.h"

#include <memory>

namespace tova::test {

// A started main window on fake services and fake modal windows, in a program folder of its own.
struct MainWindowRig {
    ScopedProgramFolder program;
    ScopedFakePorts modal;
    FakeCoreServices core;
    FakeVoiceBanks voiceBanks;
    FakeProjectFiles projectFiles;
    FakeGenerator generator;
    FakeMidi midi;
    FakeNoteDrawing drawing;
    FakeNoteEdit noteEdit;
    FakeVoiceTools voiceTools;
    FakeVoiceBankManager voiceBankManager;
    MainWindowPorts ports;
    std::unique_ptr<Form1> form;

    MainWindowRig() {
        settings() = Settings();
        settings().Tool1Path = QStringLiteral("/opt/tools/catena");
        settings().Tool2Path = QStringLiteral("/opt/tools/vorsa");
        core.temp = program.path() + QStringLiteral("/tmp");
        voiceBanks.list = {QStringLiteral("あいうえお\t/voices/aiueo"), QStringLiteral("デフォルト\t/voices/cantu")};
        ports.core = &core;
        ports.voiceBanks = &voiceBanks;
        ports.projectFiles = &projectFiles;
        ports.generator = &generator;
        ports.midi = &midi;
        ports.noteDrawing = &drawing;
        ports.noteEdit = &noteEdit;
        ports.voiceTools = &voiceTools;
        ports.voiceBankManager = &voiceBankManager;
    }
    MainWindow& w() { return form->logic(); }
    Form1& f() { return *form; }
    bool start(const QString& commandLine = QString()) {
        form = std::make_unique<Form1>(ports);
        return form->start(commandLine);
    }
    QString path(const QString& rel) const { return program.path() + u'/' + rel; }
    // Gives the song notes of these lengths (lyric "あ", note 40).
    void setSong(const QList<qint32>& lengths) {
        Song& s = w().song;
        s.Lengths = lengths;
        s.Lyrics.clear();
        s.NoteNums.clear();
        s.NoteExt.clear();
        for (qsizetype i = 0; i < lengths.size(); ++i) {
            s.Lyrics << QStringLiteral("あ");
            s.NoteNums << 40;
            s.NoteExt << QString();
        }
    }
};

}  // namespace tova::test
