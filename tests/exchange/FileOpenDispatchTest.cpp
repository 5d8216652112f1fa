#include "ExchangeFakes.h"
#include "SmfFixtures.h"

#include "core/MessageTable.h"
#include "core/Settings.h"
#include "exchange/FileOpenDispatch.h"
#include "platform/Cp932.h"
#include "platform/FakePorts.h"
#include "platform/SystemPaths.h"
#include "song/ProjectFile.h"
#include "song/ProjectPaths.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;

namespace {

void makeProgram(const QString& path) {
    writeFile(path, "#!/bin/sh\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// A program folder with both tools and a voice root holding one bank, a project folder beside it.
struct OpenFixture : ::testing::Test {
    QTemporaryDir dir;
    QString program, projects, home;
    QByteArray savedHome;
    FakeProjectWindow window;
    FakeVoiceBank voices;
    ScopedFakePorts ports;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        program = dir.filePath(u"prog"_qs);
        projects = dir.filePath(u"work"_qs);
        home = dir.filePath(u"home"_qs);
        QDir().mkpath(program + u"/voice/cantu"_qs);
        QDir().mkpath(projects);
        QDir().mkpath(home + u"/banks/mine"_qs);
        makeProgram(program + u"/catena"_qs);
        makeProgram(program + u"/vorsa"_qs);
        SystemPaths::setProgramFolder(program);
        settings() = Settings{};
        savedHome = qgetenv("HOME");
        qputenv("HOME", home.toLocal8Bit());
        window.NewProject();
    }
    void TearDown() override {
        qputenv("HOME", savedHome);
        SystemPaths::setProgramFolder(QString());
        settings() = Settings{};
    }
    QString writeProject(const QString& name, const ProjectSettings& s) {
        NoteArrays notes;
        notes.resizeNotes(2);
        notes.Lyrics = {u"あ"_qs, u"R"_qs};
        notes.Lengths = {1920, 480};
        notes.NoteNums = {36, 40};
        notes.NoteExt = {u"10:5\t100\t0\t\t\t"_qs, QString()};
        const QString path = projects + u'/' + name;
        WriteProjectFile(path, s, notes);
        return path;
    }
};

TEST_F(OpenFixture, ProjectFileNamesTheProjectItsCacheAndResolvesItsPaths) {
    ProjectSettings s;
    s.ProjectName = u"歌"_qs;
    s.VoiceDir = u"%VOICE%cantu"_qs;
    s.OutFile = u"song.wav"_qs;
    s.CacheDir = u"elsewhere.cache"_qs;
    s.Tool1 = u"catena"_qs;
    s.Tool2 = u"vorsa"_qs;
    s.Flags = u"g-5"_qs;
    s.Tempo = 98.5f;
    s.Mode2 = true;
    const QString path = writeProject(u"x^y.tvx"_qs, s);

    FileOpenDispatch(window, voices).OpenFileByType(u'"' + path + u'"');
    const Song& song = window.theSong;
    EXPECT_EQ(song.ProjectPath, path);
    EXPECT_EQ(song.ProjectName, u"歌"_qs);
    EXPECT_EQ(song.VoiceDir, program + u"/voice/cantu"_qs);
    EXPECT_EQ(song.Tool1, program + u"/catena"_qs);
    EXPECT_EQ(song.Tool2, program + u"/vorsa"_qs);
    EXPECT_EQ(song.OutFile, projects + u"/song.wav"_qs);
    EXPECT_EQ(song.CacheDir, projects + u"/xy.cache"_qs);
    EXPECT_EQ(song.ProjectFlags, u"g-5"_qs);
    EXPECT_FLOAT_EQ(song.Tempo, 98.5f);
    EXPECT_EQ(window.tempoText, u"98.5"_qs);
    EXPECT_EQ(window.tempoStatus, QList<float>{98.5f});
    EXPECT_EQ(window.mode2Box, QList<bool>{true});
    EXPECT_TRUE(settings().Mode2);
    EXPECT_EQ(song.Lyrics, (QStringList{u"あ"_qs, u"R"_qs}));
    EXPECT_FALSE(song.IsModified);
    EXPECT_EQ(voices.otoLoads, QStringList{program + u"/voice/cantu"_qs});
    EXPECT_EQ(window.voiceName, u"cantu"_qs);
    EXPECT_EQ(window.backgroundDraws, 1);
    EXPECT_EQ(window.noteDraws, 1);
    EXPECT_EQ(window.projectSettingsOpened, 0);
}

TEST_F(OpenFixture, SettingsDialogOpensWhenToolsOrVoiceFolderDoNotCheckOut) {
    struct Case {
        const char* what;
        QString voice, tool1, tool2;
        int opened;
    };
    const Case cases[] = {
        {"all valid", u"%VOICE%cantu"_qs, u"catena"_qs, u"vorsa"_qs, 0},
        {"tool 1 missing", u"%VOICE%cantu"_qs, u"nothing"_qs, u"vorsa"_qs, 1},
        {"tool 2 empty", u"%VOICE%cantu"_qs, u"catena"_qs, QString(), 1},
        {"voice bank not listed", u"*ghost"_qs, u"catena"_qs, u"vorsa"_qs, 1},
    };
    for (const Case& c : cases) {
        ProjectSettings s;
        s.VoiceDir = c.voice;
        s.Tool1 = c.tool1;
        s.Tool2 = c.tool2;
        const QString path = writeProject(u"a.tvx"_qs, s);
        window.projectSettingsOpened = 0;
        FileOpenDispatch(window, voices).OpenFileByType(path);
        EXPECT_EQ(window.projectSettingsOpened, c.opened) << c.what;
        EXPECT_EQ(window.theSong.CacheDir, projects + u"/a.cache"_qs) << c.what;
    }
}

TEST_F(OpenFixture, StoredVoiceFolderForms) {
    voices.banks = {QString(), u"mine\t"_qs + home + u"/banks/mine"_qs, u"two\t/x/two\tpic.bmp"_qs};
    const struct {
        const char* what;
        QString stored, voiceRoot, resolved;
    } cases[] = {
        {"bank by name", u"*mine"_qs, QString(), home + u"/banks/mine"_qs},
        {"older name form", u"two*"_qs, QString(), u"/x/two"_qs},
        {"bank not listed", u"*gone"_qs, QString(), u"gone"_qs},
        {"home", u"%HOME%/banks/mine"_qs, QString(), home + u"/banks/mine"_qs},
        {"voice root of the program", u"%VOICE%cantu"_qs, QString(), program + u"/voice/cantu"_qs},
        {"voice root setting", u"%VOICE%uta\\a"_qs, u"/srv/voices"_qs, u"/srv/voices/uta\\a"_qs},
        {"relative to the program", u"voice/cantu"_qs, QString(), program + u"/voice/cantu"_qs},
        {"absolute", u"/abs/bank"_qs, QString(), u"/abs/bank"_qs},
        {"empty", QString(), QString(), program + u'/'},
    };
    for (const auto& c : cases) {
        settings().VoiceRoot = c.voiceRoot;
        EXPECT_EQ(ResolveVoiceFolder(c.stored, voices.banks), c.resolved) << c.what;
    }
}

TEST_F(OpenFixture, RenderBatchOpensInAnyLetterCase) {
    for (const QString name : {u"take.bat"_qs, u"TAKE2.BAT"_qs}) {
        const QString path = projects + u'/' + name;
        writeFile(path, Cp932::encode(u"@rem project=バッチ\r\n@set tempo=100\r\n@set params=100 0 \r\n"
                                      u"call %helper% \"%oto%\\a.wav\" C4 480@100.00+0.0 0 0 600 0 0 0\r\n"_qs));
        FileOpenDispatch(window, voices).OpenFileByType(path);
        EXPECT_EQ(window.theSong.ProjectName, u"バッチ"_qs) << name.toStdString();
        EXPECT_EQ(window.theSong.Lyrics, QStringList{u"a"_qs}) << name.toStdString();
        EXPECT_FLOAT_EQ(window.theSong.Tempo, 100.0f) << name.toStdString();
        EXPECT_EQ(window.theSong.CacheDir, projects + u'/' + name.left(name.size() - 4) + u".cache"_qs) << name.toStdString();
        EXPECT_EQ(window.theSong.ProjectPath, path) << name.toStdString();
    }
}

// The older form: a MIDI file whose first track carries the settings as text lines. Its letter case
// does not matter; the file's own tempo event is not the project's.
TEST_F(OpenFixture, OlderWsqFilesInAnyLetterCase) {
    using namespace smf;
    const QList<QByteArray> lines = {"@rem project=" + Sa + Ku + Ra, "@set tempo=150", "@set oto=/x/" + Hyou,
                                     "@set tool=/t/catena", "@set resamp=/t/vorsa", "@set output=o.wav",
                                     "@set flag=g-5"};
    Track voice;
    voice.lyric(Sa).on(0, 60).off(480, 60).lyric(Ku, 240).on(0, 64).off(480, 64).end();
    for (const QString name : {u"A.WSQ"_qs, u"b.wsq"_qs}) {
        const QString path = projects + u'/' + name;
        writeFile(path, file(1, 480, {conductor(600000, lines), voice}));
        FileOpenDispatch(window, voices).OpenFileByType(path);
        const Song& s = window.theSong;
        EXPECT_EQ(s.ProjectName, u"さくら"_qs) << name.toStdString();
        EXPECT_FLOAT_EQ(s.Tempo, 150.0f);
        EXPECT_EQ(s.VoiceDir, u"/x/表"_qs);
        EXPECT_EQ(s.Tool1, u"/t/catena"_qs);
        EXPECT_EQ(s.Tool2, u"/t/vorsa"_qs);
        EXPECT_EQ(s.OutFile, u"o.wav"_qs);
        EXPECT_EQ(s.ProjectFlags, u"g-5"_qs);
        EXPECT_EQ(s.Lyrics, (QStringList{u"さ"_qs, u"R"_qs, u"く"_qs}));
        EXPECT_EQ(s.CacheDir, projects + u'/' + name.left(1) + u".cache"_qs);
        EXPECT_TRUE(voices.otoLoads.contains(u"/x/表"_qs));
    }

    // Without a tempo line the new project's tempo stays.
    writeFile(projects + u"/c.wsq"_qs, file(1, 480, {conductor(600000, {"@rem project=c"}), voice}));
    FileOpenDispatch(window, voices).OpenFileByType(projects + u"/c.wsq"_qs);
    EXPECT_FLOAT_EQ(window.theSong.Tempo, 120.0f);
    EXPECT_EQ(window.theSong.noteCount(), 3);

    // The tempo line of a song at a tempo a project file carries beyond the tempo boxes' range (4..600)
    // gives that tempo back; one beyond is held to 10..512; a line without a number leaves the tempo.
    for (const auto& [line, tempo] : {std::pair{"@set tempo=600.00", 600.0f}, {"@set tempo=4", 4.0f}, {"@set tempo=900", 512.0f},
                                      {"@set tempo=", 120.0f}}) {
        window.theSong.Tempo = 120.0f;
        writeFile(projects + u"/t.wsq"_qs, file(1, 480, {conductor(600000, {"@rem project=t", line}), voice}));
        FileOpenDispatch(window, voices).OpenFileByType(projects + u"/t.wsq"_qs);
        EXPECT_FLOAT_EQ(window.theSong.Tempo, tempo) << line;
    }

    // Not a MIDI file: the message, and an empty project named after the file.
    writeFile(projects + u"/bad.wsq"_qs, "not midi");
    FileOpenDispatch(window, voices).OpenFileByType(projects + u"/bad.wsq"_qs);
    ASSERT_FALSE(ports.messageBox.shown.isEmpty());
    EXPECT_EQ(ports.messageBox.lastText(), u"ファイル形式が正しくありません"_qs);
    EXPECT_EQ(window.theSong.noteCount(), 0);
    EXPECT_EQ(window.theSong.ProjectName, u"bad"_qs);
    EXPECT_EQ(window.theSong.ProjectPath, projects + u"/bad.wsq"_qs);
}

TEST_F(OpenFixture, VoiceInformationFromTheProfile) {
    writeFile(home + u"/banks/mine/face.bmp"_qs, "BM");
    voices.profiles.insert(home + u"/banks/mine"_qs, {u"わたし"_qs, u"face.bmp"_qs, QString()});
    voices.profiles.insert(u"/x/plain"_qs, {QString(), u"none.bmp"_qs, QString()});
    voices.profiles.insert(u"/x/link"_qs, {u"リンク"_qs, u"face.bmp"_qs, home + u"/banks/mine"_qs});
    const struct {
        QString folder, name, picture;
    } cases[] = {
        {home + u"/banks/mine"_qs, u"わたし"_qs, home + u"/banks/mine/face.bmp"_qs},
        {u"/x/plain"_qs, u"plain"_qs, QString()},
        {u"/x/plain/"_qs, u"plain"_qs, QString()},
        {u"/x/link"_qs, u"リンク"_qs, home + u"/banks/mine/face.bmp"_qs},
        {QString(), u"原音ありません"_qs, QString()},
    };
    for (const auto& c : cases) {
        window.theSong.VoiceDir = c.folder;
        FileOpenDispatch(window, voices).ShowVoiceInfo();
        EXPECT_EQ(window.voiceName, c.name) << c.folder.toStdString();
        EXPECT_EQ(window.voicePictures.back(), c.picture) << c.folder.toStdString();
    }
}

}  // namespace

namespace {

// What is no regular file is refused with a message before the project in hand changes; a project
// with an out-of-range value loads the rest and says which line.
TEST_F(OpenFixture, OnlyRegularFilesOpenAndRefusedValuesAreSaid) {
    const QString fifo = projects + u"/x.tvx"_qs;
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const struct {
        QString path;
        const char* message;
    } refused[] = {
        {fifo, "通常のファイルではない"},
        {projects, "通常のファイルではない"},
        {projects + u"/missing.tvx"_qs, "が見つかりません"},
    };
    for (const auto& r : refused) {
        ports.messageBox.shown.clear();
        window.newProjects = 0;
        EXPECT_FALSE(FileOpenDispatch(window, voices).OpenFileByType(r.path));
        EXPECT_EQ(window.newProjects, 0);
        ASSERT_EQ(ports.messageBox.shown.size(), 1);
        EXPECT_TRUE(ports.messageBox.lastText().contains(QString::fromUtf8(r.message))) << r.path.toStdString();
    }

    const QString path = projects + u"/tempo.tvx"_qs;
    writeFile(path, "[#SETTING]\r\nTempo=1e39\r\nProjectName=p\r\n[#0000]\r\nLength=480\r\nLyric=a\r\nNoteNum=60\r\n[#TRACKEND]\r\n");
    ports.messageBox.shown.clear();
    EXPECT_TRUE(FileOpenDispatch(window, voices).OpenFileByType(path));
    EXPECT_EQ(window.theSong.ProjectName, u"p"_qs);
    EXPECT_EQ(window.theSong.Tempo, 120.0f);
    EXPECT_EQ(window.theSong.noteCount(), 1);
    ASSERT_FALSE(ports.messageBox.shown.isEmpty());
    EXPECT_TRUE(ports.messageBox.shown[0].text.contains(u"2行目"_qs));
}

}  // namespace
