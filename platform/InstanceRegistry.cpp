#include "platform/InstanceRegistry.h"

#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/SystemPaths.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tova {
namespace {

const char kGuardName[] = "registry.lock";
const char kBlockName[] = "block";
const char kInstancePrefix[] = "instance-";
const char kInstanceSuffix[] = ".lock";

QByteArray native(const QString& path) { return QFile::encodeName(path); }

// Opens (creating) a file of ours inside the private folder; refuses links.
int openOwned(const QString& path, int flags) {
    return ::open(native(path).constData(), flags | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
}

bool lockFd(int fd, int how) {
    for (;;) {
        if (::flock(fd, how) == 0) return true;
        if (errno != EINTR) return false;
    }
}

// Holds the folder's guard lock for one scope.
class Guard {
public:
    explicit Guard(const QString& folder) {
        fd_ = openOwned(PathText::join(folder, QString::fromLatin1(kGuardName)), O_RDWR);
        if (fd_ >= 0 && !lockFd(fd_, LOCK_EX)) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~Guard() {
        if (fd_ >= 0) ::close(fd_);  // closing releases the lock
    }
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// Removes the lock files whose copies are gone; answers whether some copy still holds one.
bool sweepInstances(const QString& folder) {
    bool anyAlive = false;
    const QStringList names = QDir(folder).entryList({QString::fromLatin1(kInstancePrefix) + u'*'}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        QString path = PathText::join(folder, name);
        int fd = ::open(native(path).constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            ::unlink(native(path).constData());  // its copy has ended (or crashed)
        } else {
            anyAlive = true;
        }
        ::close(fd);
    }
    return anyAlive;
}

bool readBlock(const QString& path, QByteArray& block) {
    block = QByteArray(InstanceRegistry::BlockSize, '\0');
    int fd = openOwned(path, O_RDONLY);
    if (fd < 0) return false;
    qsizetype got = 0;
    while (got < block.size()) {
        ssize_t r = ::read(fd, block.data() + got, size_t(block.size() - got));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        got += r;
    }
    ::close(fd);
    return true;
}

bool writeBlock(const QString& path, const QByteArray& block) {
    int fd = openOwned(path, O_WRONLY | O_TRUNC);
    if (fd < 0) return false;
    QByteArray bytes = block.left(InstanceRegistry::BlockSize);
    bytes.append(QByteArray(InstanceRegistry::BlockSize - bytes.size(), '\0'));
    qsizetype done = 0;
    bool ok = true;
    while (done < bytes.size()) {
        ssize_t w = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
            ok = false;
            break;
        }
        done += w;
    }
    return ::close(fd) == 0 && ok;
}

}  // namespace

InstanceRegistry::InstanceRegistry(const QString& folder) : folder_(PathText::toSlashes(folder)) {}

InstanceRegistry::~InstanceRegistry() { leave(); }

QString InstanceRegistry::defaultFolder() {
    return PathText::join(SystemPaths::tempRoot(), QStringLiteral("tova-instances-%1").arg(::geteuid()));
}

int InstanceRegistry::join(const std::function<int(QByteArray& block)>& update) {
    leave();
    if (!FileSystem::makePrivateFolder(folder_)) return 0;
    Guard guard(folder_);
    if (!guard.held()) return 0;

    const QString blockPath = PathText::join(folder_, QString::fromLatin1(kBlockName));
    QByteArray block(BlockSize, '\0');
    // No copy alive: the shared block is gone and a new one starts as zeros.
    if (sweepInstances(folder_) && !readBlock(blockPath, block)) return 0;
    // Every running copy holds its own numbered lock file. A number that a running copy still holds
    // (only when the block was tampered with) is not shared: the block is counted on instead.
    int n = update(block);
    for (int tries = 0; tries < 1000 && n >= 1; ++tries, n = update(block)) {
        QString path = PathText::join(folder_, QString::fromLatin1(kInstancePrefix) + QString::number(n) +
                                                   QString::fromLatin1(kInstanceSuffix));
        int fd = openOwned(path, O_RDWR);
        if (fd < 0) return 0;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            continue;
        }
        if (!writeBlock(blockPath, block)) {
            ::unlink(native(path).constData());
            ::close(fd);
            return 0;
        }
        ownFd_ = fd;
        ownPath_ = path;
        number_ = n;
        return n;
    }
    return 0;
}

void InstanceRegistry::leave() {
    if (ownFd_ < 0) return;
    {
        Guard guard(folder_);
        ::unlink(native(ownPath_).constData());
        ::close(ownFd_);
    }
    ownFd_ = -1;
    ownPath_.clear();
    number_ = 0;
}

}  // namespace tova
