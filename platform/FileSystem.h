#pragma once

#include <QByteArray>
#include <QFile>
#include <QSet>
#include <QString>
#include <QStringList>

namespace tova {

// The file-system layer under every file access of the program. Names from voice banks and projects
// made on Windows hold "\" and spell letter case loosely; `resolve` turns such a name into the path
// that exists on disk.
class FileSystem {
public:
    // "\" becomes "/"; when the path does not exist as written, each component is looked up without
    // regard to letter case (the first match in case-insensitive name order wins). Components that
    // cannot be found are kept as written, so the result is always a usable path for creating files.
    static QString resolve(const QString& path);

    static bool exists(const QString& path);     // file or folder, after resolve
    // A regular file (or a link to one), after resolve: not a folder, pipe, socket or device.
    static bool isRegularFile(const QString& path);
    // The whole content of a regular file, after resolve. Opening never waits (a pipe or device is
    // refused, not read); a path that is no regular file, cannot be opened or holds more than
    // `maxBytes` raises FileError, a failed read IoError.
    static QByteArray readRegularFile(const QString& path, qint64 maxBytes = qint64(1) << 30);
    // Opens a file for reading, after resolve, without waiting (O_NONBLOCK: a pipe put in a file's
    // place by another program is not waited on), and keeps it only when what was opened is a regular
    // file (checked on the open descriptor, so a swap after a look cannot slip in). Answers the
    // descriptor, or -1 with the reason in `message` ("<path>: ...") and `code` (53 missing, 75 other).
    static int openRegularFile(const QString& path, QString* message = nullptr, int* code = nullptr);
    // The same into a QFile that then owns the descriptor; false (and the file closed) otherwise.
    static bool openRegularFile(QFile& file, const QString& path, QString* message = nullptr);
    static bool isFile(const QString& path);
    static bool isFolder(const QString& path);

    // The names of a folder's entries that are regular files by the folder's own account, from one
    // read of the folder as written (see lean::Files::regularFileNames): for a name listed here,
    // isFile(folder + "/" + name) is true without a look at the file. Names holding "\" and names
    // whose bytes do not read back as the same text are left out; none when the folder cannot be read.
    static QSet<QString> listedRegularFiles(const QString& folder);

    // Windows find-file matching of one name against a pattern with "*" and "?", without regard to
    // letter case; "*.*" also matches a name without a dot, and "name." matches "name".
    static bool wildcardMatch(const QString& name, const QString& pattern);

    // Entry names (not paths) of a folder that match the pattern, sorted without regard to case.
    // `withFolders` includes sub-folders (and "." and ".." when the pattern matches them).
    // Hidden entries (names starting with ".") are left out unless `withFolders` lists "."/"..".
    static QStringList list(const QString& folder, const QString& pattern, bool withFolders);

    // Makes a folder (and its parents) readable only by the current user: mode 0700. An existing
    // folder is accepted only when it is a real folder (not a link) owned by this user; its mode is
    // then tightened to 0700. False on any failure.
    static bool makePrivateFolder(const QString& path);
};

}  // namespace tova
