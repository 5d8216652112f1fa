// The per-user registry of running copies: one locked file per copy, a shared block that lives while
// any copy is registered.
#include "platform/InstanceRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace tova;

namespace {

// Counts in the block's first byte.
int countOn(QByteArray& block) {
    block[0] = char(block[0] + 1);
    return int(quint8(block[0]));
}

TEST(InstanceRegistry, NumbersGrowWhileCopiesRunAndStartAgainAfterAllLeft) {
    QTemporaryDir root;
    const QString folder = root.filePath("locks");
    InstanceRegistry a(folder), b(folder), c(folder), d(folder);
    EXPECT_EQ(a.join(countOn), 1);
    EXPECT_EQ(b.join(countOn), 2);
    b.leave();
    EXPECT_EQ(c.join(countOn), 3);  // not given back while a copy runs
    a.leave();
    c.leave();
    EXPECT_EQ(d.join(countOn), 1);  // nobody left: a new block

    struct stat st{};
    ASSERT_EQ(::stat(QFile::encodeName(folder).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(InstanceRegistry, LockFilesOfEndedCopiesDoNotCount) {
    QTemporaryDir root;
    const QString folder = root.filePath("locks");
    {
        InstanceRegistry a(folder);
        ASSERT_EQ(a.join(countOn), 1);
    }
    // A copy that crashed leaves its file behind, but no lock on it, and a block with its count.
    QFile stale(folder + "/instance-7.lock");
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    QFile block(folder + "/block");
    ASSERT_TRUE(block.open(QIODevice::WriteOnly));
    block.write(QByteArray(1, char(7)) + QByteArray(1023, '\0'));
    block.close();

    InstanceRegistry b(folder);
    EXPECT_EQ(b.join(countOn), 1);
    EXPECT_FALSE(QFileInfo::exists(folder + "/instance-7.lock"));
}

TEST(InstanceRegistry, NumberHeldByARunningCopyIsNeverShared) {
    QTemporaryDir root;
    const QString folder = root.filePath("locks");
    InstanceRegistry a(folder), b(folder);
    ASSERT_EQ(a.join(countOn), 1);
    // Someone rewinds the shared block: the next copy must not get 1 as well.
    QFile block(folder + "/block");
    ASSERT_TRUE(block.open(QIODevice::WriteOnly));
    block.write(QByteArray(1024, '\0'));
    block.close();
    EXPECT_EQ(b.join(countOn), 2);
}

TEST(InstanceRegistry, RefusesAFolderItDoesNotOwnOutright) {
    QTemporaryDir root;
    QDir(root.path()).mkdir("elsewhere");
    const QString link = root.filePath("locks");
    ASSERT_TRUE(QFile::link(root.filePath("elsewhere"), link));
    InstanceRegistry a(link);
    EXPECT_EQ(a.join(countOn), 0);
    EXPECT_FALSE(a.joined());
}

}  // namespace
