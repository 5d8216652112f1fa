#include "core/FileHelpers.h"
#include "platform/SystemPaths.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace tova;

namespace {

// A small folder: files of mixed case, a file without extension, a hidden file, a folder with a file.
class FileHelpers : public ::testing::Test {
protected:
    void SetUp() override {
        root = tmp.path();
        for (const char* n : {"a.wav", "B.WAV", "c.txt", "noext", ".hidden.wav", "Sub/Deep.wav"})
            test::writeFile(root + "/" + n, "x");
        QDir().mkdir(root + "/Empty");
    }
    void TearDown() override {
        SystemPaths::setProgramFolder(QString());
        QDir::setCurrent(savedCwd);
    }

    // Every entry of a search: the first from the pattern, then the next ones until "".
    static QStringList listAll(const QString& pattern, int mask) {
        QStringList out;
        for (QString n = SafeDir(pattern, mask); !n.isEmpty(); n = SafeDir()) out << n;
        return out;
    }

    QTemporaryDir tmp;
    QString root;
    QString savedCwd = QDir::currentPath();
};

TEST(SafeDirDeathTest, WithoutAnySearchGivesTheEmptyText) {
    // Runs in a fresh process so that no earlier search is active.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(SafeDir().isEmpty() && SafeDir().isEmpty() ? 0 : 1), ::testing::ExitedWithCode(0), "");
}

TEST_F(FileHelpers, SafeDirListsMatchingEntriesOnceEach) {
    const struct {
        const char* pattern;  // relative to the folder
        int mask;
        QStringList entries;
    } cases[] = {
        {"/*.wav", 0, {"a.wav", "B.WAV"}},
        {"/*.*", 0, {"a.wav", "B.WAV", "c.txt", "noext"}},
        {"/*", 16, {".", "..", "a.wav", "B.WAV", "c.txt", "Empty", "noext", "Sub"}},
        {"/", 16, {".", "..", "a.wav", "B.WAV", "c.txt", "Empty", "noext", "Sub"}},
        {"/?.WAV", 0, {"a.wav", "B.WAV"}},
        {"/A.WAV", 0, {"a.wav"}},
        {"/a.wav", 0, {"a.wav"}},
        {"/a.wav", 16, {"a.wav"}},
        {"/Sub", 0, {}},
        {"/Sub", 16, {"Sub"}},
        {"/Sub/Deep.wav", 0, {"Deep.wav"}},
        {"\\NOEXT.", 0, {"noext"}},
        {"/sub", 0, {}},
        {"/sub", 16, {"Sub"}},
        {"\\SUB\\*.wav", 0, {"Deep.wav"}},
        {"/Empty/*.wav", 0, {}},
        {"/Empty/*", 16, {".", ".."}},
        {"/.hidden.wav", 16, {}},
        {"/missing/*.wav", 0, {}},
        {"/missing", 16, {}},
        {"/a<b.wav", 0, {}},
        {"/*.wav|", 0, {}},
        {"/a\x01.wav", 0, {}},
        {"/*/Deep.wav", 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(listAll(root + QString::fromUtf8(c.pattern), c.mask), c.entries);
        // An exhausted search keeps answering the empty text.
        EXPECT_EQ(SafeDir(), QString());
    }
    EXPECT_EQ(SafeDir(QString()), QString());
}

TEST_F(FileHelpers, SafeDirSearchIsSharedAndReplacedByTheNextPattern) {
    EXPECT_EQ(SafeDir(root + "/*.wav"), "a.wav");
    // A check in the middle of a listing starts a search of its own: the listing is lost.
    EXPECT_TRUE(FileExists(root + "/c.txt"));
    EXPECT_EQ(SafeDir(), QString());
    // A relative pattern counts from the current folder.
    QDir::setCurrent(root);
    EXPECT_EQ(listAll("*.txt", 0), QStringList{"c.txt"});
    EXPECT_EQ(listAll("sub\\*", 0), QStringList{"Deep.wav"});
}

TEST_F(FileHelpers, FileExistsOnlyForVisibleOrdinaryFiles) {
    const struct {
        QString path;
        bool exists;
    } cases[] = {
        {root + "/a.wav", true},
        {root + "/A.Wav", true},
        {root + "\\sub\\deep.WAV", true},
        {root + "/Sub", false},
        {root + "/Sub/", false},
        {root + "/a.wav\\", false},
        {root + "/?.wav", false},
        {root + "/*.wav", false},
        {root + "/.hidden.wav", false},
        {root + "/missing.wav", false},
        {QString(), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(FileExists(c.path), c.exists);
    }
    QDir::setCurrent(root);
    EXPECT_TRUE(FileExists("c.txt"));
    // Relative paths are not taken from the program folder.
    SystemPaths::setProgramFolder(root + "/Sub");
    EXPECT_FALSE(FileExists("Deep.wav"));
}

TEST_F(FileHelpers, IsValidExePathWantsARunnableFileCountedFromTheProgramFolder) {
    SystemPaths::setProgramFolder(root);
    test::writeFile(root + "/catena", "#!/bin/sh\n");
    QFile::setPermissions(root + "/catena", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    test::writeFile(root + "/tools/vorsa", "#!/bin/sh\n");
    QFile::setPermissions(root + "/tools/vorsa", QFile::ReadOwner | QFile::ExeOwner);
    QDir().mkdir(root + "/runnable-folder");
    const struct {
        QString path;
        bool valid;
    } cases[] = {
        {"catena", true},
        {"CATENA", true},
        {"tools\\vorsa", true},
        {root + "/tools/vorsa", true},
        {"c.txt", false},  // not executable
        {"runnable-folder", false},
        {"missing", false},
        {"catena/", false},
        {"caten?", false},
        {"cat*", false},
        {QString(), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(IsValidExePath(c.path), c.valid);
    }
}

TEST_F(FileHelpers, IsValidFolderPathDropsOneFinalSeparatorFromTheCallersText) {
    SystemPaths::setProgramFolder(root);
    const struct {
        QString path;
        bool valid;
        QString after;
    } cases[] = {
        {root + "/Sub/", true, root + "/Sub"},
        {root + "\\sub\\", true, root + "\\sub"},
        {"Sub", true, "Sub"},
        {"empty\\", true, "empty"},
        {"Sub//", true, "Sub/"},  // only one separator is removed
        {"a.wav", true, "a.wav"},  // an ordinary file passes too
        {"missing/", false, "missing"},
        {"S*b", false, "S*b"},
        {"Su?", false, "Su?"},
        {"/", false, ""},  // the bare root becomes the empty text, which is refused
        {QString(), false, QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        QString text = c.path;
        EXPECT_EQ(IsValidFolderPath(text), c.valid);
        EXPECT_EQ(text, c.after);
    }
}

TEST_F(FileHelpers, ResolveAndStripAppPathMoveBetweenAbsoluteAndProgramRelative) {
    SystemPaths::setProgramFolder("/opt/tova");
    const struct {
        const char* path;
        const char* resolved;
    } resolveCases[] = {
        {"catena", "/opt/tova/catena"},
        {"voice\\cantu", "/opt/tova/voice\\cantu"},
        {"", "/opt/tova/"},
        {"/usr/bin/catena", "/usr/bin/catena"},
        {"\\\\server\\share\\catena", "\\\\server\\share\\catena"},
        {"C:\\tools\\catena.exe", "C:\\tools\\catena.exe"},
        {"D:/voice", "D:/voice"},
        {"sub//x", "sub//x"},
    };
    for (const auto& c : resolveCases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ResolveAppPath(QString::fromUtf8(c.path)), QString::fromUtf8(c.resolved));
    }
    const struct {
        const char* path;
        const char* stripped;
    } stripCases[] = {
        {"/opt/tova/catena", "catena"},
        {"/opt/tova\\vorsa", "vorsa"},
        {"\"/opt/tova/a\" /opt/tova/b", "\"a\" b"},
        {"/OPT/tova/catena", "/OPT/tova/catena"},
        {"/opt/tovax/catena", "/opt/tovax/catena"},
        {"/opt/tova", "/opt/tova"},
        {"/usr/bin/catena", "/usr/bin/catena"},
    };
    for (const auto& c : stripCases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(StripAppPath(QString::fromUtf8(c.path)), QString::fromUtf8(c.stripped));
    }
    EXPECT_EQ(ResolveAppPath(StripAppPath("/opt/tova/tools/vorsa")), "/opt/tova/tools/vorsa");

    // A program in the root folder: only the leading root mark is the program folder's.
    SystemPaths::setProgramFolder("/");
    EXPECT_EQ(ResolveAppPath("catena"), "/catena");
    EXPECT_EQ(StripAppPath("/tools/vorsa"), "tools/vorsa");
}

TEST(TextHelpers, QuoteStringQuotesUnquotedTextOnly) {
    const struct {
        const char* text;
        const char* quoted;
    } cases[] = {
        {"C:/a b/catena", "\"C:/a b/catena\""},
        {"", "\"\""},
        {"\"start only", "\"start only"},
        {"end only\"", "end only\""},
        {"\"both\"", "\"both\""},
        {"\"", "\""},
        {"mid\"dle", "\"mid\"dle\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(QuoteString(QString::fromUtf8(c.text)), QString::fromUtf8(c.quoted));
    }
}

TEST(TextHelpers, IsBetweenAcceptsBoundsInEitherOrder) {
    const struct {
        double a, b, c;
        bool inclusive, exclusive;
    } cases[] = {
        {10, 10, 20, true, false},
        {20, 15, 10, true, true},
        {10, 20, 20, true, false},
        {10, 5, 20, false, false},
        {20, 25, 10, false, false},
        {7, 7, 7, true, false},
        {7, 7.0001, 7, false, false},
        {-1.5, -1.25, -1, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << " " << c.b << " " << c.c);
        EXPECT_EQ(IsBetween(c.a, c.b, c.c, false), c.inclusive);
        EXPECT_EQ(IsBetween(c.a, c.b, c.c, true), c.exclusive);
    }
}

}  // namespace
