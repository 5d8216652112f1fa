#include "platform/lean/Files.h"

#include "platform/lean/OwnedLocale.h"
#include "platform/lean/Utf.h"

#include <dirent.h>
#include <fcntl.h>
#include <locale.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wctype.h>

#include <cerrno>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <vector>

namespace tova::lean {
namespace {

locale_t unicodeLocale() {
    static const OwnedLocale l([] {
        locale_t u = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
        return u ? u : newlocale(LC_CTYPE_MASK, "C", locale_t(nullptr));
    }());
    return l.get();
}

bool isAscii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

char32_t foldedAscii(char c) { return c >= 'A' && c <= 'Z' ? char32_t(c + 32) : char32_t(c); }

std::u32string folded(std::string_view name) {
    if (isAscii(name)) {
        std::u32string out(name.size(), U'\0');
        for (std::size_t i = 0; i < name.size(); ++i) out[i] = foldedAscii(name[i]);
        return out;
    }
    const std::u16string u = toUtf16(name);
    std::u32string out;
    out.reserve(u.size());
    for (std::size_t i = 0; i < u.size(); ++i) {
        char32_t c = u[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < u.size() && u[i + 1] >= 0xDC00 && u[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (u[++i] - 0xDC00);
        out += c < 0x80 ? (c >= 'A' && c <= 'Z' ? c + 32 : c) : char32_t(towlower_l(wint_t(c), unicodeLocale()));
    }
    return out;
}

bool existsAsWritten(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::string join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

char32_t foldedUnit(char16_t c) {
    if (c < 0x80) return c >= 'A' && c <= 'Z' ? char32_t(c + 32) : char32_t(c);
    return char32_t(towlower_l(wint_t(c), unicodeLocale()));
}

// Matcher on UTF-16 units, case-folded. On a mismatch it goes back only to the last "*" and lets it
// take one more character, so the work stays proportional to name length times pattern length even
// for patterns with many stars.
bool matchName(const std::u16string& n, const std::u16string& p) {
    std::size_t i = 0, j = 0, resume = 0;
    std::size_t star = std::u16string::npos;
    while (i < n.size()) {
        if (j < p.size() && p[j] == u'*') {
            star = j++;
            resume = i;
        } else if (j < p.size() && (p[j] == u'?' || p[j] == n[i] || foldedUnit(p[j]) == foldedUnit(n[i]))) {
            ++i;
            ++j;
        } else if (star != std::u16string::npos) {
            j = star + 1;
            i = ++resume;
        } else {
            return false;
        }
    }
    while (j < p.size() && p[j] == u'*') ++j;
    return j == p.size();
}

// Whether a folder entry is a folder (a link counts as what it points to).
bool isFolderEntry(int folder, const dirent& entry) {
    if (entry.d_type == DT_DIR) return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
    struct stat st {};
    return ::fstatat(folder, entry.d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
}

// The entry of a folder whose name equals `name` without regard to case, the first in
// case-insensitive name order when several do; empty when none does.
std::string firstMatchInFolder(const std::string& folder, const std::string& name) {
    std::string best;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return best;
    const std::u32string wanted = folded(name);
    // Most names are ASCII: those are compared in place, without folding them whole.
    auto matches = [&wanted](std::string_view raw) {
        if (!isAscii(raw)) return folded(raw) == wanted;
        if (raw.size() != wanted.size()) return false;
        for (std::size_t i = 0; i < raw.size(); ++i)
            if (foldedAscii(raw[i]) != wanted[i]) return false;
        return true;
    };
    while (const dirent* entry = ::readdir(dir)) {
        const char* raw = entry->d_name;
        if (raw[0] == '.' && (raw[1] == '\0' || (raw[1] == '.' && raw[2] == '\0'))) continue;
        if (!matches(raw)) continue;
        if (best.empty() || Files::compareFolded(raw, best) < 0 ||
            (Files::compareFolded(raw, best) == 0 && std::string_view(raw) < best))
            best = raw;
    }
    ::closedir(dir);
    return best;
}

}  // namespace

std::u32string Files::foldedName(std::string_view name) { return folded(name); }

int Files::compareFolded(std::string_view a, std::string_view b) {
    const std::u32string x = folded(a), y = folded(b);
    return x.compare(y);
}

void Files::sortFolded(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const int c = compareFolded(a, b);
        return c != 0 ? c < 0 : a < b;
    });
}

bool Files::isFolder(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

namespace {

// Files::wildcardMatch with the pattern in UTF-16.
bool wildcardMatch16(std::string_view name, const std::u16string& p) {
    std::u16string n = toUtf16(name);
    if (matchName(n, p)) return true;
    // A name without a dot matches as if it ended in "." ("*.*" and "name." both match "name").
    if (n.find(u'.') != std::u16string::npos) return false;
    n += u'.';
    return matchName(n, p);
}

}  // namespace

bool Files::wildcardMatch(std::string_view name, std::string_view pattern) {
    return wildcardMatch16(name, toUtf16(pattern));
}

std::vector<std::string> Files::list(const std::string& folder, std::string_view pattern, bool withFolders) {
    const std::string path = folder.empty() ? "." : resolve(folder);
    std::vector<std::string> out;
    DIR* d = ::opendir(path.c_str());
    if (!d) return out;
    const std::u16string p = toUtf16(pattern);
    // The folder is read once; only entries whose kind the folder does not tell are looked at.
    while (const dirent* entry = ::readdir(d)) {
        if (entry->d_name[0] == '.') continue;  // hidden on this system, and "." and ".."
        if (!wildcardMatch16(entry->d_name, p)) continue;
        if (!withFolders && isFolderEntry(::dirfd(d), *entry)) continue;
        out.emplace_back(entry->d_name);
    }
    ::closedir(d);
    if (withFolders && pattern.find('*') != std::string_view::npos)
        for (const char* dot : {".", ".."})
            if (wildcardMatch(dot, pattern)) out.emplace_back(dot);
    sortFolded(out);
    return out;
}

std::vector<std::string> Files::regularFileNames(const std::string& folder) {
    std::vector<std::string> out;
    DIR* d = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!d) return out;
    while (const dirent* entry = ::readdir(d))
        if (entry->d_type == DT_REG) out.emplace_back(entry->d_name);
    ::closedir(d);
    return out;
}

std::vector<std::string> Files::subFolders(const std::string& folder) {
    std::vector<std::string> out;
    DIR* d = ::opendir(folder.c_str());
    if (!d) return out;
    while (const dirent* entry = ::readdir(d)) {
        const char* raw = entry->d_name;
        if (raw[0] == '.' && (raw[1] == '\0' || (raw[1] == '.' && raw[2] == '\0'))) continue;
        struct stat st {};
        if (::fstatat(::dirfd(d), raw, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode)) out.emplace_back(raw);
    }
    ::closedir(d);
    sortFolded(out);
    return out;
}

bool Files::makePath(const std::string& path) {
    if (path.empty()) return false;
    if (isFolder(path)) return true;
    const std::size_t slash = path.find_last_of('/', path.size() > 1 ? path.size() - 2 : 0);
    if (slash != std::string::npos && slash > 0 && !makePath(path.substr(0, slash))) return false;
    return ::mkdir(path.c_str(), 0777) == 0 || (errno == EEXIST && isFolder(path));
}

std::string Files::cleanPath(const std::string& path) {
    const bool absolute = !path.empty() && path.front() == '/';
    std::vector<std::string> kept;
    for (std::size_t from = 0; from <= path.size();) {
        std::size_t slash = path.find('/', from);
        if (slash == std::string::npos) slash = path.size();
        const std::string part = path.substr(from, slash - from);
        from = slash + 1;
        if (part.empty() || part == ".") continue;
        if (part == ".." && !kept.empty() && kept.back() != "..") {
            kept.pop_back();
            continue;
        }
        if (part == ".." && absolute) continue;
        kept.push_back(part);
    }
    std::string out = absolute ? "/" : "";
    for (std::size_t k = 0; k < kept.size(); ++k) out += (k ? "/" : "") + kept[k];
    return out.empty() ? "." : out;
}

std::string Files::currentFolder() {
    std::vector<char> buffer(4096);
    while (!::getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE) return ".";
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

std::string Files::resolve(std::string_view path) { return resolveWith(path, firstMatchInFolder); }

std::string Files::resolveWith(std::string_view path, const FirstMatch& firstMatch) {
    std::string p(path);
    for (char& c : p)
        if (c == '\\') c = '/';
    if (p.empty() || existsAsWritten(p)) return p;
    const bool absolute = p.front() == '/';
    std::vector<std::string> parts;
    for (std::size_t from = 0;;) {
        const std::size_t slash = p.find('/', from);
        parts.push_back(p.substr(from, slash == std::string::npos ? std::string::npos : slash - from));
        if (slash == std::string::npos) break;
        from = slash + 1;
    }
    std::string cur = absolute ? "/" : "";
    for (std::size_t k = absolute ? 1 : 0; k < parts.size(); ++k) {
        const std::string& comp = parts[k];
        const std::string candidate = cur.empty() ? comp : join(cur, comp);
        if (comp.empty() || comp == "." || comp == ".." || existsAsWritten(candidate)) {
            if (!comp.empty()) cur = candidate;
            continue;
        }
        const std::string found = firstMatch(cur.empty() ? "." : cur, comp);
        if (found.empty()) {
            // The rest is kept as written.
            std::string rest;
            for (std::size_t r = k; r < parts.size(); ++r) rest += (r > k ? "/" : "") + parts[r];
            return cur.empty() ? rest : join(cur, rest);
        }
        cur = cur.empty() ? found : join(cur, found);
    }
    if (p.back() == '/' && (cur.empty() || cur.back() != '/')) cur += '/';
    return cur;
}

std::string Files::resolveOutput(std::string_view path) {
    std::string p(path);
    for (char& c : p)
        if (c == '\\') c = '/';
    const std::size_t slash = p.rfind('/');
    if (slash == std::string::npos || slash + 1 == p.size()) return p;
    if (slash == 0) return p;  // a name in the root folder
    const std::string folder = p.substr(0, slash);
    if (existsAsWritten(folder)) return p;
    return join(resolve(folder), p.substr(slash + 1));
}

int Files::openResolved(std::string_view path, int flags, unsigned mode, std::string* opened) {
    std::string p(path);
    for (char& c : p)
        if (c == '\\') c = '/';
    // A path that can be opened as written resolves to itself.
    int fd = ::open(p.c_str(), flags & ~O_CREAT, mode_t(mode));
    if (fd < 0 && (errno == ENOENT || errno == ENOTDIR)) {
        const int error = errno;
        std::string resolved = resolve(p);
        if (resolved != p || (flags & O_CREAT) != 0) {
            p = std::move(resolved);
            fd = ::open(p.c_str(), flags, mode_t(mode));
        } else {
            errno = error;
        }
    }
    if (opened) *opened = std::move(p);
    return fd;
}

bool Files::exists(std::string_view path) { return !path.empty() && existsAsWritten(std::string(path)); }

bool Files::isFile(std::string_view path) {
    if (path.empty()) return false;
    struct stat st {};
    return ::stat(resolve(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

Files::State Files::stateOf(const std::string& path) {
    State state;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return state;
    state.exists = true;
    state.device = st.st_dev;
    state.inode = st.st_ino;
    state.size = st.st_size;
    state.seconds = st.st_mtim.tv_sec;
    state.nanoseconds = st.st_mtim.tv_nsec;
    return state;
}

bool Files::read(const std::string& path, std::string& bytes) {
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (ok) bytes.reserve(std::size_t(st.st_size));
    char buffer[65536];
    while (ok) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        if (n <= 0) break;
        bytes.append(buffer, std::size_t(n));
    }
    ::close(fd);
    return ok;
}

std::string Files::lastError() { return std::strerror(errno); }

namespace {

// The file a path names when it is a link (written through, as the target gets the new content):
// a link to a link is followed to the end of the chain, so that no link in it is replaced by a file.
// A link that leads to something its text does not name (the system's names of open descriptors,
// "/proc/self/fd/1" -> "pipe:[…]") is kept as it is: the system opens what it stands for.
std::string linkTarget(const std::string& path) {
    std::string current = path;
    for (int depth = 0; depth < 40; ++depth) {
        char resolved[4096];
        const ssize_t length = ::readlink(current.c_str(), resolved, sizeof resolved - 1);
        if (length <= 0) return current;
        resolved[length] = '\0';
        std::string next;
        if (resolved[0] == '/') {
            next = resolved;
        } else {
            const std::size_t slash = current.rfind('/');
            next = current.substr(0, slash == std::string::npos ? 0 : slash + 1) + resolved;
        }
        struct stat st {};
        if (::stat(current.c_str(), &st) == 0 && ::lstat(next.c_str(), &st) != 0) return current;
        current = std::move(next);
    }
    return current;
}

std::atomic<unsigned> temporaryCount{0};

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

bool allDigits(std::string_view s) {
    if (s.empty() || s.size() > 10) return false;
    for (const char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

// The time (seconds since the epoch) a running process started; -1 when it cannot be told.
double processStart(long long pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return -1;
    // The command name stands in parentheses and may hold blanks: the fields follow the last ")".
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(line.substr(close + 1));
    std::string field;
    unsigned long long ticks = 0;
    for (int n = 3; n <= 22 && fields >> field; ++n)
        if (n == 22) ticks = std::strtoull(field.c_str(), nullptr, 10);
    if (ticks == 0) return -1;
    std::ifstream system("/proc/stat");
    long long boot = -1;
    while (std::getline(system, line))
        if (line.rfind("btime ", 0) == 0) boot = std::atoll(line.c_str() + 6);
    const long hz = ::sysconf(_SC_CLK_TCK);
    if (boot <= 0 || hz <= 0) return -1;
    return double(boot) + double(ticks) / double(hz);
}

// The process that wrote a temporary file last modified at `written` is gone: no process has its id,
// or the one that has it started after the file was written (the id was given to a new process).
// A process of another user counts as running. Two seconds allow for the coarse boot time.
bool writerGone(long long pid, std::time_t written) {
    if (pid <= 0 || pid > 0x7fffffff) return false;
    if (::kill(pid_t(pid), 0) != 0) return errno == ESRCH;
    const double started = processStart(pid);
    return started > 0 && started > double(written) + 2;
}

}  // namespace

bool Files::temporaryTarget(std::string_view fileName, std::string* target, long long* processId) {
    if (fileName.size() < 4 || fileName.substr(fileName.size() - 4) != ".tmp") return false;
    const std::string_view stem = fileName.substr(0, fileName.size() - 4);
    const std::size_t dash = stem.rfind('-');
    if (dash == std::string_view::npos || !allDigits(stem.substr(dash + 1))) return false;
    const std::size_t dot = stem.substr(0, dash).rfind('.');
    if (dot == std::string_view::npos || dot == 0 || !allDigits(stem.substr(dot + 1, dash - dot - 1))) return false;
    if (target) *target = std::string(stem.substr(0, dot));
    if (processId) *processId = std::atoll(std::string(stem.substr(dot + 1, dash - dot - 1)).c_str());
    return true;
}

int Files::removeLeftovers(const std::string& folder, const std::function<bool(const std::string& target)>& ours) {
    const std::string base = folder.empty() ? std::string(".") : folder;
    DIR* dir = ::opendir(base.c_str());
    if (!dir) return 0;
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(dir)) {
        std::string target;
        long long pid = 0;
        // This process's own id counts like any other: a file under it written before this process
        // started is an earlier run's (a sandbox gives the same id at every start); what this process
        // writes is newer than its start and locked.
        if (temporaryTarget(e->d_name, &target, &pid) && ours(target)) names.emplace_back(e->d_name);
    }
    ::closedir(dir);
    int removed = 0;
    for (const std::string& name : names) {
        long long pid = 0;
        temporaryTarget(name, nullptr, &pid);
        const std::string path = join(base, name);
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid()) continue;
        if (!writerGone(pid, st.st_mtim.tv_sec)) continue;
        // A writer holds a lock on its file until it is renamed or dropped: a file someone still writes
        // (a program of another machine on a shared folder, say) stays.
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) continue;
        struct stat opened {};
        const bool same = ::fstat(fd, &opened) == 0 && opened.st_dev == st.st_dev && opened.st_ino == st.st_ino;
        const bool unlocked = ::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
        if (same && unlocked && ::unlink(path.c_str()) == 0) ++removed;
        ::close(fd);
    }
    return removed;
}

AtomicFile::AtomicFile(const std::string& path, Leftovers leftovers) : target_(linkTarget(path)) {
    // Only a regular file is replaced. A folder is refused, and so is a disk (a block device: a save
    // typed over one must not overwrite it); anything else of that name (a device such as /dev/null,
    // a pipe) is written into as it stands, never replaced by a file, and a pipe without a reader
    // fails at once instead of waiting.
    struct stat standing {};
    if (::stat(target_.c_str(), &standing) == 0 && !S_ISREG(standing.st_mode)) {
        if (S_ISDIR(standing.st_mode)) {
            errorNumber_ = EISDIR;
        } else if (S_ISBLK(standing.st_mode)) {
            errorNumber_ = EPERM;
        } else {
            fd_ = ::open(target_.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
            if (fd_ >= 0) {
                // Opened without waiting; the writes wait for the reader as usual, so that more than
                // a pipe holds at once goes through.
                const int flags = ::fcntl(fd_, F_GETFL);
                if (flags >= 0) (void)::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
                direct_ = true;
                return;
            }
            errorNumber_ = errno;
        }
        error_ = "cannot write " + path + ": " + std::strerror(errorNumber_);
        return;
    }
    if (leftovers == Leftovers::Remove) {
        const std::size_t slash = target_.rfind('/');
        const std::string name = slash == std::string::npos ? target_ : target_.substr(slash + 1);
        Files::removeLeftovers(folderOf(target_), [&name](const std::string& target) { return target == name; });
    }
    // A new name beside the target, created here and now (mode 0666 less the umask, or the old file's).
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temporary_ = target_ + "." + std::to_string(::getpid()) + "-" + std::to_string(temporaryCount++) + ".tmp";
        fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) {
        errorNumber_ = errno;
        error_ = "cannot create " + path + ": " + Files::lastError();
        return;
    }
    pending_ = true;
    // Held until the file is renamed or dropped (and released by the system when the process dies).
    // A file system without locks writes all the same.
    (void)::flock(fd_, LOCK_EX | LOCK_NB);
    // The new file takes the old one's owner and group where the system lets it (the group alone
    // when only that may be given), then its mode (a change of owner clears set-id bits).
    struct stat old {};
    if (::stat(target_.c_str(), &old) == 0) {
        if (::fchown(fd_, old.st_uid, old.st_gid) != 0) (void)::fchown(fd_, uid_t(-1), old.st_gid);
        (void)::fchmod(fd_, old.st_mode & 07777);
    }
}

AtomicFile::~AtomicFile() { cancel(); }

void AtomicFile::cancel() {
    if (pending_) ::unlink(temporary_.c_str());
    pending_ = false;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

namespace {

// write(2) that gives EPIPE for a pipe without a reader instead of ending the process by SIGPIPE: the
// signal is held back for this thread during the write, and one raised by it is taken away unseen.
ssize_t writeWithoutPipeSignal(int fd, const char* data, std::size_t size) {
    sigset_t pipeSignal, old;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    sigset_t pending;
    sigemptyset(&pending);
    // A SIGPIPE already waiting belongs to someone else and is left alone.
    const bool waiting = ::sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE);
    ::pthread_sigmask(SIG_BLOCK, &pipeSignal, &old);
    const ssize_t n = ::write(fd, data, size);
    const int error = errno;
    if (n < 0 && error == EPIPE && !waiting) {
        const timespec none{0, 0};
        while (::sigtimedwait(&pipeSignal, nullptr, &none) < 0 && errno == EINTR) {}
    }
    ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
    errno = error;
    return n;
}

}  // namespace

bool AtomicFile::write(const char* data, std::size_t size) {
    while (fd_ >= 0 && size > 0) {
        // Only what stands at the name (a pipe) can raise SIGPIPE; a file of our own cannot.
        const ssize_t n = direct_ ? writeWithoutPipeSignal(fd_, data, size) : ::write(fd_, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            // A write that takes nothing without an error is a full device too.
            errorNumber_ = n < 0 ? errno : ENOSPC;
            error_ = "cannot write " + target_ + ": " + std::strerror(errorNumber_);
            cancel();
            return false;
        }
        data += n;
        size -= std::size_t(n);
    }
    return fd_ >= 0;
}

bool AtomicFile::commit(bool syncToDisk) {
    if (fd_ < 0) {
        if (errorNumber_ == 0) errorNumber_ = EBADF;
        return false;
    }
    const auto fail = [this](int number) {
        errorNumber_ = number;
        error_ = "cannot write " + target_ + ": " + std::strerror(number);
        cancel();
        return false;
    };
    // A file system that cannot sync (EINVAL) keeps what it has; a device that reports an error on
    // the sync has lost what was written.
    if (direct_) {
        const int closed = ::close(fd_);
        fd_ = -1;
        if (closed != 0 && errno != EINTR) return fail(errno);
        return true;
    }
    if (syncToDisk && ::fdatasync(fd_) != 0 && errno != EINVAL) return fail(errno);
    // The close is checked before the rename (a network file system reports late write errors
    // there), with a second descriptor holding the lock until the file has its name, so that no
    // cleaner takes it for a leftover in between.
    const int lock = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);  // not handed to programs started meanwhile
    const int closed = ::close(fd_);
    const int closeError = errno;
    fd_ = lock;
    if (closed != 0 && closeError != EINTR) return fail(closeError);
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) return fail(errno);
    pending_ = false;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (syncToDisk) {
        // The rename itself reaches the disk with the folder.
        const int dir = ::open(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            (void)::fsync(dir);
            ::close(dir);
        }
    }
    return true;
}

bool Files::writeAtomically(const std::string& path, std::string_view bytes, std::string* error, bool syncToDisk) {
    AtomicFile file(path);
    const bool done = file.write(bytes.data(), bytes.size()) && file.commit(syncToDisk);
    if (!done && error) *error = file.error();
    return done;
}

bool Files::copy(const std::string& from, const std::string& to) {
    std::string bytes;
    return read(from, bytes) && writeAtomically(to, bytes, nullptr, false);
}

}  // namespace tova::lean
