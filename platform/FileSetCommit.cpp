#include "platform/FileSetCommit.h"

#include "platform/FileSystem.h"
#include "platform/SystemErrorText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tova {
namespace {

QByteArray native(const QString& path) { return QFile::encodeName(path); }

// "<path>: <the reason of the last system error in words>".
QString failureText(const QString& path) { return path + QStringLiteral(": ") + SystemErrorText(errno); }

// Writes the bytes to a new file and flushes them to the disk.
bool writeSynced(const QString& path, const QByteArray& bytes, QString* error) {
    const int fd = ::open(native(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return *error = failureText(path), false;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;  // a write that takes nothing: a full device
            *error = failureText(path);
            ::close(fd);
            return false;
        }
        done += n;
    }
    if (::fsync(fd) != 0) {
        *error = failureText(path);
        ::close(fd);
        return false;
    }
    if (::close(fd) != 0) return *error = failureText(path), false;
    return true;
}

void syncFolder(const QString& folder) {
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

bool renameOver(const QString& from, const QString& to) { return ::rename(native(from).constData(), native(to).constData()) == 0; }

void removeFile(const QString& path) { ::unlink(native(path).constData()); }

bool exists(const QString& path) { return ::access(native(path).constData(), F_OK) == 0; }

QString folderOf(const QString& path) { return QFileInfo(path).absolutePath(); }

// The file a target stands for: a symbolic link is followed, so that the file it names gets the new
// bytes and the link stays a link.
QString realFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.isSymLink()) return path;
    const QString real = info.canonicalFilePath();
    return real.isEmpty() ? path : real;
}

// Locks the journal's folder while a set is replaced: another program loading the bank then leaves a
// save in progress alone instead of taking it for a killed one. Gives the descriptor to close (which
// releases the lock, as does the program's death), or -1; `busy` tells that someone else holds it.
int lockFolder(const QString& folder, bool wait, bool* busy = nullptr) {
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return -1;
    int r;
    while ((r = ::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB))) != 0 && errno == EINTR) {}
    // A file system without locks counts as unlocked; only a lock someone else holds says busy.
    if (busy) *busy = r != 0 && errno == EWOULDBLOCK;
    return fd;
}

void unlockFolder(int fd) {
    if (fd >= 0) ::close(fd);
}

}  // namespace

FileSetCommit::Hook& FileSetCommit::testHook() {
    static Hook hook;
    return hook;
}

bool FileSetCommit::commit(QString* error) {
    QString reason;
    const QString base = folderOf(journal_);
    const int lock = lockFolder(base, true);
    const auto unlock = qScopeGuard([lock] { unlockFolder(lock); });
    QStringList targets;
    for (const File& f : files_) targets << realFile(FileSystem::resolve(QFileInfo(f.target).isAbsolute() ? f.target : base + u'/' + f.target));
    const auto fault = [](Step step, const QString& target) {
        const Hook& hook = testHook();
        return hook ? hook(step, target) : Fault::None;
    };
    QList<bool> hadOld;
    const auto cleanUp = [&](bool news) {
        for (qsizetype i = 0; i < targets.size(); ++i) {
            if (news) removeFile(newName(targets[i]));
            removeFile(oldName(targets[i]));
        }
        removeFile(journal_ + QStringLiteral(".tova-new"));
    };
    const auto fail = [&](const QString& why) {
        cleanUp(true);
        if (error) *error = why;
        return false;
    };

    // 1. Every new file complete beside its target.
    for (qsizetype i = 0; i < targets.size(); ++i) {
        const Fault f = fault(Step::WriteNew, targets[i]);
        if (f == Fault::Kill) return false;
        if (f == Fault::Fail || !writeSynced(newName(targets[i]), files_[i].bytes, &reason))
            return fail(reason.isEmpty() ? newName(targets[i]) : reason);
        // The new file keeps the permissions of the one it replaces.
        struct stat st{};
        if (::stat(native(targets[i]).constData(), &st) == 0) ::chmod(native(newName(targets[i])).constData(), st.st_mode & 07777);
    }
    // 2. The old files kept under a second name, so that a failed replacement can put them back.
    for (qsizetype i = 0; i < targets.size(); ++i) {
        const bool old = exists(targets[i]);
        hadOld << old;
        if (!old) continue;
        const Fault f = fault(Step::KeepOld, targets[i]);
        if (f == Fault::Kill) return false;
        const QString second = oldName(targets[i]);
        removeFile(second);
        const bool kept = f == Fault::None && (::link(native(targets[i]).constData(), native(second).constData()) == 0 ||
                                               QFile::copy(targets[i], second));
        if (!kept) return fail(failureText(second));
    }
    // 3. The journal: from here on the set counts as saved.
    {
        QByteArray text;
        // Named relative to the journal's folder, so that a bank moved after a kill still completes.
        const QDir folder(base);
        for (const QString& t : targets) text += folder.relativeFilePath(t).toUtf8() + '\n';
        const QString temp = journal_ + QStringLiteral(".tova-new");
        const Fault f = fault(Step::Journal, journal_);
        if (f == Fault::Kill) return false;
        if (f == Fault::Fail || !writeSynced(temp, text, &reason) || !renameOver(temp, journal_))
            return fail(reason.isEmpty() ? failureText(journal_) : reason);
        syncFolder(base);
    }
    // 4. The new files over their targets.
    for (qsizetype i = 0; i < targets.size(); ++i) {
        const Fault f = fault(Step::Replace, targets[i]);
        if (f == Fault::Kill) return false;
        if (f == Fault::None && renameOver(newName(targets[i]), targets[i])) continue;
        reason = failureText(targets[i]);
        // Put back what was replaced. Each new file gets its waiting name again first, so that a kill
        // while the journal still stands completes the whole set instead of leaving a mixed one; the
        // journal goes last.
        for (qsizetype k = 0; k < i; ++k) {
            ::link(native(targets[k]).constData(), native(newName(targets[k])).constData());
            if (hadOld[k]) renameOver(oldName(targets[k]), targets[k]);
            else removeFile(targets[k]);
        }
        for (qsizetype k = 0; k < targets.size(); ++k) syncFolder(folderOf(targets[k]));
        removeFile(journal_);
        return fail(reason);
    }
    for (const QString& t : targets) syncFolder(folderOf(t));
    removeFile(journal_);
    syncFolder(base);
    cleanUp(false);
    return true;
}

void FileSetCommit::Recover(const QString& journal, const QStringList& targets) {
    bool busy = false;
    const int lock = lockFolder(folderOf(journal), false, &busy);
    const auto unlock = qScopeGuard([lock] { unlockFolder(lock); });
    if (busy) return;  // a save running now finishes or rolls back by itself
    QStringList all = targets;
    for (const QString& t : targets)
        if (realFile(t) != t) all << realFile(t);
    QFile file(journal);
    const bool saved = exists(journal);
    if (saved && file.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : file.readAll().split('\n'))
            if (!line.isEmpty()) all << QFileInfo(folderOf(journal), QString::fromUtf8(line)).absoluteFilePath();
        file.close();
    }
    for (const QString& t : all) {
        if (saved && exists(newName(t))) renameOver(newName(t), t);
        removeFile(newName(t));
    }
    if (saved) {
        for (const QString& t : all) syncFolder(folderOf(t));
        removeFile(journal);
    }
    for (const QString& t : all) removeFile(oldName(t));
    removeFile(journal + QStringLiteral(".tova-new"));
}

}  // namespace tova
