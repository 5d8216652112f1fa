#include "platform/FileSystem.h"

#include "platform/Errors.h"
#include "platform/PathText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace tova {
namespace {

bool caseLess(const QString& a, const QString& b) {
    int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

bool sameLetter(QChar a, QChar b) { return a == b || a.toCaseFolded() == b.toCaseFolded(); }

// Matcher on UTF-16 units, case-folded. On a mismatch it goes back only to the last "*" and lets it
// take one more character, so the work stays proportional to name length times pattern length even
// for patterns with many stars.
bool matchName(const QString& n, const QString& p) {
    qsizetype i = 0, j = 0;
    qsizetype star = -1, resume = 0;
    while (i < n.size()) {
        if (j < p.size() && p[j] == u'*') {
            star = j++;
            resume = i;
        } else if (j < p.size() && (p[j] == u'?' || sameLetter(p[j], n[i]))) {
            ++i;
            ++j;
        } else if (star >= 0) {
            j = star + 1;
            i = ++resume;
        } else {
            return false;
        }
    }
    while (j < p.size() && p[j] == u'*') ++j;
    return j == p.size();
}

// The entry of a folder (any kind, hidden ones too) whose name equals `name` without regard to case,
// the first in case-insensitive name order when several do; a null text when none does. The folder
// is read once, without looking at each entry.
QString firstMatchInFolder(const QString& folder, const QString& name) {
    QString best;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir) return best;
    while (const dirent* entry = ::readdir(dir)) {
        const char* raw = entry->d_name;
        if (raw[0] == '.' && (raw[1] == '\0' || (raw[1] == '.' && raw[2] == '\0'))) continue;
        const QString candidate = QFile::decodeName(raw);
        if (candidate.compare(name, Qt::CaseInsensitive) == 0 && (best.isNull() || caseLess(candidate, best)))
            best = candidate;
    }
    ::closedir(dir);
    return best;
}

// Whether a folder entry is a folder (a link counts as what it points to).
bool isFolderEntry(int folder, const dirent& entry) {
    if (entry.d_type == DT_DIR) return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
    struct stat st {};
    return ::fstatat(folder, entry.d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

QString FileSystem::resolve(const QString& path) {
    QString p = PathText::toSlashes(path);
    if (p.isEmpty() || QFileInfo::exists(p)) return p;
    const bool absolute = p.startsWith(u'/');
    QStringList parts = p.split(u'/', Qt::KeepEmptyParts);
    QString cur = absolute ? QStringLiteral("/") : QString();
    int start = absolute ? 1 : 0;
    for (int k = start; k < parts.size(); ++k) {
        const QString& comp = parts[k];
        QString candidate = cur.isEmpty() ? comp : PathText::join(cur, comp);
        if (comp.isEmpty() || comp == u"." || comp == u".." || QFileInfo::exists(candidate)) {
            cur = comp.isEmpty() ? cur : candidate;
            continue;
        }
        const QString found = firstMatchInFolder(cur.isEmpty() ? QStringLiteral(".") : cur, comp);
        if (found.isNull()) {
            // Keep the rest as written.
            QStringList rest = parts.mid(k);
            return cur.isEmpty() ? rest.join(u'/') : PathText::join(cur, rest.join(u'/'));
        }
        cur = cur.isEmpty() ? found : PathText::join(cur, found);
    }
    if (p.endsWith(u'/') && !cur.endsWith(u'/')) cur += u'/';
    return cur;
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

QByteArray FileSystem::readRegularFile(const QString& path, qint64 maxBytes) {
    const QByteArray name = QFile::encodeName(resolve(path));
    // Without waiting: opening a pipe for reading would otherwise block until a writer appears.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            throw FileError(QStringLiteral("%1: ファイルが見つかりません。").arg(path), 53);
        throw FileError(QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(error))), 75);
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        throw FileError(QStringLiteral("%1: 通常のファイルではないため開けません。").arg(path), 75);
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
    if (matchName(name, pattern)) return true;
    // A name without a dot matches as if it ended in "." ("*.*" and "name." both match "name").
    if (!name.contains(u'.')) return matchName(name + u'.', pattern);
    return false;
}

QStringList FileSystem::list(const QString& folder, const QString& pattern, bool withFolders) {
    QString dirPath = folder.isEmpty() ? QStringLiteral(".") : resolve(folder);
    QDir dir(dirPath);
    if (!dir.exists()) return {};
    // The folder is read once; only entries whose kind the folder does not tell (links, some file
    // systems) are looked at, and only when folders are to be left out.
    QStringList out;
    if (DIR* d = ::opendir(QFile::encodeName(dirPath).constData())) {
        while (const dirent* entry = ::readdir(d)) {
            if (entry->d_name[0] == '.') continue;  // hidden on this system, and "." and ".."
            const QString n = QFile::decodeName(entry->d_name);
            if (!wildcardMatch(n, pattern)) continue;
            if (!withFolders && isFolderEntry(::dirfd(d), *entry)) continue;
            out << n;
        }
        ::closedir(d);
    }
    if (withFolders) {
        for (const char* dot : {".", ".."})
            if (wildcardMatch(QString::fromLatin1(dot), pattern) && pattern.contains(u'*') ) out << QString::fromLatin1(dot);
    }
    std::sort(out.begin(), out.end(), caseLess);
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
