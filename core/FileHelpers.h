#pragma once

#include <QString>

namespace tova {

// Path, file-name and text helpers used program-wide.
//
// How the Windows rules map onto this system:
// - A path is a folder part and a name, split at the last "/" or "\" (both are accepted; the file
//   system layer turns "\" into "/" and resolves each component without regard to letter case).
// - Names are matched like the Windows file search: "*" and "?" wildcards, letter case ignored,
//   "*.*" also matching a name without a dot, "name." matching "name". A pattern whose name part is
//   empty (a folder path ending in a separator) lists the folder as "*.*" would.
// - Hidden entries are those whose name starts with "."; they are never returned.
// - An absolute path starts with "/" (or holds a drive mark ":\" or ":/", or two separators in a row
//   as a network path does); anything else is relative to the program folder for ResolveAppPath.
// - A program is an executable file without any extension; where Windows asks for a name ending in
//   ".exe", this system asks for an ordinary file that the user may execute.

// Attribute masks of SafeDir: ordinary files only, or files and folders.
constexpr int kDirFiles = 0;
constexpr int kDirFolders = 16;

// The one directory search of the program. With a pattern (folder path and a name that may hold
// "*" and "?") it starts a new search and returns the name (without folder) of the first matching
// entry, or "" when there is none (a missing folder, a malformed pattern). Mask 0 matches ordinary,
// visible files; mask 16 matches folders as well ("." and ".." included when a wildcard pattern
// matches them). Without arguments it returns the next entry of the last search, or "" when it is
// exhausted or no search was started. One search at a time, program-wide: a caller listing a folder
// must not start another search (also through FileExists, IsValidExePath or IsValidFolderPath)
// before its listing is finished.
QString SafeDir();
QString SafeDir(const QString& pattern, int mask = kDirFiles);

// True when the path names an existing, visible ordinary file (not a folder). Empty paths, paths
// ending in a separator and paths holding "?" or "*" are false without touching the disk. A relative
// path counts from the current folder. Starts a new SafeDir search.
bool FileExists(const QString& path);

// True when the path, made absolute with ResolveAppPath, names an existing program file the user may
// run. Starts a new SafeDir search when the path passes the text checks.
bool IsValidExePath(const QString& path);

// True when the path, made absolute with ResolveAppPath, names an existing entry (a folder, or also
// an ordinary file: callers that need a folder test that themselves). One final separator is removed
// from the caller's text first. An empty path (also one that was only a separator) is refused.
bool IsValidFolderPath(QString& path);

// The absolute form of a path: absolute and network paths come back unchanged, anything else is
// taken relative to the program folder.
QString ResolveAppPath(const QString& path);

// Removes every occurrence of the program folder followed by a separator (case-sensitive), so a tool
// path can be shown relative to the program folder.
QString StripAppPath(const QString& path);

// The text in double quotes, unless it already begins or ends with a double quote.
QString QuoteString(const QString& text);

// Whether b lies between the bounds a and c (in either order); with `exclusive` the bounds themselves
// do not count.
bool IsBetween(double a, double b, double c, bool exclusive = false);

}  // namespace tova
