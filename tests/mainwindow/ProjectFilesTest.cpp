// The file side of the main window: opening, saving, the command line and drops, the project settings
// command and the unload, on a started main window with fake services and fake modal windows.
#include "../exchange/ExchangeFakes.h"
#include "../exchange/SmfFixtures.h"
#include "MainWindowRig.h"

#include "core/Processes.h"
#include "core/Settings.h"
#include "commands/ArchiveInstallerPort.h"
#include "mainwindow/ProgramNoteDrawing.h"
#include "mainwindow/ProjectFiles.h"
#include "mainwindow/RollCanvas.h"
#include "mainwindow/RollCoordinates.h"
#include "mainwindow/SongImportCommands.h"
#include "exchange/TrackChooserPort.h"
#include "mainwindow/ProjectSettingsDialog.h"
#include "mainwindow/ProjectSettingsDialogPort.h"
#include "platform/Cp932.h"
#include "song/NoteExtension.h"
#include "song/ProjectFile.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QThread>

#include <sys/stat.h>

#include <functional>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;
using namespace Qt::Literals::StringLiterals;

namespace {

class FakeSettingsDialog : public ProjectSettingsDialogPort {
public:
    QList<ProjectSettingsValues> shown;
    bool answer = true;
    std::function<void(ProjectSettingsValues&)> edit;
    bool ShowDialog(ProjectSettingsValues& values) override {
        shown << values;
        if (answer && edit) edit(values);
        return answer;
    }
};

class FakeInstaller : public ArchiveInstallerPort {
public:
    QStringList installed;
    void InstallArchive(EditContext&, const QString& path) override { installed << path; }
};

void makeProgram(const QString& path) {
    writeFile(path, "#!/bin/sh\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// A started main window whose file side is the real one, over a program folder with both tools and the
// bank "cantu" under its voice root, and a project folder "work".
struct FilesRig {
    MainWindowRig rig;
    FakeVoiceBank voices;
    FakeSettingsDialog dialog;
    ProjectFiles files;
    QString work;

    explicit FilesRig(ArchiveInstallerPort* installer = nullptr, NoteDrawingPort* drawing = nullptr)
        : files(services(installer)) {
        if (drawing) rig.ports.noteDrawing = drawing;
        makeProgram(rig.path(u"catena"_s));
        makeProgram(rig.path(u"vorsa"_s));
        QDir().mkpath(rig.path(u"voice/cantu"_s));
        writeFile(rig.path(u"voice/cantu/oto.ini"_s), "a.wav=\x82\xa0,0,0,0,0,0\r\n");
        work = rig.path(u"work"_s);
        QDir().mkpath(work);
        rig.ports.projectFiles = &files;
        EXPECT_TRUE(rig.start());
        settings().Tool1Path = rig.path(u"catena"_s);
        settings().Tool2Path = rig.path(u"vorsa"_s);
        rig.modal.messageBox.shown.clear();
    }
    ProjectFiles::Services services(ArchiveInstallerPort* installer) {
        ProjectFiles::Services s;
        s.voices = &voices;
        s.projectSettings = &dialog;
        s.installer = installer;
        return s;
    }
    MainWindow& w() { return rig.w(); }
    Song& song() { return rig.w().song; }
    FakeMessageBox& box() { return rig.modal.messageBox; }
    FakeFileDialog& fileDialog() { return rig.modal.fileDialog; }
    QString caption() const { return rig.form->windowTitle(); }

    // A project file in the work folder with two notes and relative paths.
    // A project file in the work folder of notes of these lengths (lyric "あ", note 40).
    QString writeSong(const QString& name, const QList<qint32>& lengths) {
        ProjectSettings s;
        s.ProjectName = name;
        s.VoiceDir = u"%VOICE%cantu"_s;
        s.Tool1 = u"catena"_s;
        s.Tool2 = u"vorsa"_s;
        NoteArrays notes;
        notes.resizeNotes(qint32(lengths.size()));
        notes.Lengths = lengths;
        notes.Lyrics = QStringList(lengths.size(), u"あ"_s);
        notes.NoteNums = QList<qint32>(lengths.size(), 40);
        const QString path = work + u'/' + name;
        WriteProjectFile(path, s, notes);
        return path;
    }
    QString writeFixture(const QString& name) {
        ProjectSettings s;
        s.ProjectName = u"うた"_s;
        s.VoiceDir = u"%VOICE%cantu"_s;
        s.OutFile = u"song.wav"_s;
        s.Tool1 = u"catena"_s;
        s.Tool2 = u"vorsa"_s;
        s.Flags = u"g-5"_s;
        s.Tempo = 133.5f;
        NoteArrays notes;
        notes.resizeNotes(3);
        notes.Lyrics = {u"あ"_s, u"R"_s, u"か"_s};
        notes.Lengths = {1920, 480, 960};
        notes.NoteNums = {36, 36, 40};
        notes.NoteExt = {u"10:5:120\t90\t-10\t0Q133.5 5 5\tB40\tenv=0 10 30 0 90 100 0\\n@foo=1"_s, QString(),
                         u"\t100\t0\t\t\ttempo=100"_s};
        const QString path = work + u'/' + name;
        WriteProjectFile(path, s, notes);
        return path;
    }
};

TEST(ProjectFiles, OpenSaveAsAndReopenGiveTheSameProject) {
    FilesRig r;
    r.files.OpenFileByType(r.w(), r.writeFixture(u"first.tvx"_s));
    Song& s = r.song();
    EXPECT_EQ(r.caption(), u"うた (first.tvx) - ＴＯＶＡ"_s);
    EXPECT_EQ(s.VoiceDir, r.rig.path(u"voice/cantu"_s));
    EXPECT_EQ(s.OutFile, r.work + u"/song.wav"_s);
    EXPECT_EQ(s.CacheDir, r.work + u"/first.cache"_s);
    EXPECT_EQ(r.rig.form->controlAs<QLabel>(u"lblVoice"_s)->text(), u"cantu"_s);
    EXPECT_EQ(r.dialog.shown.size(), 0);  // tools and voice folder check out
    const NoteArrays before = s;
    const QString voice = s.VoiceDir, tool1 = s.Tool1, tool2 = s.Tool2;

    r.fileDialog().answers.enqueue(r.work + u"/sub/second.tvx"_s);
    QDir().mkpath(r.work + u"/sub"_s);
    ASSERT_TRUE(r.files.SaveProjectAs(r.w()));
    EXPECT_EQ(r.fileDialog().asked.back().fileName, r.work + u"/first"_s);
    EXPECT_TRUE(r.fileDialog().asked.back().save);
    EXPECT_EQ(s.ProjectPath, r.work + u"/sub/second.tvx"_s);
    EXPECT_EQ(settings().History.value(1), r.work + u"/sub/second.tvx"_s);
    EXPECT_EQ(r.caption(), u"うた (second.tvx) - ＴＯＶＡ"_s);

    // What was stored: paths relative to where they lie.
    ProjectSettings stored;
    NoteArrays read;
    qint32 index = 0;
    ReadProjectFile(r.work + u"/sub/second.tvx"_s, stored, index, read);
    EXPECT_EQ(stored.VoiceDir, u"%VOICE%cantu"_s);
    EXPECT_EQ(stored.Tool1, u"catena"_s);
    EXPECT_EQ(stored.CacheDir, u"second.cache"_s);
    EXPECT_EQ(stored.OutFile, r.work + u"/song.wav"_s);  // not in the new folder: kept whole

    r.files.OpenFileByType(r.w(), r.work + u"/sub/second.tvx"_s);
    EXPECT_EQ(s.Lyrics, before.Lyrics);
    EXPECT_EQ(s.Lengths, before.Lengths);
    EXPECT_EQ(s.NoteNums, before.NoteNums);
    EXPECT_EQ(s.NoteExt.mid(0, 3), before.NoteExt.mid(0, 3));
    EXPECT_EQ(s.ProjectName, u"うた"_s);
    EXPECT_EQ(s.VoiceDir, voice);
    EXPECT_EQ(s.Tool1, tool1);
    EXPECT_EQ(s.Tool2, tool2);
    EXPECT_EQ(s.OutFile, r.work + u"/song.wav"_s);
    EXPECT_EQ(s.ProjectFlags, u"g-5"_s);
    EXPECT_FLOAT_EQ(s.Tempo, 133.5f);
    EXPECT_FALSE(s.IsModified);
}

class VoiceTrack : public TrackChooserPort {
public:
    qint32 SelectTrack(const QStringList&, qint32) override { return 2; }
};

// A song opened, begun or imported after scrolling far into a long one shows its own beginning, drawn
// there, with the scroll bar's range of the new song.
TEST(ProjectFiles, OpenedNewOrImportedSongShowsItsBeginning) {
    ProgramNoteDrawing drawing(nullptr);
    FilesRig r(nullptr, &drawing);
    r.rig.form->show();
    const QString longSong = r.writeSong(u"long.tvx"_s, QList<qint32>(2000, 1920));
    const QString shortSong = r.writeSong(u"short.tvx"_s, QList<qint32>(36, 1920));  // 9 measures
    // Two quarter notes of 480 ticks in a file of 480 ticks a quarter.
    smf::Track voice;
    voice.name("Voice A");
    voice.lyric(smf::Sa).on(0, 60).off(480, 60).lyric(smf::Sa).on(0, 60).off(480, 60);
    const QString midi = r.work + u"/short.mid"_s;
    writeFile(midi, smf::file(1, 480, {smf::conductor(500000), voice.end()}));
    VoiceTrack chooser;
    SongImportCommands import(r.voices, chooser);
    const double rollWidth = r.w().view().picture(u"Picture2"_s).width();
    const struct { const char* what; std::function<void()> run; qint64 length; } cases[] = {
        {"open", [&] { r.files.OpenFileByType(r.w(), shortSong); }, 36 * 1920},
        {"new", [&] { r.files.mnNew_Click(r.w()); }, 0},
        {"import", [&] { import.ImportMidiOrVsq(r.w(), midi); }, 2 * 1920},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(r.files.OpenFileByType(r.w(), longSong));
        r.w().SetHScrollValue(r.w().HScroll1.Max);  // the end of the long song
        ASSERT_GT(r.w().HScroll1.Value, 1900);
        r.song().SetModified(false);
        c.run();
        MainWindow& w = r.w();
        EXPECT_EQ(w.HScroll1.Value, 0);
        EXPECT_EQ(w.HScroll1.Max, RollCoordinates::hScrollMax(c.length, rollWidth, w.Zoom()));
        // What is on screen was drawn from the beginning, and the bar shows the same.
        if (c.length > 0) EXPECT_EQ(w.NoteGeometry[0].Left, 0.0f);
        const QScrollBar* bar = r.rig.form->controlAs<QScrollBar>(u"HScroll1"_s);
        EXPECT_EQ(bar->value(), 0);
        EXPECT_EQ(bar->maximum(), w.HScroll1.Max);
    }
}

// A name chosen without an extension is saved as ".tvx", which Save then writes again without asking
// and which Open's filter shows.
TEST(ProjectFiles, SaveAsGivesANameWithoutExtensionTheProjectExtension) {
    FilesRig r;
    r.files.OpenFileByType(r.w(), r.writeFixture(u"first.tvx"_s));
    r.fileDialog().answers.enqueue(r.work + u"/plain"_s);
    ASSERT_TRUE(r.files.SaveProjectAs(r.w()));
    EXPECT_EQ(r.fileDialog().asked.back().defaultExtension, u"tvx"_s);
    EXPECT_EQ(r.song().ProjectPath, r.work + u"/plain.tvx"_s);
    EXPECT_TRUE(readFile(r.work + u"/plain.tvx"_s).startsWith("[#SETTING]"));
    EXPECT_FALSE(QFile::exists(r.work + u"/plain"_s));
    r.song().SetModified(true);
    const qsizetype asked = r.fileDialog().asked.size();
    r.files.mnSave_Click(r.w());
    EXPECT_EQ(r.fileDialog().asked.size(), asked);
    EXPECT_FALSE(r.song().IsModified);
}

// Save As on a song never saved opens in the folder of the last project, else the documents folder, else
// the home folder: never in the program folder.
TEST(ProjectFiles, SaveAsOfANewSongStartsInTheLastProjectsFolder) {
    FilesRig r;
    QTemporaryDir outside;  // beside the program folder, not in it
    const QString home = outside.path() + u"/home dir"_s;
    const QString songs = outside.path() + u"/songs ♪"_s;
    QDir().mkpath(home);
    QDir().mkpath(songs);
    const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + u"/.config"_s).toUtf8());
    const struct {
        const char* what;
        QString last;       // the last project of the history
        bool documents;     // a documents folder in the home folder
        QString expected;   // the folder offered
    } cases[] = {
        {"last project's folder", songs + u"/old.tvx"_s, true, songs},
        {"a last project whose folder is gone", songs + u"/gone/old.tvx"_s, true, home + u"/Documents"_s},
        {"no history, documents", QString(), true, home + u"/Documents"_s},
        {"no history, no documents", QString(), false, home},
        {"a last project in the program folder", r.rig.path(u"old.tvx"_s), false, home},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.what);
        QDir(home + u"/Documents"_s).removeRecursively();
        if (t.documents) QDir().mkpath(home + u"/Documents"_s);
        settings().History = t.last.isEmpty() ? QStringList{QString()} : QStringList{QString(), t.last};
        r.song().ProjectPath.clear();
        r.song().ProjectName = u"うた"_s;
        r.fileDialog().answers.enqueue(QString());  // cancelled
        EXPECT_FALSE(r.files.SaveProjectAs(r.w()));
        const FileDialogRequest& asked = r.fileDialog().asked.back();
        EXPECT_EQ(asked.initialFolder, t.expected);
        EXPECT_EQ(asked.fileName, t.expected + u"/うた"_s);
    }
    qputenv("HOME", oldHome);
    if (oldConfig.isEmpty()) qunsetenv("XDG_CONFIG_HOME");
    else qputenv("XDG_CONFIG_HOME", oldConfig);
}

// A project in a folder whose name code page 932 cannot hold, with a voice folder and a lyric it
// cannot hold either, is written whole in UTF-8 after the mark and opens again with every path intact.
TEST(ProjectFiles, PathsAndLyricsCp932CannotHoldSurviveSaveAndReopen) {
    FilesRig r;
    QTemporaryDir elsewhere;
    const QString bank = elsewhere.filePath(u"zoë voice"_s);
    QDir().mkpath(bank);
    writeFile(bank + u"/oto.ini"_s, "a.wav=\x82\xa0,0,0,0,0,0\r\n");
    r.files.OpenFileByType(r.w(), r.writeFixture(u"first.tvx"_s));
    Song& s = r.song();
    s.VoiceDir = bank;
    s.Lyrics[0] = u"ë"_s;
    const QString folder = r.work + u"/zoë-ß"_s;
    QDir().mkpath(folder);
    r.fileDialog().answers.enqueue(folder + u"/ü.tvx"_s);
    ASSERT_TRUE(r.files.SaveProjectAs(r.w()));
    const QByteArray bytes = readFile(folder + u"/ü.tvx"_s);
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF[#SETTING]"));
    EXPECT_FALSE(bytes.contains('?'));

    r.files.OpenFileByType(r.w(), r.work + u"/first.tvx"_s);
    EXPECT_NE(s.VoiceDir, bank);
    r.files.OpenFileByType(r.w(), folder + u"/ü.tvx"_s);
    EXPECT_EQ(s.ProjectPath, folder + u"/ü.tvx"_s);
    EXPECT_EQ(s.VoiceDir, bank);
    EXPECT_EQ(s.OutFile, r.work + u"/song.wav"_s);
    EXPECT_EQ(s.CacheDir, folder + u"/ü.cache"_s);
    EXPECT_EQ(s.Lyrics.value(0), u"ë"_s);
    EXPECT_EQ(r.dialog.shown.size(), 0);  // the voice folder and tools check out
    EXPECT_EQ(r.caption(), u"うた (ü.tvx) - ＴＯＶＡ"_s);
}

// Where Save writes: the project's own file only when it is a project file (in any letter case) or a
// render batch; any other file goes through Save As.
TEST(ProjectFiles, SaveWritesOnlyProjectFilesAndRenderBatches) {
    struct Case {
        const char* name;
        bool asked;      // Save As shown
        bool project;    // a project file written at the path
        bool batch;      // a render batch written at the path
    };
    const Case cases[] = {
        {"a.tvx", false, true, false},  {"B.TVX", false, true, false}, {"c.bat", false, false, true},
        {"D.BAT", false, false, true},  {"e.wsq", true, false, false}, {"f.txt", true, false, false},
        {"noext", true, false, false},
    };
    for (const Case& c : cases) {
        FilesRig r;
        const QString path = r.work + u'/' + QString::fromLatin1(c.name);
        writeFile(path, "original");
        r.song().ProjectPath = path;
        r.song().ProjectName = u"p"_s;
        r.song().resizeNotes(1);
        r.song().Lyrics[0] = u"R"_s;
        r.song().Lengths[0] = 480;
        r.song().SetModified(true);
        r.files.mnSave_Click(r.w());  // Save As cancelled where it is asked
        EXPECT_EQ(!r.fileDialog().asked.isEmpty(), c.asked) << c.name;
        const QByteArray now = readFile(path);
        const QString text = Cp932::decodeMarked(now);  // UTF-8 where the folder's name needs it
        EXPECT_EQ(text.startsWith(u"[#SETTING]"_s), c.project) << c.name;
        EXPECT_EQ(text.startsWith(u"@rem project=p"_s), c.batch) << c.name;
        EXPECT_EQ(now == "original", c.asked) << c.name;
        EXPECT_EQ(r.song().IsModified, c.asked) << c.name;
    }
    // An empty song cannot be written as a render batch: Save As is asked and the old batch stays
    // untouched and the song modified, rather than a save that did not happen.
    {
        FilesRig r;
        const QString path = r.work + u"/empty.bat"_s;
        writeFile(path, "original");
        r.song().ProjectPath = path;
        r.song().SetModified(true);
        r.files.mnSave_Click(r.w());
        EXPECT_FALSE(r.fileDialog().asked.isEmpty());
        EXPECT_EQ(readFile(path), QByteArray("original"));
        EXPECT_TRUE(r.song().IsModified);
    }
    // Nothing to save: nothing happens, even for a project that was never saved.
    FilesRig r;
    r.files.mnSave_Click(r.w());
    EXPECT_TRUE(r.fileDialog().asked.isEmpty());
}

TEST(ProjectFiles, CaptionAndRecentFiles) {
    FilesRig r;
    const QString path = r.writeFixture(u"c.tvx"_s);
    r.files.OpenFileByType(r.w(), path);
    r.song().SetModified(true);
    EXPECT_EQ(r.caption(), u"うた (c.tvx) - ＴＯＶＡ (*)"_s);

    // A recent file that has gone away: removed with a message.
    settings().History = {QString(), r.work + u"/gone.tvx"_s, path};
    r.w().UpdateRecentFilesMenu();
    r.box().answers.enqueue(MsgResult::No);  // the save question
    r.files.mnHistory_Click(r.w(), 1);
    EXPECT_EQ(settings().History, (QStringList{QString(), path}));
    EXPECT_EQ(r.box().lastText(), u"ファイルは移動されたか削除されています"_s);
    EXPECT_EQ(r.box().shown.back().icon, MsgIcon::Exclamation);
}

// Cancelling the Save As reached from the save question ends New, Open, Import and the recent files
// without anything opened.
TEST(ProjectFiles, SaveQuestionEndsTheCommandWhenTheSaveDoesNotHappen) {
    const std::function<void(FilesRig&)> commands[] = {
        [](FilesRig& r) { r.files.mnNew_Click(r.w()); },
        [](FilesRig& r) { r.files.mnOpen_Click(r.w()); },
        [](FilesRig& r) { r.files.mnHistory_Click(r.w(), 1); },
        [](FilesRig& r) { r.files.ProcessCommandLine(r.w(), u'"' + r.work + u"/other.tvx\""_s); },
    };
    for (const auto& command : commands) {
        FilesRig r;
        r.writeFixture(u"other.tvx"_s);
        settings().History = {QString(), r.work + u"/other.tvx"_s};
        r.song().SetModified(true);
        r.box().answers.enqueue(MsgResult::Yes);  // save: the Save As dialog is cancelled
        command(r);
        EXPECT_EQ(r.box().shown.size(), 1);
        EXPECT_EQ(r.box().shown[0].text, u"プロジェクトは変更されています。変更を保存しますか？"_s);
        EXPECT_EQ(r.fileDialog().asked.size(), 1);
        EXPECT_TRUE(r.fileDialog().asked[0].save);
        EXPECT_TRUE(r.dialog.shown.isEmpty());
        EXPECT_TRUE(r.song().ProjectPath.isEmpty());
        EXPECT_TRUE(r.song().IsModified);
    }
}

TEST(ProjectFiles, CommandLineAndDroppedFiles) {
    FakeInstaller installer;
    struct Case {
        const char* what;
        QString path;          // relative to the work folder unless it starts with "/"
        bool modified;
        QList<MsgResult> answers;
        QString code;
        QString projectPath;   // expected afterwards (relative to work)
        QString message;       // last message shown, if any
    };
    const Case cases[] = {
        {"a project in quotes", u"\"a.tvx\""_s, false, {}, u"LOADPROJ"_s, u"a.tvx"_s, QString()},
        {"extension in capitals", u"B.TVX"_s, false, {}, u"LOADPROJ"_s, u"B.TVX"_s, QString()},
        {"a further extension", u"a.tvx.bak"_s, false, {}, u"NOP"_s, QString(),
         u"WORK/a.tvx.bak はTOVAのプロジェクトファイルではありません"_s},
        {"missing", u"missing.tvx"_s, false, {}, QString(), QString(), u"WORK/missing.tvx が見つかりません。"_s},
        {"modified, Cancel", u"a.tvx"_s, true, {MsgResult::Cancel}, QString(), QString(), QString()},
        {"modified, No", u"a.tvx"_s, true, {MsgResult::No}, u"LOADPROJ"_s, u"a.tvx"_s, QString()},
        {"an archive while modified: no question", u"v.zip"_s, true, {}, u"INSTZIP"_s, QString(), QString()},
        {"a tvz archive", u"p.TVZ"_s, false, {}, u"INSTTVZ"_s, QString(), QString()},
        {"a folder without a bank", u"plain"_s, false, {}, u"NOP"_s, QString(), QString()},
        {"a folder with a bank, Cancel", u"bank"_s, false, {MsgResult::Cancel}, u"NOP"_s, QString(), QString()},
        {"a folder with a bank, OK", u"bank"_s, false, {MsgResult::OK}, u"VOICEDIR"_s, QString(), QString()},
    };
    for (const Case& c : cases) {
        FilesRig r(&installer);
        r.writeFixture(u"a.tvx"_s);
        r.writeFixture(u"B.TVX"_s);
        writeFile(r.work + u"/a.tvx.bak"_s, "x");
        writeFile(r.work + u"/v.zip"_s, "PK");
        writeFile(r.work + u"/p.TVZ"_s, "PK");
        QDir().mkpath(r.work + u"/plain"_s);
        writeFile(r.work + u"/bank/あ.wav"_s, "RIFF");
        writeFile(r.work + u"/cache/0_a_C4_600.wav"_s, "RIFF");
        r.song().CacheDir = r.work + u"/cache"_s;
        if (c.modified) r.song().SetModified(true);
        for (MsgResult a : c.answers) r.box().answers.enqueue(a);
        r.rig.form->setEnabled(false);
        const QStringList historyBefore = settings().History;

        QString path = c.path;
        const bool quoted = path.startsWith(u'"');
        path = quoted ? u'"' + r.work + u'/' + path.mid(1) : r.work + u'/' + path;
        const QString code = r.files.ProcessCommandLine(r.w(), path);
        EXPECT_EQ(code, c.code) << c.what;
        if (!c.projectPath.isEmpty()) {
            EXPECT_EQ(r.song().ProjectPath, r.work + u'/' + c.projectPath) << c.what;
            EXPECT_EQ(settings().History.value(1), r.work + u'/' + c.projectPath) << c.what;
        } else {
            EXPECT_EQ(settings().History, historyBefore) << c.what;
        }
        if (!c.message.isEmpty()) {
            QString expected = c.message;
            expected.replace(u"WORK"_s, r.work);
            EXPECT_EQ(r.box().lastText(), expected) << c.what;
        }
        EXPECT_EQ(r.rig.form->isEnabled(), !c.code.isNull()) << c.what;
        if (c.code == u"VOICEDIR") {
            EXPECT_EQ(r.song().VoiceDir, r.work + u"/bank"_s);
            EXPECT_TRUE(r.voices.otoLoads.contains(r.work + u"/bank"_s));
            EXPECT_EQ(r.box().shown[0].text, u"音源を'bank'にしますか？（その場所のまま利用します。インストールはされません）"_s);
            EXPECT_FALSE(QFile::exists(r.work + u"/cache/0_a_C4_600.wav"_s));
            EXPECT_TRUE(r.song().IsModified);
            // The folder that already is the voice folder is not offered again.
            EXPECT_EQ(r.files.ProcessCommandLine(r.w(), r.work + u"/bank"_s), u"NOP"_s);
        }
        if (c.code == u"INSTZIP" || c.code == u"INSTTVZ") {
            EXPECT_EQ(installer.installed.back(), path) << c.what;
            EXPECT_TRUE(r.box().shown.isEmpty()) << c.what;
        }
    }

    // Without the installer an archive is refused with a clear message, never taken as done.
    FilesRig bare;
    writeFile(bare.work + u"/v.zip"_s, "PK");
    EXPECT_EQ(bare.files.ProcessCommandLine(bare.w(), bare.work + u"/v.zip"_s), u"NOP"_s);
    EXPECT_EQ(bare.box().lastText(), u"アーカイブのインストールはまだ使用できません。"_s);

    // A drop of several files opens only the first.
    FilesRig drop;
    drop.writeFixture(u"one.tvx"_s);
    drop.writeFixture(u"two.tvx"_s);
    drop.files.Form_OLEDragDrop(drop.w(), {drop.work + u"/one.tvx"_s, drop.work + u"/two.tvx"_s});
    EXPECT_EQ(drop.song().ProjectPath, drop.work + u"/one.tvx"_s);
}

TEST(ProjectFiles, NewAndProjectSettingsCommands) {
    FilesRig r;
    r.files.OpenFileByType(r.w(), r.writeFixture(u"p.tvx"_s));
    // The project settings: the output shown relative to the project's folder; a relative answer lands
    // there, a full path is taken as typed.
    r.dialog.edit = [&](ProjectSettingsValues& v) {
        EXPECT_EQ(v.OutFile, u"song.wav"_s);
        v.OutFile = u"mix/out.wav"_s;
        v.VoiceDir = r.work + u"/other"_s;
        v.Flags = u"B50"_s;
    };
    r.files.mnProjSetting_Click(r.w());
    EXPECT_EQ(r.song().OutFile, r.work + u"/mix/out.wav"_s);
    EXPECT_EQ(r.song().ProjectFlags, u"B50"_s);
    // A change without an undo step: the recovery copy follows it.
    ASSERT_FALSE(r.song().RecoveryFilePath().isEmpty());
    r.song().WaitForRecoveryFile();
    EXPECT_TRUE(readFile(r.song().RecoveryFilePath()).contains("\r\nFlags=B50\r\n"));
    EXPECT_TRUE(r.voices.otoLoads.contains(r.work + u"/other"_s));
    EXPECT_TRUE(r.song().IsModified);
    r.dialog.edit = [](ProjectSettingsValues& v) { v.OutFile = u"/abs/out.wav"_s; };
    r.files.mnProjSetting_Click(r.w());
    EXPECT_EQ(r.song().OutFile, u"/abs/out.wav"_s);

    // New: the dialog proposes the defaults; its answer makes the new project.
    r.box().answers.enqueue(MsgResult::No);
    r.dialog.edit = [](ProjectSettingsValues& v) {
        v.ProjectName = u"新しい歌"_s;
        v.OutFile = u"new.wav"_s;
    };
    r.files.mnNew_Click(r.w());
    const ProjectSettingsValues& proposed = r.dialog.shown.back();
    EXPECT_EQ(proposed.ProjectName, u"新規プロジェクト"_s);
    EXPECT_EQ(proposed.OutFile, u"newfile.wav"_s);
    EXPECT_EQ(proposed.Tool1, settings().Tool1Path);
    EXPECT_EQ(proposed.CacheDir, r.work + u"/p.cache"_s);
    EXPECT_EQ(r.song().ProjectName, u"新しい歌"_s);
    EXPECT_EQ(r.song().OutFile, u"new.wav"_s);
    EXPECT_EQ(r.song().noteCount(), 0);
    EXPECT_TRUE(r.song().ProjectPath.isEmpty());
    EXPECT_TRUE(r.song().CacheDir.isEmpty());
    EXPECT_FALSE(r.song().IsModified);
    EXPECT_EQ(r.caption(), u"新しい歌 - ＴＯＶＡ"_s);
    EXPECT_EQ(r.rig.voiceBankManager.unloads, 1);  // the manager's list belonged to the old bank

    // Cancel in the dialog changes nothing; commands whose window is not there say so.
    r.dialog.answer = false;
    r.files.mnNew_Click(r.w());
    EXPECT_EQ(r.song().ProjectName, u"新しい歌"_s);
    EXPECT_EQ(r.rig.voiceBankManager.unloads, 1);
    r.files.mnOptions_Click(r.w());
    r.files.mnAppendLoad_Click(r.w());
    r.files.mnImport_Click(r.w());
    QStringList texts;
    for (const MessageRequest& m : r.box().shown) texts << m.text;
    EXPECT_TRUE(texts.contains(u"オプションはまだ使用できません。"_s));
    EXPECT_TRUE(texts.contains(u"追加で読込はまだ使用できません。"_s));
    EXPECT_TRUE(texts.contains(u"インポートはまだ使用できません。"_s));
    EXPECT_TRUE(r.fileDialog().asked.isEmpty());
}

// The unload: the save question, the instance's temporary files, the cache policy and the services.
TEST(ProjectFiles, UnloadRemovesTheTemporaryFilesOrKeepsTheWindow) {
    struct Case {
        const char* what;
        bool modified;
        QList<MsgResult> answers;
        bool failingSave;   // the project's file cannot be written
        bool keeps;
    };
    const Case cases[] = {
        {"unmodified: no question", false, {}, false, false},
        {"No discards the changes", true, {MsgResult::No}, false, false},
        {"Cancel keeps the window", true, {MsgResult::Cancel}, false, true},
        {"Yes on a never-saved project, dialog cancelled", true, {MsgResult::Yes}, false, true},
        {"Yes and the write fails", true, {MsgResult::Yes, MsgResult::OK}, true, true},
    };
    for (const Case& c : cases) {
        FilesRig r;
        settings().CacheDeleteOnUnload = true;
        settings().CacheDeleteBySize = true;
        const QString temp = TempFolder;
        ASSERT_FALSE(temp.isEmpty());
        for (const char* name : {"temp.bat", "temp_helper.bat", "regen.bat", "temp$$$.tvx", "temp.wav",
                                 "temp$$$.cache/x.wav", "temp.cache/0_a_C4_600.wav"})
            writeFile(temp + u'/' + QString::fromLatin1(name), "x");
        writeFile(r.work + u"/song.cache/3_a_C4_600.wav"_s, "x");
        r.song().CacheDir = r.work + u"/song.cache"_s;
        if (c.failingSave) {
            r.song().ProjectPath = r.work + u"/no/such/folder/p.tvx"_s;
        }
        if (c.modified) r.song().SetModified(true);
        for (MsgResult a : c.answers) r.box().answers.enqueue(a);
        r.rig.core.calls.clear();
        r.rig.midi.calls.clear();
        const QString shortWave = GetShortPath(temp + u"/temp.wav"_s);

        const bool closed = r.rig.form->close();
        EXPECT_EQ(closed, !c.keeps) << c.what;
        EXPECT_EQ(r.files.UnloadCancelled, c.keeps) << c.what;
        EXPECT_EQ(r.box().shown.isEmpty(), !c.modified) << c.what;
        if (c.keeps) {
            EXPECT_TRUE(QFile::exists(temp + u"/temp$$$.tvx"_s)) << c.what;
            EXPECT_TRUE(QFile::exists(r.work + u"/song.cache/3_a_C4_600.wav"_s)) << c.what;
            EXPECT_TRUE(r.rig.core.calls.isEmpty()) << c.what;
            EXPECT_TRUE(r.song().IsModified) << c.what;
            if (c.failingSave) EXPECT_EQ(r.box().shown.back().title, u"予期せぬエラー"_s) << c.what;
        } else {
            EXPECT_FALSE(QDir(temp).exists()) << c.what;
            EXPECT_FALSE(QFile::exists(r.work + u"/song.cache/3_a_C4_600.wav"_s)) << c.what;
            EXPECT_EQ(r.rig.core.calls, (QStringList{u"saveSettings"_s, u"unhookWheels"_s,
                                                     u"mciClose "_s + shortWave,
                                                     u"closeInstanceMap"_s}))
                << c.what;
            EXPECT_EQ(r.rig.midi.calls, (QStringList{u"CloseMidiIn"_s, u"CloseMidiOut"_s})) << c.what;
        }
        EXPECT_EQ(r.rig.voiceBankManager.unloads, c.keeps ? 0 : 1) << c.what;
    }
}

// The orderly exit lets the recovery copy's writer finish before it deletes the copy: a burst of
// edits just before the end (a write under way, later changes held back) does not leave the copy or
// the temporary folder behind, also once the event loop has run again.
TEST(ProjectFiles, UnloadAfterABurstOfEditsLeavesNoRecoveryCopy) {
    FilesRig r;
    const QString temp = TempFolder;
    ASSERT_FALSE(temp.isEmpty());
    Song& song = r.song();
    song.resizeNotes(50000);
    for (qint32 i = 0; i < song.noteCount(); ++i) song.Lyrics[i] = u"あ"_s;
    for (int k = 0; k < 20; ++k) {
        song.BeginPropUndo(k, k, u"プロパティ"_s);
        song.Lyrics[k] = u"い%1"_s.arg(k);
        song.EndPropUndo();
    }
    ASSERT_FALSE(song.RecoveryFilePath().isEmpty());
    r.box().answers.enqueue(MsgResult::No);  // the changes are not saved
    ASSERT_TRUE(r.rig.form->close());
    for (int n = 0; n < 10; ++n) {  // a write that outlived the unload would be done by now
        QApplication::processEvents();
        QThread::msleep(50);
    }
    EXPECT_FALSE(QFile::exists(RecoveryFilePath(temp)));
    EXPECT_FALSE(QDir(temp).exists());
}

TEST(ProjectFiles, QuitWithCancelKeepsTheProgramRunning) {
    FilesRig r;
    r.rig.form->show();
    r.song().SetModified(true);
    r.box().answers.enqueue(MsgResult::Cancel);
    r.rig.form->controlAs<QAction>(u"mnQuit"_s)->trigger();
    EXPECT_TRUE(r.rig.form->isVisible());
    EXPECT_TRUE(r.files.UnloadCancelled);
    EXPECT_TRUE(QDir(TempFolder).exists());
}

// A project without its own cache folder leaves every cache policy alone; a file the program cannot
// remove keeps the temporary folder.
TEST(ProjectFiles, UnloadWithoutProjectCacheAndWithAForeignFile) {
    FilesRig r;
    settings().CacheDeleteOnUnload = true;
    writeFile(r.work + u"/elsewhere.cache/1_a_C4_600.wav"_s, "x");
    writeFile(TempFolder + u"/temp.cache/1_a_C4_600.wav"_s, "x");
    writeFile(TempFolder + u"/notes.txt"_s, "someone else's");
    ASSERT_TRUE(r.rig.form->close());
    EXPECT_TRUE(QFile::exists(r.work + u"/elsewhere.cache/1_a_C4_600.wav"_s));
    EXPECT_FALSE(QDir(TempFolder + u"/temp.cache"_s).exists());
    EXPECT_TRUE(QFile::exists(TempFolder + u"/notes.txt"_s));
}

}  // namespace

namespace {

// The form hands its menu items, the voice label, the recent files and dropped files to the file side.
TEST(ProjectFilesWiring, MenusVoiceLabelRecentFilesAndDrops) {
    MainWindowRig rig;
    ASSERT_TRUE(rig.start());
    Form1& f = rig.f();
    rig.projectFiles.calls.clear();
    for (const char* name : {"mnNew", "mnOpen", "mnSave", "mnSaveAt", "mnAppendLoad", "mnImport", "mnProjSetting",
                             "mnOptions"})
        f.controlAs<QAction>(QString::fromLatin1(name))->trigger();
    EXPECT_EQ(rig.projectFiles.calls,
              (QStringList{u"mnNew_Click"_s, u"mnOpen_Click"_s, u"mnSave_Click"_s, u"mnSaveAt_Click"_s,
                           u"mnAppendLoad_Click"_s, u"mnImport_Click"_s, u"mnProjSetting_Click"_s,
                           u"mnOptions_Click"_s}));

    rig.projectFiles.calls.clear();
    settings().History = {QString(), u"/a.tvx"_s, u"/b.tvx"_s};
    rig.w().UpdateRecentFilesMenu();
    f.controlAs<QAction>(u"mnHistory"_s, 2)->trigger();
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(f.control(u"lblVoice"_s), &release);
    EXPECT_EQ(rig.projectFiles.calls, (QStringList{u"mnHistory_Click 2"_s, u"mnProjSetting_Click"_s}));

    rig.projectFiles.calls.clear();
    f.FilesDropped({u"/x/one.tvx"_s, u"/x/two.tvx"_s});
    EXPECT_EQ(rig.projectFiles.calls, QStringList{u"Form_OLEDragDrop /x/one.tvx|/x/two.tvx"_s});
}

// A pipe named like a project never holds the window, and a project naming itself with megabytes
// gets a caption of reasonable length.
TEST(ProjectFiles, HostileFilesOnTheCommandLine) {
    FilesRig r;
    const QString pipe = r.work + u"/pipe.tvx"_s;
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString before = r.song().ProjectPath;
    EXPECT_NE(r.files.ProcessCommandLine(r.w(), pipe), u"LOADPROJ"_s);
    EXPECT_EQ(r.song().ProjectPath, before);
    EXPECT_EQ(r.box().shown.size(), 1);

    const QString path = r.work + u"/long.tvx"_s;
    writeFile(path, "ProjectName=" + QByteArray(1024 * 1024, 'x') + "\r\n[#TRACKEND]\r\n");
    EXPECT_EQ(r.files.ProcessCommandLine(r.w(), path), u"LOADPROJ"_s);
    EXPECT_EQ(r.song().ProjectName.size(), 4096);
    EXPECT_LT(r.caption().size(), 300);
    EXPECT_TRUE(r.caption().startsWith(QString(MainWindow::CaptionPartLimit, u'x') + u"… (long.tvx)"_s));
}

}  // namespace
