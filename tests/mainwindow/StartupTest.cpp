// Start-up and the new project, on fake services and fake modal windows.
#include "MainWindowRig.h"
#include "core/Processes.h"
#include "core/Settings.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/Startup.h"
#include "mainwindow/ui/Form1.h"
#include "platform/Errors.h"
#include "platform/FakePorts.h"
#include "song/ProjectFile.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScrollBar>

#include <gtest/gtest.h>

using namespace tova;
using namespace Qt::Literals::StringLiterals;

namespace {

using Rig = test::MainWindowRig;

TEST(Startup, TemporaryFolderNaming) {
    const struct { int instance; const char16_t* temp; const char16_t* expected; } cases[] = {
        {1, u"/var/tmp", u"/var/tmp/tova1"},
        {2, u"/var/tmp", u"/var/tmp/tova2"},  // a second copy started while the first runs
        {12, u"/var/tmp/", u"/var/tmp/tova12"},
        {1, u"", u"/prog/temp1"},             // no TEMP: the program folder's temp1
        {0, u"/var/tmp", u"/prog/temp0"},     // no instance number
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.instance);
        EXPECT_EQ(InstanceTempFolderPath(c.instance, QString::fromUtf16(c.temp), u"/prog"_s), QString::fromUtf16(c.expected));
    }
}

TEST(Startup, TemporaryFolderThroughTheStartUp) {
    for (const bool withTemp : {true, false}) {
        SCOPED_TRACE(withTemp);
        Rig rig;
        rig.core.instance = 2;
        if (!withTemp) rig.core.temp.clear();
        ASSERT_TRUE(rig.start());
        const QString expected = withTemp ? rig.core.temp + u"/tova2"_s : rig.path(u"temp2"_s);
        EXPECT_EQ(TempFolder, expected);
        EXPECT_EQ(rig.w().song.TempFolder, expected);
        EXPECT_TRUE(QDir(expected).exists());
    }
}

// Temporary files a killed render of an earlier run left in the temporary folder go at start; files of
// any other form stay.
TEST(Startup, LeftoversOfAKilledRenderGoAtStart) {
    Rig rig;
    rig.core.instance = 3;
    const QString folder = rig.core.temp + u"/tova3"_s;
    const QString dead = u"2147480000"_s;
    const QStringList leftovers{folder + u"/temp.wav."_s + dead + u"-0.tmp"_s,
                                folder + u"/temp$$$7.wav."_s + dead + u"-4.tmp"_s,
                                folder + u"/temp.cache/2_a_C4_600.wav."_s + dead + u"-1.tmp"_s};
    const QStringList kept{folder + u"/temp.wav"_s, folder + u"/song.tvx."_s + dead + u"-0.tmp"_s,
                           folder + u"/temp$$$7.wav.tmp"_s};
    for (const QString& f : leftovers + kept) test::writeFile(f, "x");
    ASSERT_TRUE(rig.start());
    for (const QString& f : leftovers) EXPECT_FALSE(QFile::exists(f)) << f.toStdString();
    for (const QString& f : kept) EXPECT_TRUE(QFile::exists(f)) << f.toStdString();
}

TEST(Startup, OrderOfTheServicesAndTheWheelTarget) {
    Rig rig;
    ASSERT_TRUE(rig.start());
    const QStringList expected{u"countInstance"_s, u"makeTempFolder"_s, u"initWheelHook"_s, u"hookWheel"_s,
                               u"checkReadMarker"_s, u"loadSettings"_s, u"loadMessageTable"_s,
                               u"applyMenuStrings"_s, u"applyLabelButtonStrings"_s};
    EXPECT_EQ(rig.core.calls, expected);
    // The wheel goes to the roll and scrolls it: away from the user shows higher notes.
    EXPECT_EQ(rig.core.wheelTarget, rig.form->control(u"Picture2"_s));
    const int before = rig.w().VScroll1.Value;
    int16_t keys = 0;
    rig.core.wheel(+1, keys);
    EXPECT_EQ(rig.w().VScroll1.Value, before - 1);
    EXPECT_EQ(rig.form->controlAs<QScrollBar>(u"VScroll1"_s)->value(), before - 1);
    EXPECT_EQ(rig.voiceBanks.calls.first(), u"LoadVoiceBankList"_s);
    // No command line: the default voice bank is loaded; the voice information is shown last.
    EXPECT_TRUE(rig.voiceBanks.calls.contains(u"LoadOtoIni /voices/cantu"_s));
    EXPECT_TRUE(rig.voiceBanks.calls.contains(u"LoadPrefixMap /voices/cantu"_s));
    EXPECT_EQ(rig.projectFiles.calls, QStringList{u"ShowVoiceInfo"_s});
}

TEST(Startup, NewProjectState) {
    Rig rig;
    ASSERT_TRUE(rig.start());
    MainWindow& w = rig.w();
    Form1& f = *rig.form;
    const Song& s = w.song;
    EXPECT_EQ(s.noteCount(), 0);
    EXPECT_TRUE(s.Lyrics.isEmpty());
    EXPECT_EQ(s.Lengths.size(), 1);
    EXPECT_EQ(s.NoteNums.size(), 1);
    EXPECT_EQ(s.NoteExt.size(), 1);
    EXPECT_EQ(s.SelStart, 0);
    EXPECT_EQ(s.SelEnd, 0);
    EXPECT_EQ(s.ProjectName, u"新規プロジェクト"_s);
    EXPECT_TRUE(s.ProjectPath.isEmpty());
    EXPECT_TRUE(s.CacheDir.isEmpty());
    EXPECT_TRUE(s.ProjectFlags.isEmpty());
    EXPECT_EQ(s.VoiceDir, u"/voices/cantu"_s);  // the entry named "デフォルト"
    EXPECT_EQ(s.Tool1, u"/opt/tools/catena"_s);
    EXPECT_EQ(s.Tool2, u"/opt/tools/vorsa"_s);
    EXPECT_EQ(s.Tempo, 120.0f);
    EXPECT_FALSE(s.IsModified);
    EXPECT_EQ(s.UndoPos, 0);
    EXPECT_TRUE(s.UndoTexts.isEmpty());
    EXPECT_EQ(f.windowTitle(), u"新規プロジェクト - ＴＯＶＡ"_s);
    EXPECT_EQ(f.text(u"txtTempo"_s), u"120.00"_s);
    EXPECT_EQ(f.statusText(1), u"0.500000 sec"_s);
    EXPECT_EQ(f.statusText(4), u"M"_s);
    EXPECT_EQ(f.text(u"mnUndo"_s), u"元に戻す(&U)"_s);
    EXPECT_EQ(f.text(u"mnRedo"_s), u"やり直す(&Y)"_s);
    EXPECT_FALSE(f.enabled(u"mnUndo"_s));
    EXPECT_FALSE(f.enabled(u"mnRedo"_s));
    // View defaults.
    EXPECT_EQ(w.Zoom(), 2.0f);
    EXPECT_EQ(w.RowHeight(), 210);
    EXPECT_EQ(w.BeatsPerBar, 4);
    EXPECT_EQ(f.value(u"mnMeasure4"_s), 1);
    EXPECT_EQ(f.value(u"Combo1"_s), 2);
    EXPECT_EQ(w.NewNoteLength, 1920);
    EXPECT_EQ(f.value(u"cmbQuntize"_s), 2);
    EXPECT_EQ(f.itemData(u"cmbQuntize"_s, 2), 240);
    EXPECT_EQ(w.CurNote, -1);
    EXPECT_EQ(w.NoteGeometry.size(), 1);
    // The roll at its design height: 28 rows scrolled off the top (C5 at the top of the view).
    EXPECT_EQ(w.VScroll1.Value, 28);
    EXPECT_EQ(w.HScroll1.Max, 32);
    // Without a settings file the cache is on, with deletion at exit; with one it stays as read.
    EXPECT_FALSE(settings().CacheEnable);
    Rig fresh;
    fresh.core.settingsFile = false;
    ASSERT_TRUE(fresh.start());
    EXPECT_TRUE(settings().CacheEnable);
    EXPECT_TRUE(settings().CacheDeleteOnUnload);
}

TEST(Startup, NewProjectOnARollTallerThanAllRows) {
    Rig rig;
    ASSERT_TRUE(rig.start());
    rig.form->show();
    rig.form->resize(1000, 1400);  // 85 rows of 210 twips are 1190 pixels
    QApplication::processEvents();
    ASSERT_GT(rig.form->control(u"Picture2"_s)->property("height").toInt(), 1190);
    // From a position of 28, NewProject gives the range 55 and keeps 28 (no change, so no redraw yet).
    rig.w().VScroll1 = ScrollBarState{1, 60, 28, 12, 1};
    rig.w().NewProject();
    EXPECT_EQ(rig.w().VScroll1.Max, 55);
    EXPECT_EQ(rig.w().VScroll1.Value, 28);
    // The next background drawing finds that every row fits: the bar spans 1 down to 0.
    rig.w().DrawBackground();
    EXPECT_EQ(rig.w().VScroll1.Max, 0);
    EXPECT_EQ(rig.w().VScroll1.Value, 1);
    EXPECT_TRUE(rig.form->controlAs<QScrollBar>(u"VScroll1"_s)->invertedAppearance());
}

TEST(Startup, DefaultVoicePathTable) {
    const QStringList list{u"A\t/a"_s, u"デフォルト\t/d"_s, u"B\t/b\tx\ty"_s};
    EXPECT_EQ(DefaultVoicePathIn(list, QString()), u"/d"_s);
    EXPECT_EQ(DefaultVoicePathIn(list, u"B"_s), u"/b"_s);
    EXPECT_EQ(DefaultVoicePathIn(list, u"none"_s), u"/a"_s);  // no match: the first entry
    EXPECT_EQ(DefaultVoicePathIn(QStringList{u"only"_s}, u"x"_s), QString());  // padded fields
    EXPECT_EQ(DefaultVoicePathIn(QStringList(), QString()), QString());
}

TEST(Startup, DefaultVoiceEntryBesideTheProgram) {
    for (const bool withWave : {true, false}) {
        SCOPED_TRACE(withWave);
        Rig rig;
        if (withWave) test::writeFile(rig.path(u"cantu/a.wav"_s), "RIFF");
        else QDir().mkpath(rig.path(u"cantu"_s));
        ASSERT_TRUE(rig.start());
        if (withWave)
            EXPECT_EQ(settings().OtoList, QStringList{u"デフォルト\t"_s + rig.path(u"cantu"_s)});
        else
            EXPECT_TRUE(settings().OtoList.isEmpty());
    }
}

TEST(Startup, DefaultVoiceGeneratorRunsOnlyWhenItsFilesMatch) {
    struct Case { const char* what; bool batch; bool digestsMatch; bool runs; };
    const Case cases[] = {
        {"generator in place", true, true, true},
        {"a file differs", true, false, false},
        {"no batch", false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        const QString voice = rig.path(u"voice/cantu"_s);
        rig.generator.list = {{u"initvox.bat"_s, u"aaaa"_s}, {u"initvox"_s, u"bbbb"_s}, {u"voice.dat"_s, u"cccc"_s}};
        if (c.batch) test::writeFile(voice + u"/initvox.bat"_s, "rem\r\n");
        test::writeFile(voice + u"/initvox"_s, "x");
        test::writeFile(voice + u"/voice.dat"_s, "y");
        rig.core.digest = [&](const QString& path) -> QString {
            const QString name = path.section(u'/', -1);
            if (name == u"initvox.bat") return u"aaaa"_s;
            if (name == u"initvox") return c.digestsMatch ? u"bbbb"_s : u"ffff"_s;
            return u"cccc"_s;
        };
        ASSERT_TRUE(rig.start());
        EXPECT_EQ(rig.core.commandsRun.size(), c.runs ? 1 : 0);
        if (c.runs) {
            EXPECT_EQ(rig.core.commandsRun[0], u"\""_s + rig.path(u"batrun"_s) + u"\" \""_s + voice + u"/initvox.bat\""_s);
            // The batch runs in the voice folder; afterwards the program folder is current again.
            EXPECT_EQ(rig.core.calls.mid(0, 3), (QStringList{u"setCurrentFolder"_s, u"shellAndWait"_s, u"setCurrentFolder"_s}));
            EXPECT_EQ(rig.core.currentFolder, rig.program.path());
        }
    }
    // A generator without files never passes the check.
    EXPECT_FALSE(CheckDefaultVoiceTools(u"/nowhere"_s, {}, [](const QString&) { return QString(); }));
}

TEST(Startup, InstallerSwitches) {
    {
        Rig rig;
        EXPECT_FALSE(rig.start(u"/Commit"_s));
        EXPECT_TRUE(rig.core.calls.isEmpty());  // ends before the instance number is taken
    }
    {
        Rig rig;
        const QString voice = rig.path(u"voice/cantu"_s);
        test::writeFile(voice + u"/a.wav"_s, "1");
        test::writeFile(voice + u"/b.WAV"_s, "2");
        test::writeFile(voice + u"/oto.ini"_s, "3");
        EXPECT_FALSE(rig.start(u"/Uninstall"_s));
        EXPECT_FALSE(QFile::exists(voice + u"/a.wav"_s));
        EXPECT_FALSE(QFile::exists(voice + u"/b.WAV"_s));
        EXPECT_TRUE(QFile::exists(voice + u"/oto.ini"_s));
    }
    {
        // Another letter case is an ordinary command-line path.
        Rig rig;
        const QString voice = rig.path(u"voice/cantu"_s);
        test::writeFile(voice + u"/a.wav"_s, "1");
        EXPECT_TRUE(rig.start(u"/uninstall"_s));
        EXPECT_TRUE(QFile::exists(voice + u"/a.wav"_s));
        EXPECT_TRUE(rig.projectFiles.calls.contains(u"ProcessCommandLine /uninstall"_s));
    }
}

TEST(Startup, CommandLineDecidesWhetherTheDefaultVoiceLoads) {
    const struct { const char16_t* code; bool loads; } cases[] = {{u"LOADPROJ", false}, {u"VOICEDIR", false}, {u"", true}, {u"INSTALL", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.code).toStdString());
        Rig rig;
        rig.projectFiles.commandLineCode = QString::fromUtf16(c.code);
        ASSERT_TRUE(rig.start(u"/songs/a b.tvx"_s));
        EXPECT_EQ(rig.projectFiles.calls.first(), u"ProcessCommandLine /songs/a b.tvx"_s);
        EXPECT_EQ(rig.voiceBanks.calls.contains(u"LoadOtoIni /voices/cantu"_s), c.loads);
    }
    EXPECT_EQ(CommandLineText({u"/songs/a b.tvx"_s}), u"\"/songs/a b.tvx\""_s);
    EXPECT_EQ(CommandLineText({u"/Commit"_s}), u"/Commit"_s);

    // A relative path is fixed to the folder the program starts in, so that start-up changing the
    // current folder does not lose it; a relative name of nothing stays as typed.
    const QString started = tova::test::outputFolder() + u"/command line"_s;
    QDir().mkpath(started + u"/songs"_s);
    tova::test::writeFile(started + u"/songs/s.tvx"_s, QByteArray("[#SETTING]\r\n"));
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(started));
    const QString relative = CommandLineText({u"songs/s.tvx"_s});
    const QString missing = CommandLineText({u"songs/none.tvx"_s});
    QDir::setCurrent(previous);
    EXPECT_EQ(relative, u'"' + QFileInfo(started + u"/songs/s.tvx"_s).absoluteFilePath() + u'"');
    EXPECT_EQ(missing, u"songs/none.tvx"_s);
}

TEST(Startup, RecoveryProjectAnsweredYesIsLoaded) {
    Rig rig;
    // A leftover recovery copy of one note in this instance's temporary folder.
    const QString folder = rig.core.temp + u"/tova1"_s;
    NoteArrays notes;
    notes.Lengths = {1920};
    notes.Lyrics = {u"あ"_s};
    notes.NoteNums = {36};
    notes.NoteExt = {QString()};
    ProjectSettings ps;
    ps.ProjectName = u"なくした歌"_s;
    ps.VoiceDir = u"/voices/aiueo"_s;
    QDir().mkpath(folder);
    WriteProjectFile(folder + u"/temp$$$.tvx"_s, ps, notes);
    rig.projectFiles.open = [](MainWindow& w, const QString& path) {
        ProjectSettings s = w.song.projectSettings();
        qint32 index = 0;
        ReadProjectFile(path, s, index, w.song);
        w.song.setProjectSettings(s);
        w.song.ProjectPath = path;
    };
    rig.modal.messageBox.answers.enqueue(MsgResult::Yes);
    ASSERT_TRUE(rig.start(u"/songs/other.tvx"_s));

    ASSERT_EQ(rig.modal.messageBox.shown.size(), 1);
    const MessageRequest& q = rig.modal.messageBox.shown[0];
    EXPECT_EQ(q.text, u"以前に異常終了したプロジェクトが見つかりました。回復しますか？"_s);
    EXPECT_EQ(q.buttons, MsgButtons::YesNo);
    EXPECT_EQ(q.icon, MsgIcon::Information);
    const Song& s = rig.w().song;
    EXPECT_EQ(s.noteCount(), 1);
    EXPECT_EQ(s.Lyrics[0], u"あ"_s);
    EXPECT_EQ(s.ProjectName, u"なくした歌"_s);
    EXPECT_TRUE(s.ProjectPath.isEmpty());  // the next save asks for a name
    EXPECT_TRUE(s.IsModified);
    EXPECT_EQ(rig.form->windowTitle(), u"なくした歌 - ＴＯＶＡ (*)"_s);
    // The project named on the command line is not looked at, and the default voice is not loaded.
    EXPECT_EQ(rig.projectFiles.calls, (QStringList{u"OpenFileByType "_s + folder + u"/temp$$$.tvx"_s, u"ShowVoiceInfo"_s}));
    EXPECT_FALSE(rig.voiceBanks.calls.contains(u"LoadOtoIni /voices/cantu"_s));
}

TEST(Startup, RecoveryProjectAnsweredNoStays) {
    Rig rig;
    const QString file = rig.core.temp + u"/tova1/temp$$$.tvx"_s;
    test::writeFile(file, "[#SETTING]\r\n[#TRACKEND]\r\n");
    rig.modal.messageBox.answers.enqueue(MsgResult::No);
    ASSERT_TRUE(rig.start(u"/songs/other.tvx"_s));
    EXPECT_EQ(rig.modal.messageBox.shown.size(), 1);
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_FALSE(rig.w().song.IsModified);
    EXPECT_EQ(rig.projectFiles.calls.first(), u"ProcessCommandLine /songs/other.tvx"_s);
}

TEST(Startup, ReadmeMarkerAndMode2Setting) {
    Rig rig;
    rig.core.staleMarker = true;
    settings().Mode2 = true;
    rig.core.settingsFile = true;
    rig.form = std::make_unique<Form1>(rig.ports);
    // The settings are read after the window exists and before the mode switch is set.
    ASSERT_TRUE(rig.form->start(QString()));
    EXPECT_TRUE(rig.core.calls.contains(u"showProgramReadme"_s));
    Form1& f = *rig.form;
    EXPECT_EQ(f.value(u"chkAutoPitchMode2"_s), 1);
    EXPECT_TRUE(f.visible(u"cmdRender"_s));
    EXPECT_TRUE(f.visible(u"chkTraceMode"_s));
    EXPECT_TRUE(f.visible(u"mnNoteDefaultPitch"_s));
    EXPECT_EQ(f.value(u"chkCurve"_s), 1);
    EXPECT_EQ(f.value(u"mnShowCurve"_s), 1);
    EXPECT_TRUE(rig.w().song.Mode2);
}

// A readme that cannot be shown (gone or unreadable): the Help item says so; the first start, which
// shows the readme only when it is there, says nothing. A readme that is shown needs no message.
TEST(Startup, AReadmeThatCannotBeShownIsSaidSoOnlyByTheMenu) {
    for (const bool opens : {true, false}) {
        SCOPED_TRACE(opens);
        Rig rig;
        rig.core.readmeOpens = opens;
        rig.core.staleMarker = true;
        rig.form = std::make_unique<Form1>(rig.ports);
        ASSERT_TRUE(rig.form->start(QString()));
        EXPECT_TRUE(rig.core.calls.contains(u"showProgramReadme"_s));
        const qsizetype before = rig.modal.messageBox.shown.size();
        for (const MessageRequest& m : rig.modal.messageBox.shown) EXPECT_FALSE(m.text.contains(u"readme.txt"_s));
        rig.w().mnShowReadme_Click();
        ASSERT_EQ(rig.modal.messageBox.shown.size(), before + (opens ? 0 : 1));
        if (!opens) EXPECT_TRUE(rig.modal.messageBox.shown.last().text.contains(u"readme.txt"_s));
    }
}

// A service that fails from the messages step on.
class FailingCore : public test::FakeCoreServices {
public:
    void loadMessageTable() override { throw FileError(u"ファイルが見つかりません。"_s); }
};

TEST(Startup, FailureAfterTheSettingsEndsStartUpWithAMessage) {
    Rig rig;
    FailingCore failing;
    failing.temp = rig.core.temp;
    rig.ports.core = &failing;
    ASSERT_TRUE(rig.start(u"/x.tvx"_s));
    ASSERT_EQ(rig.modal.messageBox.shown.size(), 1);
    EXPECT_EQ(rig.modal.messageBox.shown[0].text, u"ファイルが見つかりません。"_s);
    EXPECT_EQ(rig.modal.messageBox.shown[0].title, u"予期せぬエラー/x.tvx"_s);
    // The steps before the failure stand; later ones did not run.
    EXPECT_EQ(rig.w().Zoom(), 2.0f);
    EXPECT_TRUE(rig.projectFiles.calls.isEmpty());
}

}  // namespace
