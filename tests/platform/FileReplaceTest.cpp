// The one file writer: failures keep the old file and say why in words; temporary files of writers
// that no longer run are removed at the next save of the same file, and nothing else is.
#include "platform/FileReplace.h"
#include "platform/SystemErrorText.h"
#include "platform/lean/Files.h"
#include "support/FullDisk.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <spawn.h>
#include <thread>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tova;
using namespace Qt::StringLiterals;

namespace {

// A child process that lives until the object goes.
struct LivingProcess {
    pid_t pid = ::fork();
    LivingProcess() {
        if (pid == 0)
            for (;;) ::pause();
    }
    ~LivingProcess() {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
};

// The id of a process that has ended.
pid_t endedProcess() {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

void makeOld(const QString& path, int secondsAgo) {
    const timeval times[2] = {{::time(nullptr) - secondsAgo, 0}, {::time(nullptr) - secondsAgo, 0}};
    ::utimes(QFile::encodeName(path).constData(), times);
}

}  // namespace

TEST(FileReplace, AFailureKeepsTheOldFileAndSaysWhy) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"setting.ini"_s);
    test::writeFile(path, "old");
    QDir().mkpath(dir.filePath(u"folder.ini"_s));
    const QByteArray big(5000, 'n');
    struct Case {
        const char* what;
        QString target;
        rlim_t limit;
        int error;
    } cases[] = {
        {"a full disk", path, 100, EFBIG},
        {"a missing folder", dir.filePath(u"gone/x.ini"_s), RLIM_INFINITY, ENOENT},
        {"a folder in the way", dir.filePath(u"folder.ini"_s), RLIM_INFINITY, EISDIR},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QString reason;
        bool done = true;
        {
            test::FileSizeLimit limit(c.limit == RLIM_INFINITY ? 1 << 30 : c.limit);
            done = ReplaceFile(c.target, big, &reason);
        }
        EXPECT_FALSE(done);
        EXPECT_EQ(reason, SystemErrorText(c.error));
        EXPECT_EQ(test::readFile(path), QByteArray("old"));
        EXPECT_EQ(test::temporaryFiles(dir.path()), QStringList{});
    }
    // The streaming form: a failed write drops the file, later writes and the commit do nothing.
    ReplacingFile file(path);
    {
        test::FileSizeLimit limit(100);
        EXPECT_FALSE(file.write(big));
    }
    EXPECT_FALSE(file.write("x"));
    EXPECT_FALSE(file.commit());
    EXPECT_EQ(file.errorText(), path + u": "_s + SystemErrorText(EFBIG));
    EXPECT_EQ(test::readFile(path), QByteArray("old"));
    EXPECT_EQ(test::temporaryFiles(dir.path()), QStringList{});
    EXPECT_TRUE(ReplaceFile(path, "new"));
    EXPECT_EQ(test::readFile(path), QByteArray("new"));
}

TEST(FileReplace, TheNextSaveRemovesOnlyWhatEndedWritersLeft) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"song.tvx"_s);
    test::writeFile(path, "old");
    const auto name = [&](long long pid, int n) { return u"song.tvx."_s + QString::number(pid) + u'-' + QString::number(n) + u".tmp"_s; };
    const auto leave = [&](const QString& file) { test::writeFile(dir.filePath(file), "left"); };

    // Gone: a killed writer, a process that has ended, a process id given again to a process that
    // started after the file was last written.
    const QString killed = test::killedWriterLeftover(path);
    ASSERT_FALSE(killed.isEmpty());
    const QString ended = name(endedProcess(), 0);
    leave(ended);
    LivingProcess newer;
    const QString reused = name(newer.pid, 0);
    leave(reused);
    makeOld(dir.filePath(reused), 3600);

    // Kept: a process that runs and started before it wrote, an ended writer's file that someone holds
    // locked (a writer of another machine on a shared folder), a link, another file's leftover, and a
    // name not of the writer's form.
    LivingProcess older;
    const QString running = name(older.pid, 0);
    leave(running);
    const QString locked = name(endedProcess(), 1);
    leave(locked);
    const int lock = ::open(QFile::encodeName(dir.filePath(locked)).constData(), O_RDONLY);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    const QString link = name(endedProcess(), 2);
    QFile::link(path, dir.filePath(link));
    const QString other = u"other.tvx.1-0.tmp"_s;
    leave(other);
    const QString foreign = u"song.tvx.x1-0.tmp"_s;
    leave(foreign);

    ASSERT_TRUE(ReplaceFile(path, "new"));
    ::close(lock);
    QStringList kept{running, locked, link, other, foreign};
    kept.sort();
    QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::System);
    left.removeAll(u"song.tvx"_s);
    left.sort();
    EXPECT_EQ(left, kept) << killed.toStdString() << ' ' << ended.toStdString() << ' ' << reused.toStdString();
    EXPECT_EQ(test::readFile(path), QByteArray("new"));
}

// A name that stands for something other than a regular file (a pipe, a device such as /dev/null)
// is written into, never replaced by a file; a folder is refused.
TEST(FileReplace, WhatIsNoRegularFileIsWrittenIntoNotReplaced) {
    QTemporaryDir dir;
    const QString pipe = dir.filePath(u"pipe"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const auto isPipe = [&] {
        struct stat st {};
        return ::lstat(QFile::encodeName(pipe).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
    };
    // No reader: the write fails at once (it never waits) and says why.
    QString reason;
    EXPECT_FALSE(ReplaceFile(pipe, "text", &reason));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_TRUE(isPipe());
    // With a reader the bytes go through the pipe.
    const int reader = ::open(QFile::encodeName(pipe).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_TRUE(ReplaceFile(pipe, "text", &reason)) << reason.toStdString();
    char got[8] = {};
    EXPECT_EQ(::read(reader, got, sizeof got), 4);
    EXPECT_EQ(QByteArray(got, 4), QByteArray("text"));
    ::close(reader);
    EXPECT_TRUE(isPipe());
    EXPECT_EQ(test::temporaryFiles(dir.path()), QStringList{});

    QDir().mkpath(dir.filePath(u"folder"_s));
    EXPECT_FALSE(ReplaceFile(dir.filePath(u"folder"_s), "text", &reason));
    EXPECT_EQ(reason, SystemErrorText(EISDIR));
    EXPECT_TRUE(QFileInfo(dir.filePath(u"folder"_s)).isDir());

    // A disk (a block device) is never written: a save typed over one would overwrite the disk. The
    // node made here has a device number no driver serves, so nothing is touched if the test fails.
    const QString disk = dir.filePath(u"disk"_s);
    if (::mknod(QFile::encodeName(disk).constData(), S_IFBLK | 0600, makedev(240, 77)) == 0) {
        EXPECT_FALSE(ReplaceFile(disk, "text", &reason));
        EXPECT_EQ(reason, SystemErrorText(EPERM));
        struct stat st {};
        EXPECT_TRUE(::lstat(QFile::encodeName(disk).constData(), &st) == 0 && S_ISBLK(st.st_mode));
    }
}

// A file reached through links (a link to a link, relative or not: an oto.ini shared between banks)
// keeps every link; the file at the end of the chain gets the new content and keeps its mode.
TEST(FileReplace, EveryLinkOfAChainStaysAndTheFileAtItsEndIsReplaced) {
    QTemporaryDir dir;
    for (const char* folder : {"real", "shared", "bank"}) QDir().mkpath(dir.filePath(QString::fromLatin1(folder)));
    const QString real = dir.filePath(u"real/oto.ini"_s), shared = dir.filePath(u"shared/oto.ini"_s),
                  linked = dir.filePath(u"bank/oto.ini"_s);
    test::writeFile(real, "old");
    ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), 0640), 0);
    ASSERT_EQ(::symlink("../real/oto.ini", QFile::encodeName(shared).constData()), 0);
    ASSERT_TRUE(QFile::link(shared, linked));

    QString reason;
    ASSERT_TRUE(ReplaceFile(linked, "new", &reason)) << reason.toStdString();
    EXPECT_TRUE(QFileInfo(linked).isSymLink());
    EXPECT_TRUE(QFileInfo(shared).isSymLink());
    EXPECT_EQ(test::readFile(real), QByteArray("new"));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    for (const char* folder : {"real", "shared", "bank"})
        EXPECT_EQ(test::temporaryFiles(dir.filePath(QString::fromLatin1(folder))), QStringList{}) << folder;
}

// A program in a sandbox or container gets the same process id at every start: what a killed earlier
// run left under this process's own id is removed too, while a file this process is writing stays.
TEST(FileReplace, WhatAnEarlierRunWithTheSameProcessIdLeftIsRemoved) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"song.tvx"_s);
    test::writeFile(path, "old");
    const QString earlier = u"song.tvx."_s + QString::number(::getpid()) + u"-999999.tmp"_s;
    test::writeFile(dir.filePath(earlier), "left");
    makeOld(dir.filePath(earlier), 3600);
    lean::AtomicFile writing(QFile::encodeName(path).toStdString());
    ASSERT_TRUE(writing.isOpen());
    ASSERT_TRUE(ReplaceFile(path, "new"));
    const QStringList left = test::temporaryFiles(dir.path());
    EXPECT_FALSE(left.contains(earlier));
    EXPECT_EQ(left.size(), 1);  // the file `writing` stands under
    EXPECT_EQ(test::readFile(path), QByteArray("new"));
    writing.cancel();
    EXPECT_EQ(test::temporaryFiles(dir.path()), QStringList{});
}

// The replaced file keeps its owner and group: a file of a shared bank folder stays the group's, and
// one the administrator saves for a user stays the user's.
TEST(FileReplace, TheReplacedFileKeepsItsOwnerAndGroup) {
    if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another owner needs the administrator";
    QTemporaryDir dir;
    const QString path = dir.filePath(u"oto.ini"_s);
    test::writeFile(path, "old");
    const QByteArray native = QFile::encodeName(path);
    ASSERT_EQ(::chown(native.constData(), 4321, 4322), 0);
    ASSERT_EQ(::chmod(native.constData(), 02664), 0);
    ASSERT_TRUE(ReplaceFile(path, "new"));
    struct stat st {};
    ASSERT_EQ(::stat(native.constData(), &st), 0);
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 4322u);
    EXPECT_EQ(st.st_mode & 07777, 02664u);
    EXPECT_EQ(test::readFile(path), QByteArray("new"));
}

// A program started while a file is being put in place (a tool of a render running meanwhile) gets no
// descriptor of it: nothing of the writer stays open in another process.
TEST(FileReplace, AProgramStartedDuringASaveGetsNoDescriptorOfTheFile) {
    QTemporaryDir dir;
    const std::string path = QFile::encodeName(dir.filePath(u"leak.dat"_s)).toStdString();
    std::atomic<bool> stop{false};
    std::atomic<int> started{0}, holding{0};
    std::thread starter([&] {
        // Each program lists the descriptors it was given and answers 3 when one names the file.
        char sh[] = "sh", c[] = "-c", script[] = "ls -l /proc/self/fd/ | grep -q leak.dat && exit 3; exit 0";
        char* argv[] = {sh, c, script, nullptr};
        while (!stop) {
            pid_t child = 0;
            if (::posix_spawn(&child, "/bin/sh", nullptr, nullptr, argv, environ) != 0) break;
            int status = 0;
            ::waitpid(child, &status, 0);
            ++started;
            if (WIFEXITED(status) && WEXITSTATUS(status) == 3) ++holding;
        }
    });
    const std::string bytes(100, 'x');
    for (int n = 0; started < 100 && n < 200000; ++n) {
        lean::AtomicFile file(path);
        ASSERT_TRUE(file.write(bytes.data(), bytes.size()) && file.commit(false)) << file.error();
    }
    stop = true;
    starter.join();
    EXPECT_GE(started.load(), 100);
    EXPECT_EQ(holding.load(), 0) << "of " << started.load() << " programs started";
}

// A pipe whose reader goes away while it is written: the write fails and says why; the program goes on
// (it is not ended by the signal the system sends for it).
TEST(FileReplace, APipeWhoseReaderLeftFailsWithoutEndingTheProgram) {
    QTemporaryDir dir;
    const QString pipe = dir.filePath(u"pipe"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const int reader = ::open(QFile::encodeName(pipe).constData(), O_RDONLY | O_NONBLOCK);
            ReplacingFile file(pipe);
            ::close(reader);
            const bool written = file.write("text");
            const bool told = file.reason() == SystemErrorText(EPIPE) && !file.commit();
            std::_Exit(!written && told ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// More than a pipe holds at once goes through whole while its reader reads.
TEST(FileReplace, APipeTakesMoreThanItHoldsWhileItsReaderReads) {
    QTemporaryDir dir;
    const QString pipe = dir.filePath(u"pipe"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const int reader = ::open(QFile::encodeName(pipe).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const QByteArray bytes(1 << 20, 'p');
    std::atomic<bool> done{false};
    QByteArray got;
    std::thread drain([&] {
        char buffer[4096];
        while (got.size() < bytes.size()) {
            const ssize_t n = ::read(reader, buffer, sizeof buffer);
            if (n > 0) got.append(buffer, n);
            else if (done) break;
            else ::usleep(200);
        }
    });
    QString reason;
    EXPECT_TRUE(ReplaceFile(pipe, bytes, &reason)) << reason.toStdString();
    done = true;
    drain.join();
    ::close(reader);
    EXPECT_EQ(got.size(), bytes.size());
}

// A name the system gives to an open descriptor ("/proc/self/fd/N", or a link to it as /dev/stdout
// is) is written into the pipe it stands for.
TEST(FileReplace, ADescriptorsNameIsWrittenIntoWhatItStandsFor) {
    QTemporaryDir dir;
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const QString byNumber = u"/proc/self/fd/"_s + QString::number(ends[1]);
    const QString linked = dir.filePath(u"stdout"_s);
    ASSERT_TRUE(QFile::link(byNumber, linked));
    for (const QString& name : {byNumber, linked}) {
        SCOPED_TRACE(name.toStdString());
        QString reason;
        EXPECT_TRUE(ReplaceFile(name, "text", &reason)) << reason.toStdString();
        char got[8] = {};
        const int flags = ::fcntl(ends[0], F_GETFL);
        ::fcntl(ends[0], F_SETFL, flags | O_NONBLOCK);
        EXPECT_EQ(::read(ends[0], got, sizeof got), 4);
        EXPECT_TRUE(QFileInfo(linked).isSymLink());
    }
    EXPECT_EQ(test::temporaryFiles(dir.path()), QStringList{});
    ::close(ends[0]);
    ::close(ends[1]);
}
