#include "core/Settings.h"
#include "exchange/FileOpenDispatch.h"
#include "mainwindow/CommandLinePath.h"
#include "song/ProjectPaths.h"
#include "platform/SystemPaths.h"
#include "song/Song.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tova;

namespace {

// A program folder at <tmp>/prog and a home folder at <tmp>/home.
struct PathsFixture : ::testing::Test {
    QTemporaryDir dir;
    QString program, home;
    QByteArray savedHome;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        program = dir.filePath(u"prog"_qs);
        home = dir.filePath(u"home"_qs);
        QDir().mkpath(program);
        QDir().mkpath(home);
        SystemPaths::setProgramFolder(program);
        settings() = Settings{};
        savedHome = qgetenv("HOME");
        qputenv("HOME", home.toLocal8Bit());
    }
    void TearDown() override {
        qputenv("HOME", savedHome);
        SystemPaths::setProgramFolder(QString());
        settings() = Settings{};
    }
};

// Every voice folder form a project stores, and the folder the opener makes of it again.
TEST_F(PathsFixture, VoiceFolderIsStoredRelativeToWhereItLiesAndResolvesBack) {
    const QStringList banks{u"外\t/opt/banks/外"_qs,       u"one\t/srv/a"_qs, u"two\t/srv/a"_qs,
                            u"in\t"_qs + program + u"/cantu"_qs, u"home\t"_qs + home + u"/v/x"_qs, QString()};
    struct Case {
        const char* what;
        QString voiceRoot;
        QString folder;
        QString stored;
    };
    const Case cases[] = {
        {"home folder, even inside a voice root there", home + u"/voices"_qs, home + u"/voices/uta"_qs,
         u"%HOME%/voices/uta"_qs},
        {"home folder itself", QString(), home, u"%HOME%"_qs},
        {"a sibling of the home folder is not inside it", QString(), home + u"2/x"_qs, home + u"2/x"_qs},
        {"voice root of the program", QString(), program + u"/voice/cantu"_qs, u"%VOICE%cantu"_qs},
        {"voice root setting", u"/srv/voices/"_qs, u"/srv/voices/uta/sub"_qs, u"%VOICE%uta/sub"_qs},
        {"a registered bank outside the program folder", QString(), u"/opt/banks/外"_qs, u"*外"_qs},
        {"two entries share the folder: full path", QString(), u"/srv/a"_qs, u"/srv/a"_qs},
        {"unlisted folder outside the program", QString(), u"/srv/b"_qs, u"/srv/b"_qs},
        {"inside the program folder, also when listed", QString(), program + u"/cantu"_qs, u"cantu"_qs},
    };
    for (const Case& c : cases) {
        settings().VoiceRoot = c.voiceRoot;
        EXPECT_EQ(StoredVoiceFolder(c.folder, banks), c.stored) << c.what;
        EXPECT_EQ(ResolveVoiceFolder(c.stored, banks), c.folder) << c.what;
    }
}

TEST_F(PathsFixture, ToolsOutputAndCacheAreStoredRelativeAndResolvedBack) {
    Song song;
    song.ProjectName = u"歌"_qs;
    song.VoiceDir = program + u"/voice/cantu"_qs;
    song.Tool1 = program + u"/catena"_qs;
    song.Tool2 = program + u"2/vorsa"_qs;  // beside the program folder, not in it
    song.OutFile = u"/work/songs/out.wav"_qs;
    song.CacheDir = u"/work/other/song.cache"_qs;
    song.ProjectFlags = u"g-5"_qs;
    song.Tempo = 133.5f;
    const ProjectSettings s = StoredProjectSettings(song, u"/work/songs/song.tvx"_qs, {}, true);
    EXPECT_EQ(s.ProjectName, u"歌"_qs);
    EXPECT_EQ(s.VoiceDir, u"%VOICE%cantu"_qs);
    EXPECT_EQ(s.Tool1, u"catena"_qs);
    EXPECT_EQ(s.Tool2, program + u"2/vorsa"_qs);
    EXPECT_EQ(s.OutFile, u"out.wav"_qs);
    EXPECT_EQ(s.CacheDir, u"/work/other/song.cache"_qs);
    EXPECT_EQ(s.Flags, u"g-5"_qs);
    EXPECT_FLOAT_EQ(s.Tempo, 133.5f);
    EXPECT_TRUE(s.Mode2);

    const struct {
        QString path, project, stored;
    } relative[] = {
        {u"/work/songs/song.cache"_qs, u"/work/songs/song.tvx"_qs, u"song.cache"_qs},
        {u"/work/songs/sub/out.wav"_qs, u"/work/songs/song.tvx"_qs, u"sub/out.wav"_qs},
        {u"/work/songsX/out.wav"_qs, u"/work/songs/song.tvx"_qs, u"/work/songsX/out.wav"_qs},
        {u"out.wav"_qs, u"song.tvx"_qs, u"out.wav"_qs},
    };
    for (const auto& r : relative) EXPECT_EQ(StoredProjectRelative(r.path, r.project), r.stored) << r.path.toStdString();

    // The cache folder of a project: its folder, its base name and ".cache", never cut at a "." of a
    // parent folder.
    const struct {
        QString project, cache;
    } caches[] = {
        {u"/a.b/song"_qs, u"/a.b/song.cache"_qs},
        {u"/a/song.tvx"_qs, u"/a/song.cache"_qs},
        {u"/a/x^y.TVX"_qs, u"/a/xy.cache"_qs},
        {u"/a/v1.2.tvx"_qs, u"/a/v1.2.cache"_qs},
    };
    for (const auto& c : caches) EXPECT_EQ(ProjectCacheFolder(c.project), c.cache);
}

TEST_F(PathsFixture, CommandLinePathsAreClassifiedByExtensionAndKind) {
    const QString w = dir.filePath(u"w"_qs);
    QDir().mkpath(w + u"/bank.d"_qs);
    QDir().mkpath(w + u"/plain"_qs);
    for (const char* name : {"a.tvx", "B.TVX", "a.tvx.bak", "v.zip", "p.TVZ", "song.wsq", "run.bat", "noext", "bank.d/inner"})
        test::writeFile(w + u'/' + QString::fromUtf8(name), "x");
    const struct {
        const char* name;
        CommandLinePathKind kind;
    } cases[] = {
        {"a.tvx", CommandLinePathKind::Project},
        {"B.TVX", CommandLinePathKind::Project},
        {"a.tvx.bak", CommandLinePathKind::OtherFile},
        {"v.zip", CommandLinePathKind::ZipArchive},
        {"p.TVZ", CommandLinePathKind::TvzArchive},
        {"song.wsq", CommandLinePathKind::OtherFile},
        {"run.bat", CommandLinePathKind::OtherFile},
        {"noext", CommandLinePathKind::OtherFile},
        {"plain", CommandLinePathKind::Folder},
        {"bank.d", CommandLinePathKind::Folder},
        {"bank.d/inner", CommandLinePathKind::OtherFile},
        {"missing.tvx", CommandLinePathKind::Missing},
        {"*.tvx", CommandLinePathKind::Missing},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClassifyCommandLinePath(w + u'/' + QString::fromUtf8(c.name)), c.kind) << c.name;
    EXPECT_EQ(CommandLineExtension(u"/x.d/file"_qs), u".d/file"_qs);
    EXPECT_EQ(CommandLineExtension(u"/x/file"_qs), QString());
}

}  // namespace
