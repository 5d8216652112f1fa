#include "platform/FileSystem.h"

#include "platform/Errors.h"
#include "platform/PathText.h"
#include "platform/lean/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace tova {

QString FileSystem::resolve(const QString& path) {
    return QFile::decodeName(QByteArray::fromStdString(lean::Files::resolve(QFile::encodeName(path).toStdString())));
}

bool FileSystem::exists(const QString& path) { return !path.isEmpty() && QFileInfo::exists(resolve(path)); }

bool FileSystem::isFile(const QString& path) {
    if (path.isEmpty()) return false;
    // A path that exists as written resolves to itself: one look at it answers.
    struct stat st {};
    if (::stat(QFile::encodeName(PathText::toSlashes(path)).constData(), &st) == 0) return S_ISREG(st.st_mode);
    QFileInfo fi(resolve(path));
    return fi.exists() && fi.isFile();
}

bool FileSystem::isRegularFile(const QString& path) {
    if (path.isEmpty()) return false;
    struct stat st {};
    return ::stat(QFile::encodeName(resolve(path)).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

int FileSystem::openRegularFile(const QString& path, QString* message, int* code) {
    const QByteArray name = QFile::encodeName(resolve(path));
    // Without waiting: opening a pipe for reading would otherwise block until a writer appears.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        const bool missing = error == ENOENT || error == ENOTDIR;
        if (message)
            *message = missing ? QStringLiteral("%1: ファイルが見つかりません。").arg(path)
                               : QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(error)));
        if (code) *code = missing ? 53 : 75;
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        if (message) *message = QStringLiteral("%1: 通常のファイルではないため開けません。").arg(path);
        if (code) *code = 75;
        return -1;
    }
    return fd;
}

bool FileSystem::openRegularFile(QFile& file, const QString& path, QString* message) {
    file.close();
    const int fd = openRegularFile(path, message);
    if (fd < 0) return false;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        if (message) *message = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

QByteArray FileSystem::readRegularFile(const QString& path, qint64 maxBytes) {
    QString message;
    int code = 0;
    const int fd = openRegularFile(path, &message, &code);
    if (fd < 0) throw FileError(message, code);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) throw FileError(QStringLiteral("%1: 通常のファイルではないため開けません。").arg(path), 75);
    if (st.st_size > maxBytes) throw FileError(QStringLiteral("%1: ファイルが大きすぎます。").arg(path), 7);
    QByteArray bytes;
    bytes.reserve(qsizetype(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            throw IoError(QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
        }
        if (bytes.size() + n > maxBytes) throw FileError(QStringLiteral("%1: ファイルが大きすぎます。").arg(path), 7);
        bytes.append(buffer, n);
    }
    return bytes;
}

bool FileSystem::isFolder(const QString& path) {
    if (path.isEmpty()) return false;
    QFileInfo fi(resolve(path));
    return fi.exists() && fi.isDir();
}

bool FileSystem::wildcardMatch(const QString& name, const QString& pattern) {
    return lean::Files::wildcardMatch(name.toStdString(), pattern.toStdString());
}

QSet<QString> FileSystem::listedRegularFiles(const QString& folder) {
    QSet<QString> out;
    const QByteArray native = QFile::encodeName(PathText::toSlashes(folder));
    for (const std::string& raw : lean::Files::regularFileNames(native.toStdString())) {
        const QByteArray bytes = QByteArray::fromStdString(raw);
        const QString name = QFile::decodeName(bytes);
        // A "\" in a name would be read as a separator by isFile.
        if (!bytes.contains('\\') && QFile::encodeName(name) == bytes) out.insert(name);
    }
    return out;
}

QStringList FileSystem::list(const QString& folder, const QString& pattern, bool withFolders) {
    QStringList out;
    for (const std::string& name :
         lean::Files::list(QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : resolve(folder)).toStdString(),
                           pattern.toStdString(), withFolders))
        out << QFile::decodeName(QByteArray::fromStdString(name));
    return out;
}

bool FileSystem::makePrivateFolder(const QString& path) {
    const QByteArray native = QFile::encodeName(PathText::toSlashes(path));
    struct stat st{};
    if (lstat(native.constData(), &st) == 0) {
        if (!S_ISDIR(st.st_mode) || st.st_uid != geteuid()) return false;
        return chmod(native.constData(), 0700) == 0;
    }
    QString parent = PathText::folderPart(PathText::toSlashes(path));
    if (!parent.isEmpty() && !QFileInfo::exists(parent) && !QDir().mkpath(parent)) return false;
    // Another process may make the same folder at the same moment: then it is judged as an existing one.
    if (mkdir(native.constData(), 0700) != 0 && errno != EEXIST) return false;
    if (lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid()) return false;
    return chmod(native.constData(), 0700) == 0;
}

}  // namespace tova
