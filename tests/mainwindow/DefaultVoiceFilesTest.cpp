// The generator files that the start-up checks before running the generator: their digests are those
// of the files the build lays out in the default voice folder.
#include "core/Digests.h"
#include "mainwindow/DefaultVoiceFiles.h"
#include "support/TestSupport.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace tova;

TEST(DefaultVoiceFiles, DigestsAreThoseOfTheShippedFiles) {
    const QList<DefaultVoiceFile> files = DefaultVoiceFiles();
    ASSERT_EQ(files.size(), 3);
    EXPECT_EQ(files[0].name, "initvox.bat");
    EXPECT_EQ(files[1].name, "initvox");
    EXPECT_EQ(files[2].name, "initvox.txt");
    const QRegularExpression hex("^[0-9a-f]{32}$");
    for (const DefaultVoiceFile& f : files) {
        SCOPED_TRACE(f.name.toStdString());
        EXPECT_TRUE(hex.match(f.digest).hasMatch()) << f.digest.toStdString();
        EXPECT_EQ(MD5File(test::programFolder() + "/voice/cantu/" + f.name), f.digest);
    }
}
