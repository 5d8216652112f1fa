#include "support/FullDisk.h"

#include "platform/lean/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace tova::test {

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGXFSZ, &ignore, &oldAction_);
    ::getrlimit(RLIMIT_FSIZE, &old_);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
}

FileSizeLimit::~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    ::sigaction(SIGXFSZ, &oldAction_, nullptr);
}

QStringList temporaryFiles(const QString& folder) {
    QStringList out;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (lean::Files::temporaryTarget(QFile::encodeName(name).toStdString())) out << name;
    return out;
}

QString killedWriterLeftover(const QString& target) {
    const QString folder = QFileInfo(target).absolutePath();
    const QStringList before = temporaryFiles(folder);
    int ready[2];
    if (::pipe(ready) != 0) return QString();
    const std::string path = QFile::encodeName(target).toStdString();
    const pid_t child = ::fork();
    if (child == 0) {
        // In the child: only system calls and the writer, then wait to be killed.
        ::close(ready[0]);
        static lean::AtomicFile* file = new lean::AtomicFile(path);
        const std::string half(1000, 'x');
        file->write(half.data(), half.size());
        (void)!::write(ready[1], "1", 1);
        for (;;) ::pause();
    }
    ::close(ready[1]);
    char c = 0;
    (void)!::read(ready[0], &c, 1);
    ::close(ready[0]);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    QStringList after = temporaryFiles(folder);
    for (const QString& name : before) after.removeAll(name);
    return after.value(0);
}

}  // namespace tova::test
