// The editor from start to sound, offscreen: started on the demo song in a fresh program folder (whose
// default voice bank the start-up generates), the song rendered with the Generate menu item on the
// batch road, then played with the play button on a stand-in sound device while the playback timer
// moves the play-position line.
#include "OwnProgramFolder.h"
#include "core/Processes.h"
#include "core/ReadmeMarker.h"
#include "core/Settings.h"
#include "core/WaveFiles.h"
#include "exchange/ProgramVoiceBankAccess.h"
#include "mainwindow/ProgramCoreServices.h"
#include "mainwindow/ProgramDefaultVoiceGenerator.h"
#include "mainwindow/ProgramNoteDrawing.h"
#include "mainwindow/ProjectFiles.h"
#include "mainwindow/ProjectSettingsDialog.h"
#include "mainwindow/ProjectSettingsDialogPort.h"
#include "mainwindow/ui/Form1.h"
#include "platform/EventWait.h"
#include "platform/FakePorts.h"
#include "platform/SystemPaths.h"
#include "platform/ui/QtWheelHook.h"
#include "render/MciPort.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

using namespace tova;
using namespace Qt::Literals::StringLiterals;

namespace {

// A sound device that plays in the test's own time: opening, playing, pausing and closing change its
// mode; the position is the time since play began, until the length is reached.
class StandInDevice : public MciPort {
public:
    qint64 lengthMs = 4000;
    QStringList opened;
    QString mode = u"NG: not open"_s;
    QElapsedTimer clock;

    QString Open(const QString& path) override {
        opened << path;
        mode = u"stopped"_s;
        return QString();
    }
    void Close(const QString&) override { mode = u"NG: not open"_s; }
    QString Play(const QString&) override {
        if (mode.startsWith(u"NG")) return mode.mid(3);
        mode = u"playing"_s;
        clock.start();
        return QString();
    }
    void Pause(const QString&) override {
        if (mode == u"playing") mode = u"paused"_s;
    }
    QString Status(const QString& path, const QString& item) override {
        if (item == u"mode") return GetMode(path);
        if (mode.startsWith(u"NG")) return mode;
        return QString::number(std::min(clock.isValid() ? clock.elapsed() : 0, lengthMs));
    }
    QString GetMode(const QString&) override {
        if (mode == u"playing" && clock.elapsed() >= lengthMs) mode = u"stopped"_s;
        return mode;
    }
    void SendString(const QString&) override {}
};

// The settings dialog must not be needed: the demo's tools and bank check out.
class NoSettingsDialog : public ProjectSettingsDialogPort {
public:
    int shown = 0;
    bool ShowDialog(ProjectSettingsValues&) override {
        ++shown;
        return false;
    }
};

TEST(EndToEnd, StartOnTheDemoSongGenerateAndPlay) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString program = test::layOutProgramFolder(dir.filePath(u"prog"_s));
    // Not the first start: the readme was shown before (the test desktop has nothing that opens it).
    ASSERT_TRUE(WriteReadMarker(program));
    const QString songs = dir.filePath(u"songs"_s);
    QDir().mkpath(songs);
    const QString demo = songs + u"/demo.tvx"_s;
    ASSERT_TRUE(QFile::copy(test::sourceFolder() + u"/demo/demo.tvx"_s, demo));

    const QString savedTemp = TempFolder;
    // The instance folders live under a temporary folder of the test's own: an editor that a user
    // ran and killed leaves its folder (and recovery copy) in the machine's, and the start-up would
    // then rightly ask about it.
    const QByteArray savedTempVariable = qgetenv("TEMP");
    const bool hadTempVariable = qEnvironmentVariableIsSet("TEMP");
    const QString temporaries = dir.filePath(u"temp"_s);
    ASSERT_TRUE(QDir().mkpath(temporaries));
    qputenv("TEMP", QFile::encodeName(temporaries));
    SystemPaths::setProgramFolder(program);
    settings() = Settings{};
    {
        ScopedFakePorts modal;
        QtWheelHook wheelHook;
        WheelHookPort::install(&wheelHook);
        ProgramCoreServices core;
        ProgramDefaultVoiceGenerator generator;
        ProgramNoteDrawing noteDrawing;
        ProgramVoiceBankAccess voiceBankAccess;
        NoSettingsDialog settingsDialog;
        ProjectFiles::Services fileServices;
        fileServices.voices = &voiceBankAccess;
        fileServices.projectSettings = &settingsDialog;
        ProjectFiles files(fileServices);
        StandInDevice device;
        MainWindowPorts ports;
        ports.core = &core;
        ports.generator = &generator;
        ports.voiceBanks = &voiceBankAccess;
        ports.noteDrawing = &noteDrawing;
        ports.projectFiles = &files;
        ports.mci = &device;

        Form1 form(ports);
        ASSERT_TRUE(form.start(u'"' + demo + u'"'));
        form.resize(1000, 700);
        form.show();
        Song& song = form.logic().song;
        ASSERT_TRUE(QFile::exists(program + u"/voice/cantu/あ.wav"_s)) << "the start-up makes the default bank";
        EXPECT_EQ(song.ProjectPath, demo);
        EXPECT_EQ(song.VoiceDir, program + u"/voice/cantu"_s);
        EXPECT_GT(song.noteCount(), 10);
        EXPECT_EQ(form.windowTitle(), song.ProjectName + u" (demo.tvx) - ＴＯＶＡ"_s);
        EXPECT_EQ(settingsDialog.shown, 0);
        for (const MessageRequest& m : modal.messageBox.shown)
            ADD_FAILURE() << "message at start-up: " << m.title.toStdString() << " / " << m.text.toStdString();

        // Generate from the Project menu, answering the output name's dialog with the proposed name.
        const QString output = songs + u"/demo.wav"_s;
        modal.fileDialog.answers.enqueue(output);
        form.controlAs<QAction>(u"mnGenerate"_s)->trigger();
        ASSERT_EQ(modal.fileDialog.asked.size(), 1);
        EXPECT_EQ(modal.fileDialog.asked[0].fileName, output);
        ASSERT_EQ(modal.messageBox.shown.size(), 1);
        EXPECT_EQ(modal.messageBox.shown[0].text, output + u"を作成しました。"_s);
        WaveHeader header;
        QVector<qint16> samples;
        ASSERT_GT(ReadWaveFile(header, samples, output), 0);
        EXPECT_EQ(header.samplesPerSec, 44100);
        EXPECT_GT(samples.size(), 44100);  // the song lasts well over a second
        EXPECT_TRUE(form.isEnabled());

        // Again in process, through the tools' libraries with the render cache on; then after one sung note
        // moved a semitone, when only the stretch around it is appended again and the rest of the wave
        // comes from the previous output. The wave is the one a whole render gives.
        settings().UseDLL = true;
        settings().CacheEnable = true;
        auto generate = [&](const QString& name) {
            modal.messageBox.shown.clear();
            modal.fileDialog.answers.enqueue(name);
            form.controlAs<QAction>(u"mnGenerate"_s)->trigger();
            EXPECT_TRUE(modal.fileDialog.answers.isEmpty());
            return modal.messageBox.shown.size() == 1 ? modal.messageBox.shown[0].text : QString();
        };
        EXPECT_EQ(generate(output), output + u"を作成しました。"_s);
        // The record the next render checks the output against, in the song's cache folder.
        QDirIterator records(songs, {u"demo.render"_s}, QDir::Files, QDirIterator::Subdirectories);
        EXPECT_TRUE(records.hasNext());
        qint32 edited = song.noteCount() / 2;
        while (edited < song.lastNote() && song.Lyrics[edited] == u"R"_s) ++edited;
        song.NoteNums[edited] += 1;
        EXPECT_EQ(generate(output), output + u"を作成しました。"_s);
        const QString whole = songs + u"/whole.wav"_s;
        EXPECT_EQ(generate(whole), whole + u"を作成しました。"_s);
        QFile a(output), b(whole);
        ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        EXPECT_TRUE(a.readAll() == b.readAll()) << "the re-render differs from a whole render";
        EXPECT_TRUE(form.isEnabled());
        test::savePng(&form, u"end_to_end_rerendered"_s);

        // Play notes 1..4 with the play button: the selection is rendered into "temp.wav" and played;
        // the playback timer moves the play-position line across the notes.
        song.SelStart = 1;
        song.SelEnd = 4;
        form.controlAs<QAbstractButton>(u"btnPlay"_s)->click();
        ASSERT_EQ(device.opened.size(), 1);
        EXPECT_TRUE(QFile::exists(TempFolder + u"/temp.wav"_s));
        EXPECT_EQ(form.logic().PlayStartNote, 1);
        QWidget* line = form.controlAs<QWidget>(u"Line3"_s);
        ASSERT_NE(line, nullptr);
        EXPECT_TRUE(EventWait::until([&] { return line->isVisible() && form.logic().PlayPosition > 0; }, 10, nullptr, 5000));
        const int firstX = line->x();
        const qint32 firstPosition = form.logic().PlayPosition;
        EXPECT_TRUE(EventWait::until([&] { return line->x() > firstX + 5; }, 10, nullptr, 5000));
        EXPECT_GT(form.logic().PlayPosition, firstPosition);
        test::savePng(&form, u"end_to_end_playing"_s);
        // The end of the sound closes the device and hides the line.
        EXPECT_TRUE(EventWait::until([&] { return !line->isVisible(); }, 10, nullptr, 10000));
        EXPECT_EQ(form.logic().PlayPosition, 0);
        EXPECT_TRUE(device.mode.startsWith(u"NG"));

        // Quit: nothing changed, so no question; the instance's temporary folder goes.
        const QString temp = TempFolder;
        EXPECT_TRUE(form.close());
        EXPECT_FALSE(QDir(temp).exists());
        WheelHookPort::install(nullptr);
    }
    settings() = Settings{};
    SystemPaths::setProgramFolder(QString());
    TempFolder = savedTemp;
    if (hadTempVariable)
        qputenv("TEMP", savedTempVariable);
    else
        qunsetenv("TEMP");
}

}  // namespace
