// The batch runner's kept folder listings answer as the file-system layer does, from one read of a
// folder, and follow the changes the runner tells them of.
#include "platform/lean/Files.h"
#include "support/TestSupport.h"
#include "tools/batrun/FolderListings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tova {
namespace {

std::string utf8(const QString& s) { return QFile::encodeName(s).toStdString(); }

TEST(FolderListings, AnswerAsTheFileSystemLayerDoes) {
    QTemporaryDir tmp;
    const QString root = tmp.path();
    for (const char* name : {"/Cache/12_a_C4.wav", "/Cache/12_A_D4.WAV", "/Cache/123_i.wav", "/Cache/.hidden.wav",
                             "/Cache/音.wav", "/Cache/Sub/x.wav", "/Cache/name"})
        test::writeFile(root + name, "x");
    FolderListings listings;
    const struct {
        const char* path;
    } paths[] = {{"/cache/12_A_C4.wav"}, {"\\CACHE\\sub\\X.WAV"}, {"/Cache/missing.wav"}, {"/cache/音.WAV"},
                 {"/CACHE/.HIDDEN.wav"}, {"/Cache/12_a_C4.wav"}};
    for (const auto& p : paths) {
        SCOPED_TRACE(p.path);
        EXPECT_EQ(listings.resolve(utf8(root + p.path)), lean::Files::resolve(utf8(root + p.path)));
    }
    const struct {
        const char* pattern;
        bool withFolders;
    } patterns[] = {{"12_*.wav", false}, {"12_A*", false}, {"*.*", true}, {"*", false}, {"1?_*", false},
                    {"name.", false},    {"SUB", true},    {"音*", false}};
    for (const auto& p : patterns) {
        SCOPED_TRACE(p.pattern);
        EXPECT_EQ(listings.list(utf8(root + "/CACHE"), p.pattern, p.withFolders),
                  lean::Files::list(utf8(root + "/CACHE"), p.pattern, p.withFolders));
    }
}

TEST(FolderListings, FollowTheChangesTheyAreTold) {
    QTemporaryDir tmp;
    const std::string folder = utf8(tmp.path());
    test::writeFile(tmp.filePath("1_a.wav"), "x");
    FolderListings listings;
    EXPECT_EQ(listings.list(folder, "*.wav", false), (std::vector<std::string>{"1_a.wav"}));

    // A note told of but not (yet) on disk is not reported; once there it is, in any letter case.
    listings.added(folder + "/2_b.wav");
    EXPECT_EQ(listings.list(folder, "2_*.wav", false), std::vector<std::string>{});
    EXPECT_EQ(listings.resolve(folder + "/2_B.WAV"), folder + "/2_B.WAV");
    test::writeFile(tmp.filePath("2_b.wav"), "x");
    EXPECT_EQ(listings.list(folder, "2_*.wav", false), (std::vector<std::string>{"2_b.wav"}));
    EXPECT_EQ(listings.resolve(folder + "/2_B.WAV"), folder + "/2_b.wav");

    ASSERT_TRUE(QFile::remove(tmp.filePath("1_a.wav")));
    listings.removed(folder + "/1_a.wav");
    EXPECT_EQ(listings.list(folder, "1_*", false), std::vector<std::string>{});

    // What others make is seen once the folder is read anew.
    test::writeFile(tmp.filePath("3_c.wav"), "x");
    EXPECT_EQ(listings.list(folder, "3_*", false), std::vector<std::string>{});
    listings.forget(folder);
    EXPECT_EQ(listings.list(folder, "3_*", false), (std::vector<std::string>{"3_c.wav"}));
}

}  // namespace
}  // namespace tova
