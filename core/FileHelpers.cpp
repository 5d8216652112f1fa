#include "core/FileHelpers.h"

#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/SystemPaths.h"

#include <QFileInfo>
#include <QStringList>

#include <algorithm>

namespace tova {
namespace {

// The search state shared by every caller of SafeDir: the entries found by the last call with a
// pattern, taken when the search starts, and the position reached in them.
struct DirSearch {
    bool active = false;
    QStringList names;
    qsizetype next = 0;
};

DirSearch& dirSearch() {
    static DirSearch s;
    return s;
}

// Characters that a Windows file name cannot hold and that no name of ours uses: such a pattern is
// a malformed name, answered with no entry.
bool isBadNameChar(QChar c) {
    return c.unicode() < 32 || c == u'<' || c == u'>' || c == u'|' || c == u'"';
}

bool hasWildcard(const QString& s) { return s.contains(u'*') || s.contains(u'?'); }

bool endsWithSeparator(const QString& s) { return !s.isEmpty() && PathText::isSeparator(s.back()); }

// Two separators in a row anywhere: a network path, or a path already joined to something.
bool hasDoubleSeparator(const QString& s) {
    for (qsizetype i = 1; i < s.size(); ++i)
        if (PathText::isSeparator(s[i - 1]) && PathText::isSeparator(s[i])) return true;
    return false;
}

// The program folder followed by exactly one "/".
QString programPrefix() {
    QString f = SystemPaths::programFolder();
    return endsWithSeparator(f) ? f : f + u'/';
}

QStringList findEntries(const QString& pattern, int mask) {
    if (pattern.isEmpty()) return {};
    if (std::any_of(pattern.begin(), pattern.end(), isBadNameChar)) return {};
    const QString folder = PathText::folderPart(pattern);
    QString name = PathText::filePart(pattern);
    if (hasWildcard(folder)) return {};  // wildcards only in the last component
    if (name.isEmpty()) name = QStringLiteral("*.*");
    const bool withFolders = (mask & kDirFolders) != 0;

    // A plain name spelled exactly as on disk: one look at the entry instead of listing the folder
    // (existence tests run per note and per oto line, in folders of thousands of samples). Anything
    // else - another spelling, the wrong kind of entry, a hidden name - takes the listing below.
    if (!hasWildcard(name) && !name.startsWith(u'.')) {
        const QFileInfo exact(PathText::toSlashes(pattern));
        if (exact.isFile() || (withFolders && exact.isDir())) return QStringList{name};
    }

    QStringList found = FileSystem::list(folder, name, withFolders);
    const QString onDisk = folder.isEmpty() ? QStringLiteral(".") : FileSystem::resolve(folder);
    QStringList out;
    for (const QString& n : found) {
        if (n == u"." || n == u"..") {
            if (withFolders) out << n;
            continue;
        }
        // Only ordinary files and folders: sockets, pipes, devices and dangling links are the
        // system entries that a search never returns.
        const QFileInfo fi(PathText::join(onDisk, n));
        if (fi.isFile() || (withFolders && fi.isDir())) out << n;
    }
    if (!hasWildcard(name) && out.size() > 1) {
        // A plain name names one entry: the one spelled exactly so, else the first found.
        auto exact = std::find(out.begin(), out.end(), name);
        return QStringList{exact != out.end() ? *exact : out.front()};
    }
    return out;
}

}  // namespace

QString SafeDir() {
    DirSearch& s = dirSearch();
    if (!s.active || s.next >= s.names.size()) return QString();
    return s.names[s.next++];
}

QString SafeDir(const QString& pattern, int mask) {
    DirSearch& s = dirSearch();
    s.active = true;
    s.names = findEntries(pattern, mask);
    s.next = 0;
    return SafeDir();
}

bool FileExists(const QString& path) {
    if (path.isEmpty() || endsWithSeparator(path) || hasWildcard(path)) return false;
    return !SafeDir(path, kDirFiles).isEmpty();
}

bool IsValidExePath(const QString& path) {
    const QString resolved = ResolveAppPath(path);
    if (resolved.isEmpty() || endsWithSeparator(resolved) || hasWildcard(resolved)) return false;
    if (std::any_of(resolved.begin(), resolved.end(), isBadNameChar)) return false;
    if (!QFileInfo(FileSystem::resolve(resolved)).isExecutable()) return false;
    return !SafeDir(resolved, kDirFiles).isEmpty();
}

bool IsValidFolderPath(QString& path) {
    if (endsWithSeparator(path)) path.chop(1);
    // An empty folder would resolve to the program folder itself; no caller means that.
    if (path.isEmpty()) return false;
    const QString resolved = ResolveAppPath(path);
    if (resolved.isEmpty() || hasWildcard(resolved)) return false;
    return !SafeDir(resolved, kDirFolders).isEmpty();
}

QString ResolveAppPath(const QString& path) {
    if (hasDoubleSeparator(path) || path.contains(u":\\") || path.contains(u":/") || path.startsWith(u'/'))
        return path;
    return programPrefix() + path;
}

QString StripAppPath(const QString& path) {
    const QString folder = SystemPaths::programFolder();
    QString out = path;
    if (endsWithSeparator(folder)) {
        // A program in the root: only the leading root mark belongs to the program folder.
        if (out.startsWith(folder)) out.remove(0, folder.size());
        return out;
    }
    out.remove(folder + u'/', Qt::CaseSensitive);
    out.remove(folder + u'\\', Qt::CaseSensitive);
    return out;
}

QString QuoteString(const QString& text) {
    if (text.startsWith(u'"') || text.endsWith(u'"')) return text;
    return u'"' + text + u'"';
}

bool IsBetween(double a, double b, double c, bool exclusive) {
    const double lo = std::min(a, c);
    const double hi = std::max(a, c);
    return exclusive ? (lo < b && b < hi) : (lo <= b && b <= hi);
}

}  // namespace tova
