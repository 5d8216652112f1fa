// The main window on the program's own services: instance folder, settings, readme marker, voice banks
// and the mouse wheel through the window hook.
#include "MainWindowFakes.h"
#include "core/InstanceCount.h"
#include "core/Processes.h"
#include "core/Settings.h"
#include "mainwindow/ProgramCoreServices.h"
#include "exchange/ProgramVoiceBankAccess.h"
#include "mainwindow/ui/Form1.h"
#include "core/FakeShellOpen.h"
#include "platform/FakePorts.h"
#include "platform/SystemPaths.h"
#include "platform/ui/QtWheelHook.h"
#include "render/OtoLoadHost.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QWheelEvent>

#include <gtest/gtest.h>

using namespace tova;
using namespace Qt::Literals::StringLiterals;

namespace {

struct RecordingOtoHost : OtoLoadHost {
    QStringList statuses;
    QString report;
    void SetOtoStatusText(const QString& text) override { statuses << text; }
    void ShowOtoReport(const QString& text) override { report = text; }
};

// A silent 44.1 kHz 16-bit mono wave of n frames.
QByteArray monoWave(int frames) {
    auto le32 = [](QByteArray& b, quint32 v) { for (int i = 0; i < 4; ++i) b.append(char((v >> (8 * i)) & 0xFF)); };
    auto le16 = [](QByteArray& b, quint16 v) { b.append(char(v & 0xFF)); b.append(char(v >> 8)); };
    QByteArray b("RIFF");
    le32(b, 36 + frames * 2);
    b.append("WAVEfmt ");
    le32(b, 16);
    le16(b, 1);
    le16(b, 1);
    le32(b, 44100);
    le32(b, 88200);
    le16(b, 2);
    le16(b, 16);
    b.append("data");
    le32(b, frames * 2);
    b.append(QByteArray(frames * 2, '\0'));
    return b;
}

void turnWheel(QWidget* w, int delta, Qt::KeyboardModifiers keys) {
    const QPointF at(10, 10);
    QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, keys, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

TEST(ProgramServices, StartUpOnTheProgramsOwnServices) {
    test::ScopedProgramFolder program;
    ScopedFakePorts modal;
    const QByteArray savedTemp = qgetenv("TEMP");
    const QString temp = program.path() + u"/tmp"_s;
    QDir().mkpath(temp);
    qputenv("TEMP", temp.toLocal8Bit());
    QtWheelHook hook;
    WheelHookPort::install(&hook);
    settings() = Settings();
    // One voice bank under the voice root.
    test::writeFile(program.path() + u"/voice/uta/oto.ini"_s, "a.wav=a,10,60,-20,40,10\r\n");
    test::writeFile(program.path() + u"/voice/uta/a.wav"_s, monoWave(4410));
    test::writeFile(program.path() + u"/voice/uta/character.txt"_s, "name=uta\r\n");
    {
        ProgramCoreServices core;
        ProgramVoiceBankAccess voiceBanks;
        MainWindowPorts ports;
        ports.core = &core;
        ports.voiceBanks = &voiceBanks;
        Form1 f(ports);
        // The window shows the load's progress and report; here they are recorded instead, so that
        // no modal report can wait for a reader.
        EXPECT_EQ(otoLoadHost(), &f);
        RecordingOtoHost recorder;
        setOtoLoadHost(&recorder);
        ASSERT_TRUE(f.start(QString()));
        EXPECT_EQ(recorder.report, QString());
        EXPECT_TRUE(recorder.statuses.contains(u"loading oto.ini..."_s));
        MainWindow& w = f.logic();

        // A private folder "tova<n>" in TEMP.
        EXPECT_TRUE(TempFolder.startsWith(temp + u"/tova"_s));
        QFileInfo info(TempFolder);
        EXPECT_TRUE(info.isDir());
        EXPECT_EQ(info.permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteOther), QFile::Permissions());
        // No settings file: the cache is on and is deleted at exit. The readme marker was written.
        EXPECT_TRUE(settings().CacheEnable);
        EXPECT_TRUE(settings().CacheDeleteOnUnload);
        EXPECT_TRUE(QFile::exists(program.path() + u"/$read"_s));
        EXPECT_EQ(QFileInfo(w.song.VoiceDir).fileName(), u"uta"_s);

        // The wheel over the roll: away from the user shows higher notes; with Ctrl+Shift it zooms.
        f.show();
        QApplication::processEvents();
        auto* roll = qobject_cast<QWidget*>(f.control(u"Picture2"_s));
        const int v = w.VScroll1.Value;
        turnWheel(roll, 120, Qt::NoModifier);
        EXPECT_EQ(w.VScroll1.Value, v - 1);
        turnWheel(roll, -120, Qt::NoModifier);
        EXPECT_EQ(w.VScroll1.Value, v);
        turnWheel(roll, 120, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(w.Zoom(), 1.0f);
        turnWheel(roll, 120, Qt::ControlModifier);
        EXPECT_EQ(w.RowHeight(), 240);
        turnWheel(roll, -120, Qt::ShiftModifier);
        EXPECT_EQ(w.HScroll1.Value, 1);
        CloseInstanceMap();
        setOtoLoadHost(nullptr);
    }
    WheelHookPort::install(nullptr);
    if (savedTemp.isNull()) qunsetenv("TEMP");
    else qputenv("TEMP", savedTemp);
}

}  // namespace

namespace {

// Help › ReadMe.txt: the program folder that the build lays out holds the readme, and the command shows
// it in the program's own text window (nothing is handed to the desktop); without a window or without
// the file it shows nothing and says so by returning false.
TEST(ProgramServices, HelpShowsTheShippedReadme) {
    const QString saved = SystemPaths::programFolder();
    SystemPaths::setProgramFolder(test::programFolder());
    FakeShellOpen shell;
    ProgramCoreServices services;
    EXPECT_FALSE(services.showProgramReadme());
    QStringList shown;
    services.setTextWindow([&](const QString& caption, const QString& text) { shown << caption << text; });
    EXPECT_TRUE(services.showProgramReadme());
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0], u"readme.txt"_s);
    EXPECT_TRUE(shown[1].contains(u"歌声合成エディタ"_s));
    EXPECT_EQ(shown[1], QString::fromUtf8(test::readFile(test::programFolder() + u"/readme.txt"_s)));
    EXPECT_TRUE(shell.opened.isEmpty());

    QTemporaryDir empty;
    SystemPaths::setProgramFolder(empty.path());
    EXPECT_FALSE(services.showProgramReadme());
    EXPECT_EQ(shown.size(), 2);
    SystemPaths::setProgramFolder(saved);
}

}  // namespace
