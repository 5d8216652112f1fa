#include "platform/ProcessHandle.h"

#include "platform/ProcessSpawn.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace tova {
namespace {

int openPidFd(qint64 pid) {
#ifdef SYS_pidfd_open
    return int(::syscall(SYS_pidfd_open, pid_t(pid), 0));
#else
    errno = ENOSYS;
    return -1;
#endif
}

// Without process descriptors: the process is alive while the id exists and is not a zombie.
bool aliveById(qint64 pid) {
    if (::kill(pid_t(pid), 0) != 0 && errno != EPERM) return false;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return true;
    QByteArray line = stat.readAll();
    qsizetype close = line.lastIndexOf(')');
    return !(close >= 0 && close + 2 < line.size() && line[close + 2] == 'Z');
}

}  // namespace

ProcessHandle::~ProcessHandle() { close(); }

bool ProcessHandle::open(qint64 pid) {
    close();
    if (pid <= 0 || pid > 0x7fffffff) return false;
    int fd = openPidFd(pid);
    if (fd >= 0) {
        fd_ = fd;
        pid_ = pid;
        return true;
    }
    if (errno != ENOSYS) return false;
    if (!aliveById(pid)) return false;
    fallbackPid_ = pid;
    pid_ = pid;
    return true;
}

ProcessHandle::Wait ProcessHandle::wait(int timeoutMs) {
    if (fd_ >= 0) {
        pollfd p{fd_, POLLIN, 0};
        for (;;) {
            int r = ::poll(&p, 1, timeoutMs < 0 ? -1 : timeoutMs);
            if (r > 0) {
                if (!(p.revents & (POLLIN | POLLHUP))) return Wait::Failed;
                ProcessSpawn::collect(pid_);
                return Wait::Ended;
            }
            if (r == 0) return Wait::TimedOut;
            if (errno != EINTR) return Wait::Failed;
        }
    }
    if (fallbackPid_ > 0) {
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            if (!aliveById(fallbackPid_)) {
                ProcessSpawn::collect(pid_);
                return Wait::Ended;
            }
            if (timeoutMs >= 0 && clock.elapsed() >= timeoutMs) return Wait::TimedOut;
            QThread::msleep(5);
        }
    }
    return Wait::Failed;
}

void ProcessHandle::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    fallbackPid_ = 0;
    pid_ = 0;
}

}  // namespace tova
