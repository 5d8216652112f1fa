#include "platform/ProcessHandle.h"
#include "platform/ProcessSpawn.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace {

using tova::ProcessHandle;
using tova::ProcessSpawn;

// A started program runs in the folder given (blanks and characters beyond code page 932 in its
// name), in a session of its own, and once a wait has seen its end nothing of it is left: no zombie
// for the editor to carry.
TEST(ProcessSpawn, RunsInItsFolderAndLeavesNothingBehind) {
    QTemporaryDir tmp;
    const QString folder = tmp.filePath(QStringLiteral("my folder 🎵"));
    ASSERT_TRUE(QDir().mkpath(folder));
    qputenv("TOVA_SPAWN_KEPT", "kept");
    qputenv("TOVA_SPAWN_REPLACED", "old");
    const qint64 pid = ProcessSpawn::start(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"),
         QStringLiteral("pwd > out.txt; echo \"$TOVA_SPAWN_KEPT $TOVA_SPAWN_REPLACED $TOVA_SPAWN_ADDED\" >> out.txt; "
                        "ps -o sid= -p $$ >> out.txt")},
        folder, true, {{QStringLiteral("TOVA_SPAWN_REPLACED"), QStringLiteral("new")},
                       {QStringLiteral("TOVA_SPAWN_ADDED"), QStringLiteral("added")}});
    ASSERT_GT(pid, 0);
    ProcessHandle handle;
    ASSERT_TRUE(handle.open(pid));
    EXPECT_EQ(handle.wait(10000), ProcessHandle::Wait::Ended);
    const QList<QByteArray> lines = tova::test::readFile(folder + QStringLiteral("/out.txt")).trimmed().split('\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(QFile::decodeName(lines[0]), folder);
    EXPECT_EQ(lines[1], "kept new added");  // this program's environment with the variables given
    if (lines.size() > 2) EXPECT_EQ(lines[2].trimmed().toLongLong(), pid);  // its own session
    // Collected: no longer a child of this process.
    errno = 0;
    EXPECT_EQ(::waitpid(pid_t(pid), nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

// A program that ended without anyone waiting is collected by the next start.
TEST(ProcessSpawn, AnEndNobodyWaitedForIsCollectedByTheNextStart) {
    const qint64 first = ProcessSpawn::start(QStringLiteral("/bin/true"), {}, QString(), true);
    ASSERT_GT(first, 0);
    // Ended, but not collected yet: still this process's child.
    siginfo_t info{};
    ASSERT_EQ(::waitid(P_PID, id_t(first), &info, WEXITED | WNOWAIT), 0);
    const qint64 second = ProcessSpawn::start(QStringLiteral("true"), {}, QString(), true);  // found in PATH
    ASSERT_GT(second, 0);
    errno = 0;
    EXPECT_EQ(::waitpid(pid_t(first), nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
    ProcessHandle handle;
    if (handle.open(second)) handle.wait(10000);
}

TEST(ProcessSpawn, WhatCannotStartAnswersZero) {
    QTemporaryDir tmp;
    const QString notExecutable = tmp.filePath(QStringLiteral("tool"));
    tova::test::writeFile(notExecutable, "#!/bin/sh\n");
    const struct {
        QString program;
        QString folder;
    } rows[] = {
        {tmp.filePath(QStringLiteral("missing")), QString()},
        {notExecutable, QString()},
        {QStringLiteral("/bin/true"), tmp.filePath(QStringLiteral("no such folder"))},
        {QStringLiteral("no-such-program-anywhere"), QString()},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.program.toStdString());
        EXPECT_EQ(ProcessSpawn::start(r.program, {}, r.folder, true), 0);
    }
}

}  // namespace
