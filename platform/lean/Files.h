#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tova::lean {

// The file-system layer of the tools, without Qt: paths are UTF-8 bytes as the system takes them.
// Names from voice banks and projects made on Windows hold "\" and spell letter case loosely;
// `resolve` gives the path that exists on disk, as tova::FileSystem does for the editor.
class Files {
public:
    // "\" becomes "/"; when the path does not exist as written, each component is looked up without
    // regard to letter case (the first match in case-insensitive name order wins). Components that
    // cannot be found are kept as written.
    static std::string resolve(std::string_view path);
    // The first entry of a folder whose name equals a name without regard to case ("" when none).
    using FirstMatch = std::function<std::string(const std::string& folder, const std::string& name)>;
    // As `resolve`, with the case-free lookup of a component in its folder made by `firstMatch`
    // (for callers that keep their own listings of folders).
    static std::string resolveWith(std::string_view path, const FirstMatch& firstMatch);
    // The path at which to create or replace a file: "\" becomes "/", the folder is found as `resolve`
    // finds it, and the name is used as written. No case-free search of the folder's entries is made
    // for a file that is about to be made, so writing many files into one folder stays linear.
    static std::string resolveOutput(std::string_view path);
    static bool exists(std::string_view path);  // as written: file or folder
    // Opens the file `resolve` gives for a path, with open(2)'s flags and mode, without looking twice
    // in the usual case: the path as written ("\" read as "/") is opened first, and only when that
    // finds nothing (ENOENT, ENOTDIR) is the path resolved and opened. With O_CREAT the file is created
    // only at the resolved path, so a file that exists under another letter case is used, not a second
    // one made. Answers the descriptor, or -1 with errno set; `opened` gets the path opened (or the
    // last one tried).
    static int openResolved(std::string_view path, int flags, unsigned mode = 0666, std::string* opened = nullptr);
    static bool isFile(std::string_view path);  // after resolve: a regular file (or a link to one)

    // What identifies the state of a file: a change of content through the system changes one of them.
    struct State {
        bool exists = false;
        std::uint64_t device = 0, inode = 0;
        std::int64_t size = 0, seconds = 0, nanoseconds = 0;
        bool operator==(const State&) const = default;
    };
    static State stateOf(const std::string& path);

    // The whole content of a regular file as written (no resolve); false when it cannot be read.
    static bool read(const std::string& path, std::string& bytes);
    // Writes `bytes` to a temporary file beside `path` and renames it over `path`, so a reader never
    // sees a half-written file. False (with the reason in `error`) on any failure, nothing changed then.
    // `syncToDisk` has the content reach the disk before the rename, so that a crash leaves the old or
    // the new file whole.
    static bool writeAtomically(const std::string& path, std::string_view bytes, std::string* error = nullptr,
                                bool syncToDisk = true);
    // Copies a file byte for byte (over any file `to`, replaced as `writeAtomically` replaces it); false
    // on any failure, `to` unchanged then.
    static bool copy(const std::string& from, const std::string& to);

    // The name a temporary file of AtomicFile stands for ("out.wav" for "out.wav.123-0.tmp") and the id
    // of the process that wrote it; false when the name is not of that form.
    static bool temporaryTarget(std::string_view fileName, std::string* target = nullptr, long long* processId = nullptr);
    // Removes the temporary files AtomicFile left in a folder for the targets `ours` accepts, once the
    // process that wrote each is gone: only regular files of exactly that form that belong to this user,
    // whose process id names no running process (or one started after the file was last written: the
    // id was given again, as in a sandbox that gives the same id at every start) and that no one holds
    // open for writing (the writer keeps a lock on its file). Answers the number removed.
    static int removeLeftovers(const std::string& folder, const std::function<bool(const std::string& target)>& ours);

    // The text of the last system error.
    static std::string lastError();

    // A UTF-8 name case-folded by code point: names equal without regard to case fold alike, and
    // compareFolded orders names as their folded forms do.
    static std::u32string foldedName(std::string_view name);
    // Letter-case-free comparison of two UTF-8 names (case folding by code point): <0, 0, >0.
    static int compareFolded(std::string_view a, std::string_view b);
    // Sorts names without regard to case (names equal so in their byte order).
    static void sortFolded(std::vector<std::string>& names);

    static bool isFolder(const std::string& path);  // as written; a link counts as what it points to

    // Windows find-file matching of one name against a pattern with "*" and "?", without regard to
    // letter case; "*.*" also matches a name without a dot, and "name." matches "name".
    static bool wildcardMatch(std::string_view name, std::string_view pattern);
    // Entry names of a folder (resolved) that match the pattern, sorted without regard to case.
    // `withFolders` includes sub-folders (and "." and ".." when a pattern with "*" matches them).
    // Hidden entries (names starting with ".") are left out otherwise.
    static std::vector<std::string> list(const std::string& folder, std::string_view pattern, bool withFolders);
    // The names of a folder's entries (as written, hidden ones too) that the folder itself tells are
    // regular files, in folder order: one read of the folder, no look at each entry, so links and
    // entries of a kind the folder does not tell are left out. None when the folder cannot be read.
    static std::vector<std::string> regularFileNames(const std::string& folder);
    // The sub-folders of a folder (hidden ones too, links to folders not), sorted without regard to case.
    static std::vector<std::string> subFolders(const std::string& folder);
    // Makes a folder with its parents; false when it cannot be made.
    static bool makePath(const std::string& path);

    // "a//b/./c/../d" -> "a/b/d": no empty, "." or ".." components where they can be removed.
    static std::string cleanPath(const std::string& path);
    static std::string currentFolder();
};

// A file written under a temporary name beside its path, "<name>.<process id>-<count>.tmp", and put in
// place whole by `commit`; dropped when it goes without one. Every write, the sync, the close and the
// rename are checked: on any failure the old file stays as it was and `errorNumber` tells why. The
// temporary file is locked while it is written, so that a cleaner can tell it from one a killed
// process left. The new file keeps the old one's mode, owner and group (as far as the system lets it).
// A link is written through to the end of its chain. Only a regular file is replaced: a folder is
// refused, and a device or pipe of that name is written into as it stands.
class AtomicFile {
public:
    // `Remove` first removes the temporary files killed writers left for the same target (see
    // Files::removeLeftovers); writers of many files in one folder leave that to their own cleaning.
    enum class Leftovers { Keep, Remove };
    explicit AtomicFile(const std::string& path, Leftovers leftovers = Leftovers::Keep);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    bool write(const char* data, std::size_t size);
    // `syncToDisk` has the content reach the disk before the rename, so that a crash leaves the old or
    // the new file whole. False when the file cannot be put in place (the old one stays).
    bool commit(bool syncToDisk = true);
    void cancel();
    const std::string& error() const { return error_; }
    // The system's error number of the failure `error` describes (0 when there was none).
    int errorNumber() const { return errorNumber_; }

private:
    std::string target_, temporary_, error_;
    int fd_ = -1;
    bool pending_ = false;  // the temporary file stands under its name
    bool direct_ = false;   // written into what stands at the name (no regular file: a device, a pipe)
    int errorNumber_ = 0;
};

}  // namespace tova::lean
