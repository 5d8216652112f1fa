#include "render/CacheFiles.h"

#include "core/Digests.h"
#include "core/Processes.h"
#include "core/Settings.h"
#include "platform/FakePorts.h"
#include "render/RenderCache.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tova;
using namespace Qt::Literals::StringLiterals;

namespace {

class CacheFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        savedSettings_ = settings();
        savedTemp_ = TempFolder;
        savedCurrent_ = QDir::currentPath();
        TempFolder.clear();
    }
    void TearDown() override {
        settings() = savedSettings_;
        TempFolder = savedTemp_;
        QDir::setCurrent(savedCurrent_);
    }

    QString path(const QString& name) const { return dir_.path() + u'/' + name; }
    // Makes files (a sub-folder in the name is made too), each `size` bytes, modified `ageDays` ago.
    void make(const QString& folder, const QStringList& names, qint64 size = 10, double ageDays = 0) const {
        QDir().mkpath(folder);
        for (const QString& name : names) {
            QFile f(folder + u'/' + name);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            ASSERT_TRUE(f.resize(size));
            f.close();
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(qint64(-ageDays * 86400)),
                                      QFileDevice::FileModificationTime));
        }
    }
    static QStringList files(const QString& folder) {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    QTemporaryDir dir_;

private:
    Settings savedSettings_;
    QString savedTemp_, savedCurrent_;
};

TEST_F(CacheFilesTest, NamesCarryIndexSampleNoteLengthAndDigest) {
    const QStringList args = {u"/v/sub\\ka.wav"_s, u"C4"_s, u"100"_s, u"\"g-5\""_s, u"12.5"_s, u"550"_s,
                              u"60.0"_s, u"-20.0"_s, u"100"_s, u"0"_s, u"!120 AA#3#"_s};
    const QString digest = CacheArgsDigest(args);
    EXPECT_EQ(digest.size(), 8);
    EXPECT_EQ(digest, digest.toLower());
    // Any argument that changes gives another name.
    for (int i = 0; i < args.size(); ++i) {
        QStringList changed = args;
        changed[i] += u'x';
        EXPECT_NE(CacheArgsDigest(changed), digest) << i;
    }
    // The digest of the code-page text, also for kana; characters the code page lacks are not lost.
    EXPECT_EQ(CacheArgsDigest({u"/v/あ.wav"_s, u"C4"_s}), MD5String(u"/v/あ.wav\tC4"_s).left(8));
    EXPECT_NE(CacheArgsDigest({u"/zoë/a.wav"_s}), CacheArgsDigest({u"/zoä/a.wav"_s}));
    const QString name = CacheFileName(3, u"sub\\ka"_s, u"C#4"_s, 550.0f, digest);
    EXPECT_EQ(name, u"3_sub_ka_C#4_550_"_s + digest + u".wav"_s);
    EXPECT_TRUE(IsCacheFileName(name));

    const struct { const char16_t* name; bool cache; } cases[] = {
        {u"0_a_C4_50_0123abcd.wav", true}, {u"12_x.WAV", true},  {u"1_.wav", true},
        {u"a_1_C4.wav", false},            {u"1.wav", false},    {u"_1_a.wav", false},
        {u"1_a_C4_50.wav.bak", false},     {u"song.wav", false}, {u"1_notes.txt", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsCacheFileName(QString::fromUtf16(c.name)), c.cache) << QString::fromUtf16(c.name).toStdString();
}

TEST_F(CacheFilesTest, NoteDeletionKeepsOtherIndexesAndOtherFiles) {
    const QString folder = path(u"song.cache"_s);
    make(folder, {u"1_a_C4_100_00000000.wav"_s, u"1_i_D4_200_11111111.wav"_s, u"10_a_C4_100_22222222.wav"_s,
                  u"11_a_C4_100_33333333.wav"_s, u"1_notes.txt"_s, u"21_a_C4_100_44444444.wav"_s});
    RenderCache cache;
    NoteCache& asSongSees = cache;
    asSongSees.DeleteNoteCacheFiles(folder, 1);
    EXPECT_EQ(files(folder), QStringList({u"10_a_C4_100_22222222.wav"_s, u"11_a_C4_100_33333333.wav"_s,
                                          u"1_notes.txt"_s, u"21_a_C4_100_44444444.wav"_s}));

    // An empty folder text is the temporary cache folder.
    TempFolder = path(u"tova1"_s);
    make(TempCacheFolder(), {u"4_a_C4_100_0.wav"_s, u"5_a_C4_100_0.wav"_s});
    DeleteNoteCacheFiles(QString(), 4);
    EXPECT_EQ(files(TempCacheFolder()), QStringList({u"5_a_C4_100_0.wav"_s}));
}

// A render lists the older renderings once and deletes a note's from that list: the same files go as
// when the folder is searched for each note.
TEST_F(CacheFilesTest, OneListingDeletesWhatEachNotesSearchWould) {
    const QStringList names = {u"1_a_C4_100_00000000.wav"_s, u"1_i.WAV"_s,  u"10_a_C4_100_2.wav"_s, u"012_a.wav"_s,
                               u"12_.wav"_s,                 u"1_notes.txt"_s, u"2_a.wav.bak"_s,      u"3x_a.wav"_s,
                               u"4_a_C4_100_4.wav"_s};
    const QString searched = path(u"searched"_s), listed = path(u"listed"_s);
    make(searched, names);
    make(listed, names);
    const QHash<int32_t, QStringList> byIndex = NoteCacheFilesByIndex(listed);
    for (int32_t index : {1, 12, 2, 3, 5}) {
        DeleteNoteCacheFiles(searched, index);
        DeleteListedNoteCacheFiles(byIndex, index);
        EXPECT_EQ(files(listed), files(searched)) << index;
    }
    EXPECT_EQ(files(listed), QStringList({u"012_a.wav"_s, u"10_a_C4_100_2.wav"_s, u"1_notes.txt"_s, u"2_a.wav.bak"_s,
                                          u"3x_a.wav"_s, u"4_a_C4_100_4.wav"_s}));
}

TEST_F(CacheFilesTest, EmptyFolderNeverMeansTheCurrentFolder) {
    // The current folder holds what look like cache files; no clean-up may reach them.
    const QString current = path(u"work"_s);
    const QStringList names = {u"1_a_C4_100_0.wav"_s, u"2_a_C4_100_0.wav"_s, u"song.wav"_s};
    make(current, names, 2 * 1024 * 1024, 30);
    QDir::setCurrent(current);
    settings().CacheDeleteSize = 1;
    settings().CacheDeleteInterval = 1;
    settings().CacheDeleteOnUnload = true;

    DeleteNoteCacheFiles(QString(), 1);  // no temporary folder is set either
    DeleteVoiceCacheFiles(QString(), u"a"_s);
    DeleteWavFiles(QString());
    DeleteExpiredCacheFiles(QString());
    TrimCacheToSize(QString());
    DeleteCacheFiles(QString());
    CleanCacheOnExit(QString());
    EXPECT_EQ(TempCacheFolder(), QString());
    EXPECT_EQ(files(current), names);
}

TEST_F(CacheFilesTest, FolderWideDeletionsTouchOnlyCacheFiles) {
    const QString folder = path(u"chosen"_s);
    const QStringList user = {u"readme.txt"_s, u"song.wav"_s, u"take_1.wav"_s};
    make(folder, user, 10, 400);
    make(folder, {u"1_sub_ka_C4_100_0.wav"_s, u"2_sub_kai_C4_100_0.wav"_s, u"3_SUB_KA_C4_100_0.wav"_s,
                  u"4_ka_C4_100_0.wav"_s},
         10, 400);

    // One sample: "_sub_ka_" inside the name (case-sensitive), or the name starting with it.
    DeleteVoiceCacheFiles(folder, u"sub\\ka"_s);
    EXPECT_EQ(files(folder), QStringList({u"2_sub_kai_C4_100_0.wav"_s, u"3_SUB_KA_C4_100_0.wav"_s,
                                          u"4_ka_C4_100_0.wav"_s, u"readme.txt"_s, u"song.wav"_s, u"take_1.wav"_s}));
    settings().CacheDeleteInterval = 30;
    DeleteExpiredCacheFiles(folder);
    EXPECT_EQ(files(folder), user);

    make(folder, {u"7_a_C4_100_0.wav"_s});
    DeleteWavFiles(folder);
    EXPECT_EQ(files(folder), user);
    make(folder, {u"8_a_C4_100_0.wav"_s});
    DeleteCacheFiles(folder);
    EXPECT_EQ(files(folder), user);
}

TEST_F(CacheFilesTest, ExpiryDeletesOnlyOlderFiles) {
    const QString folder = path(u"c"_s);
    make(folder, {u"1_old_C4_100_0.wav"_s}, 10, 3);
    make(folder, {u"2_new_C4_100_0.wav"_s}, 10, 1);
    settings().CacheDeleteInterval = 2;
    DeleteExpiredCacheFiles(folder);
    EXPECT_EQ(files(folder), QStringList({u"2_new_C4_100_0.wav"_s}));
}

TEST_F(CacheFilesTest, SizeTrimRemovesTheOldestFirst) {
    const QString folder = path(u"c"_s);
    // Six files of 512 KiB (3 MiB), the alphabetically first ones the newest.
    const qint64 half = 512 * 1024;
    for (int i = 0; i < 6; ++i) make(folder, {QStringLiteral("%1_s_C4_100_0.wav").arg(i)}, half, 1.0 + i);
    settings().CacheDeleteSize = 1;
    TrimCacheToSize(folder);
    // Down to 512 KiB: below the limit, not merely at it.
    EXPECT_EQ(files(folder), QStringList({u"0_s_C4_100_0.wav"_s}));

    // Exactly at the limit: nothing to do.
    const QString atLimit = path(u"d"_s);
    make(atLimit, {u"1_s_C4_100_0.wav"_s, u"2_s_C4_100_0.wav"_s}, half, 2);
    TrimCacheToSize(atLimit);
    EXPECT_EQ(files(atLimit).size(), 2);
    // A size below 1 MB means no limit.
    settings().CacheDeleteSize = 0;
    TrimCacheToSize(folder);
    EXPECT_EQ(files(folder).size(), 1);
}

TEST_F(CacheFilesTest, ExitCleanUpAppliesOneRule) {
    const struct {
        const char* what;
        bool onUnload, bySize, byDate;
        int interval;
        int left;  // files left of: 1 MiB old, 1 MiB new, 512 KiB old
    } cases[] = {
        {"delete on unload", true, true, true, 1, 0},
        {"size before age", false, true, true, 1, 2},
        {"age", false, false, true, 5, 1},
        {"age with interval 0", false, false, true, 0, 3},
        {"nothing set", false, false, false, 1, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir tmp;
        TempFolder = tmp.path() + u"/tova1"_s;
        make(TempCacheFolder(), {u"0_a_C4_100_0.wav"_s, u"temp$$$.wav"_s});
        const QString project = tmp.path() + u"/song.cache"_s;
        make(project, {u"1_a_C4_100_0.wav"_s}, 1024 * 1024, 10);
        make(project, {u"2_a_C4_100_0.wav"_s}, 1024 * 1024, 0);
        make(project, {u"3_a_C4_100_0.wav"_s}, 512 * 1024, 9);
        settings().CacheDeleteOnUnload = c.onUnload;
        settings().CacheDeleteBySize = c.bySize;
        settings().CacheDeleteSize = 2;
        settings().CacheDeleteByDate = c.byDate;
        settings().CacheDeleteInterval = c.interval;
        CleanCacheOnExit(project);
        EXPECT_FALSE(QFileInfo::exists(TempCacheFolder()));
        EXPECT_EQ(files(project).size(), c.left);
    }
}

TEST_F(CacheFilesTest, ConfirmationAsksBeforeDeletingEverything) {
    ScopedFakePorts ports;
    const QString folder = path(u"c"_s);
    make(folder, {u"1_a_C4_100_0.wav"_s, u"keep.txt"_s});
    ports.messageBox.answers.enqueue(MsgResult::Cancel);
    ConfirmDeleteCache(folder);
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_EQ(ports.messageBox.lastText(), u"キャッシュファイルを全て削除します。"_s);
    EXPECT_EQ(ports.messageBox.shown.back().buttons, MsgButtons::OKCancel);
    EXPECT_EQ(ports.messageBox.shown.back().icon, MsgIcon::Question);
    EXPECT_EQ(files(folder).size(), 2);
    ports.messageBox.answers.enqueue(MsgResult::OK);
    ConfirmDeleteCache(folder);
    EXPECT_EQ(files(folder), QStringList({u"keep.txt"_s}));
}

}  // namespace
