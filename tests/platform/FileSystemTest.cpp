#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/SystemErrorText.h"
#include "platform/lean/Files.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

using tova::FileSystem;
using tova::PathText;

namespace {

TEST(PathText, PartsAcceptBothSeparators) {
    const struct { const char* path; const char* folder; const char* file; const char* base; const char* ext; } cases[] = {
        {"a/b/c.wav", "a/b", "c.wav", "c", ".wav"},
        {"a\\b\\c.wav", "a\\b", "c.wav", "c", ".wav"},
        {"sub\\a.wav", "sub", "a.wav", "a", ".wav"},
        {"a.d/b", "a.d", "b", "b", ""},
        {"c.tar.gz", "", "c.tar.gz", "c.tar", ".gz"},
        {"/x", "/", "x", "x", ""},
        {"mixed/dir\\file.", "mixed/dir", "file.", "file", "."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        QString p = QString::fromUtf8(c.path);
        EXPECT_EQ(PathText::folderPart(p), QString::fromUtf8(c.folder));
        EXPECT_EQ(PathText::filePart(p), QString::fromUtf8(c.file));
        EXPECT_EQ(PathText::baseName(p), QString::fromUtf8(c.base));
        EXPECT_EQ(PathText::extension(p), QString::fromUtf8(c.ext));
    }
    EXPECT_EQ(PathText::join(QStringLiteral("a"), QStringLiteral("b")), QStringLiteral("a/b"));
    EXPECT_EQ(PathText::join(QStringLiteral("a/"), QStringLiteral("b")), QStringLiteral("a/b"));
    EXPECT_EQ(PathText::join(QString(), QStringLiteral("b")), QStringLiteral("b"));
}

TEST(PathText, StaysInsideRefusesRootedNamesAndParentParts) {
    const struct { const char* name; bool inside; } cases[] = {
        {"a.wav", true},          {"sub/a.wav", true},      {"sub\\a.wav", true},  {"..a.wav", true},
        {"a..", true},            {"", true},               {"./a.wav", true},       {"..", false},
        {"../a.wav", false},      {"..\\a.wav", false},     {"sub/../../a", false},  {"sub\\..", false},
        {"/etc/a.wav", false},    {"\\a.wav", false},
    };
    for (const auto& c : cases) EXPECT_EQ(PathText::staysInside(QString::fromUtf8(c.name)), c.inside) << c.name;
}

TEST(FileSystem, WindowsFindFileMatching) {
    const struct { const char* name; const char* pattern; bool match; } cases[] = {
        {"a.wav", "*.wav", true}, {"A.WAV", "*.wav", true}, {"a.wav.bak", "*.wav", false},
        {"noext", "*.*", true}, {"a.b", "*.*", true}, {"noext", "noext.", true},
        {"i_1.wav", "i_*.wav", true}, {"10_a.wav", "1_*.wav", false}, {"ab", "a?", true}, {"abc", "a?", false},
        {"あ.wav", "あ*", true}, {"abcabd", "*ab?", true}, {"abab", "*ab", true}, {"a", "**?*", true},
        {"ab", "?", false}, {"Ä.wav", "ä.WAV", true},
        // Many stars against a long name that almost matches: answered at once.
        {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", "*a*a*a*a*a*a*a*a*a*a*a*b", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " ~ " + c.pattern);
        EXPECT_EQ(FileSystem::wildcardMatch(QString::fromUtf8(c.name), QString::fromUtf8(c.pattern)), c.match);
    }
}

TEST(FileSystem, ResolvesNamesWithoutRegardToCaseAndBackslashes) {
    QTemporaryDir tmp;
    const QString root = tmp.path();
    tova::test::writeFile(root + "/A.WAV", "x");
    tova::test::writeFile(root + "/Sub/A.wav", "y");
    tova::test::writeFile(root + "/exact.wav", "z");
    EXPECT_EQ(FileSystem::resolve(root + "/a.wav"), root + "/A.WAV");
    EXPECT_EQ(FileSystem::resolve(root + "\\sub\\a.wav"), root + "/Sub/A.wav");
    EXPECT_EQ(FileSystem::resolve(root + "/exact.wav"), root + "/exact.wav");
    // Of names that differ only in case, the first in case-insensitive order (upper case first on a tie).
    tova::test::writeFile(root + "/dUp.wav", "1");
    tova::test::writeFile(root + "/DUP.wav", "2");
    tova::test::writeFile(root + "/Dup.wav", "3");
    EXPECT_EQ(FileSystem::resolve(root + "/dup.WAV"), root + "/DUP.wav");
    // Missing parts stay as written, so the path can still be created.
    EXPECT_EQ(FileSystem::resolve(root + "/SUB/new/b.wav"), root + "/Sub/new/b.wav");
    EXPECT_TRUE(FileSystem::isFile(root + "/sub/a.WAV"));
    EXPECT_TRUE(FileSystem::isFolder(root + "/SUB"));
    EXPECT_FALSE(FileSystem::isFile(root + "/sub"));
    EXPECT_FALSE(FileSystem::exists(QString()));
}

// Opening a path as written first and resolving it only when nothing is found there gives the file
// that resolving first gives; with O_CREAT a file that exists under another letter case is opened,
// not a second one made beside it.
TEST(FileSystem, OpeningFindsTheFileResolvingFinds) {
    QTemporaryDir tmp;
    const QString root = tmp.path();
    tova::test::writeFile(root + "/A.WAV", "upper");
    tova::test::writeFile(root + "/Sub/B.wav", "sub");
    tova::test::writeFile(root + "/c.wav", "lower");
    tova::test::writeFile(root + "/C.WAV", "upper c");
    const struct {
        const char* path;  // under the folder
        int flags;
        const char* opened;  // "" when nothing opens
        int error;           // errno then
        const char* content;
    } rows[] = {
        {"/A.WAV", O_RDONLY, "/A.WAV", 0, "upper"},
        {"/a.wav", O_RDONLY, "/A.WAV", 0, "upper"},
        {"\\sub\\b.WAV", O_RDONLY, "/Sub/B.wav", 0, "sub"},
        {"/c.wav", O_RDONLY, "/c.wav", 0, "lower"},  // as written, though another spelling sorts first
        {"/C.WAV", O_RDONLY, "/C.WAV", 0, "upper c"},
        {"/missing.wav", O_RDONLY, "", ENOENT, ""},
        {"/A.WAV/inside", O_RDONLY, "", ENOTDIR, ""},
        {"/sub", O_RDWR, "", EISDIR, ""},  // found, but no file to write: no second look
        {"/a.wav", O_RDWR | O_CREAT, "/A.WAV", 0, "upper"},
        {"/SUB/new.wav", O_RDWR | O_CREAT, "/Sub/new.wav", 0, ""},
        {"/SUB/NEW.wav", O_RDWR | O_CREAT, "/Sub/new.wav", 0, ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.path);
        std::string opened;
        const std::string path = QFile::encodeName(root + r.path).toStdString();
        const int fd = tova::lean::Files::openResolved(path, r.flags | O_CLOEXEC, 0666, &opened);
        if (!*r.opened) {
            EXPECT_LT(fd, 0);
            EXPECT_EQ(errno, r.error);
            continue;
        }
        ASSERT_GE(fd, 0);
        EXPECT_EQ(QFile::decodeName(QByteArray::fromStdString(opened)), root + r.opened);
        char buffer[16] = {};
        EXPECT_EQ(::read(fd, buffer, sizeof buffer - 1), ssize_t(std::strlen(r.content)));
        EXPECT_STREQ(buffer, r.content);
        ::close(fd);
    }
    QStringList entries = QDir(root).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (QStringList{"A.WAV", "C.WAV", "Sub", "c.wav"}));
    EXPECT_EQ(QDir(root + "/Sub").entryList(QDir::Files), (QStringList{"B.wav", "new.wav"}));
}

// A file about to be made: its folder is found as any path is, its name is taken as written, so
// writing into a folder of many files never reads the folder.
TEST(FileSystem, OutputPathsFindTheFolderAndKeepTheName) {
    QTemporaryDir tmp;
    const QString root = tmp.path();
    tova::test::writeFile(root + "/Cache/Note.wav", "old");
    const struct {
        const char* path;  // under the folder
        const char* resolved;
    } rows[] = {
        {"/Cache/Note.wav", "/Cache/Note.wav"},
        {"/cache/new.wav", "/Cache/new.wav"},
        {"\\CACHE\\new.wav", "/Cache/new.wav"},
        {"/Cache/note.wav", "/Cache/note.wav"},     // a new file, though another spelling exists
        {"/missing/new.wav", "/missing/new.wav"},  // kept as written
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.path);
        const std::string path = QFile::encodeName(root + r.path).toStdString();
        EXPECT_EQ(QFile::decodeName(QByteArray::fromStdString(tova::lean::Files::resolveOutput(path))),
                  root + r.resolved);
    }
    EXPECT_EQ(tova::lean::Files::resolveOutput("temp$$$.wav"), "temp$$$.wav");
    EXPECT_EQ(tova::lean::Files::resolveOutput("sub\\a.wav"), "sub/a.wav");
}

// One read of a folder tells which entries are regular files by their exact names; each name listed
// is a file for isFile. Folders, links (whatever they point to), names holding "\\" and folders that
// cannot be read list nothing.
TEST(FileSystem, ListedRegularFilesAreFilesByTheirExactNames) {
    QTemporaryDir tmp;
    const QString root = tmp.path();
    for (const char* name : {"a.wav", "B.WAV", ".hidden", "back\\slash.wav"})
        tova::test::writeFile(root + "/" + name, "x");
    QDir().mkdir(root + "/folder.wav");
    QFile::link(root + "/a.wav", root + "/link.wav");
    const QSet<QString> listed = FileSystem::listedRegularFiles(root);
    EXPECT_EQ(listed, (QSet<QString>{"a.wav", "B.WAV", ".hidden"}));
    for (const QString& name : listed) EXPECT_TRUE(FileSystem::isFile(root + "/" + name)) << name.toStdString();
    EXPECT_TRUE(FileSystem::listedRegularFiles(root + "/missing").isEmpty());
    EXPECT_TRUE(FileSystem::listedRegularFiles(root + "/a.wav").isEmpty());
}

TEST(FileSystem, ListingsAreSortedWithoutRegardToCase) {
    QTemporaryDir tmp;
    for (const char* n : {"b.wav", "A.wav", "c.WAV", "d.txt", "noext"}) tova::test::writeFile(tmp.path() + "/" + n, "");
    QDir().mkdir(tmp.path() + "/Folder");
    EXPECT_EQ(FileSystem::list(tmp.path(), "*.wav", false), (QStringList{"A.wav", "b.wav", "c.WAV"}));
    EXPECT_EQ(FileSystem::list(tmp.path(), "*.*", false), (QStringList{"A.wav", "b.wav", "c.WAV", "d.txt", "noext"}));
    EXPECT_TRUE(FileSystem::list(tmp.path(), "*", true).contains("Folder"));
    EXPECT_FALSE(FileSystem::list(tmp.path(), "*", false).contains("Folder"));
    EXPECT_TRUE(FileSystem::list(tmp.path() + "/missing", "*", false).isEmpty());

    // Links count as what they point to; one pointing nowhere, a hidden file and a file inside a
    // folder are no entries of a file listing of "*.wav" (but the broken link is one of "*").
    QDir().mkdir(tmp.path() + "/f.wav");
    QFile::link(tmp.path() + "/Folder", tmp.path() + "/linked.wav");
    QFile::link(tmp.path() + "/b.wav", tmp.path() + "/alias.wav");
    QFile::link(tmp.path() + "/gone", tmp.path() + "/broken");
    tova::test::writeFile(tmp.path() + "/.hidden.wav", "");
    tova::test::writeFile(tmp.path() + "/Folder/inner.wav", "");
    EXPECT_EQ(FileSystem::list(tmp.path(), "*.wav", false), (QStringList{"A.wav", "alias.wav", "b.wav", "c.WAV"}));
    EXPECT_EQ(FileSystem::list(tmp.path(), "*.wav", true),
              (QStringList{"A.wav", "alias.wav", "b.wav", "c.WAV", "f.wav", "linked.wav"}));
    EXPECT_EQ(FileSystem::list(tmp.path(), "*", false),
              (QStringList{"A.wav", "alias.wav", "b.wav", "broken", "c.WAV", "d.txt", "noext"}));
}

TEST(FileSystem, PrivateFoldersAreOwnerOnly) {
    QTemporaryDir tmp;
    const QString f = tmp.path() + "/private/tova1";
    ASSERT_TRUE(FileSystem::makePrivateFolder(f));
    struct stat st{};
    ASSERT_EQ(stat(QFile::encodeName(f).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // An existing folder is tightened; a link or a file in its place is refused.
    QDir().mkdir(tmp.path() + "/open");
    chmod(QFile::encodeName(tmp.path() + "/open").constData(), 0777);
    EXPECT_TRUE(FileSystem::makePrivateFolder(tmp.path() + "/open"));
    stat(QFile::encodeName(tmp.path() + "/open").constData(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    QFile::link(f, tmp.path() + "/link");
    EXPECT_FALSE(FileSystem::makePrivateFolder(tmp.path() + "/link"));
    tova::test::writeFile(tmp.path() + "/file", "");
    EXPECT_FALSE(FileSystem::makePrivateFolder(tmp.path() + "/file"));
}

// The reasons a save or render meets are said in words; none reads as an unknown error.
TEST(SystemErrorText, UsualReasonsInWords) {
    const struct {
        int number;
        const char16_t* words;
    } cases[] = {
        {ENOSPC, u"ディスクの空き領域が不足しています。"}, {EDQUOT, u"ディスクの使用量の上限に達しました。"},
        {EFBIG, u"ファイルが大きすぎます。"},               {EACCES, u"書き込む権限がありません。"},
        {EROFS, u"読み取り専用のディスクです。"},           {ENOENT, u"パスが見つかりません。"},
        {EIO, u"デバイスの入出力エラーです。"},
    };
    for (const auto& c : cases) EXPECT_EQ(tova::SystemErrorText(c.number), QString::fromUtf16(c.words)) << c.number;
    // Any other number: the system's words and the number, never empty.
    const QString other = tova::SystemErrorText(EXDEV);
    EXPECT_TRUE(other.endsWith(QStringLiteral("(errno ") + QString::number(EXDEV) + u')')) << other.toStdString();
    EXPECT_GT(other.size(), 12);
}

// A file that cannot be made keeps the reason's number, for the words the user sees.
TEST(AtomicFileTest, AFailureKeepsItsErrorNumber) {
    QTemporaryDir dir;
    tova::lean::AtomicFile missing(QFile::encodeName(dir.filePath(QStringLiteral("no/such/x"))).toStdString());
    EXPECT_FALSE(missing.isOpen());
    EXPECT_EQ(missing.errorNumber(), ENOENT);
    tova::lean::AtomicFile fine(QFile::encodeName(dir.filePath(QStringLiteral("x"))).toStdString());
    EXPECT_TRUE(fine.write("abc", 3) && fine.commit(false));
    EXPECT_EQ(fine.errorNumber(), 0);
}

}  // namespace
