#include "tools/batrun/FolderListings.h"

#include "platform/lean/Files.h"

#include <dirent.h>
#include <sys/stat.h>

namespace tova {
namespace {

using Files = lean::Files;

std::string join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

// The folder and name of a path ("" and the path when it has no "/").
void split(const std::string& path, std::string& folder, std::string& name) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        folder.assign(1, '.');
        name = path;
        return;
    }
    folder.assign(path, 0, slash == 0 ? 1 : slash);
    name.assign(path, slash + 1, std::string::npos);
}

bool startsWith(const std::u32string& text, const std::u32string& start) {
    return text.size() >= start.size() && text.compare(0, start.size(), start) == 0;
}

}  // namespace

FolderListings::Listing* FolderListings::listing(const std::string& folder) {
    const auto known = listings_.find(folder);
    if (known != listings_.end()) return &known->second;
    if (beforeRead_) beforeRead_(folder);
    DIR* d = ::opendir(folder.c_str());
    if (!d) return nullptr;
    Listing entries;
    while (const dirent* e = ::readdir(d)) {
        const char* raw = e->d_name;
        if (raw[0] == '.' && (raw[1] == '\0' || (raw[1] == '.' && raw[2] == '\0'))) continue;
        Entry entry{raw, e->d_type == DT_DIR, false};
        if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
            struct stat st {};
            entry.folder = ::fstatat(::dirfd(d), raw, &st, 0) == 0 && S_ISDIR(st.st_mode);
        }
        entries.emplace(Files::foldedName(raw), std::move(entry));
    }
    ::closedir(d);
    return &listings_.emplace(folder, std::move(entries)).first->second;
}

bool FolderListings::present(const std::string& folder, Entry& entry) {
    if (!entry.unconfirmed) return true;
    struct stat st {};
    if (::stat(join(folder, entry.name).c_str(), &st) != 0) return false;
    entry.unconfirmed = false;
    entry.folder = S_ISDIR(st.st_mode);
    return true;
}

std::string FolderListings::firstMatch(const std::string& folder, const std::string& name) {
    Listing* entries = listing(folder);
    if (!entries) return {};
    std::string best;
    // Names equal without regard to case fold alike: the first in byte order is the first in
    // case-insensitive name order among them.
    auto [from, to] = entries->equal_range(Files::foldedName(name));
    for (auto it = from; it != to; ++it)
        if (present(folder, it->second) && (best.empty() || it->second.name < best)) best = it->second.name;
    return best;
}

std::string FolderListings::resolve(std::string_view path) {
    return Files::resolveWith(path, [this](const std::string& folder, const std::string& name) {
        return firstMatch(folder, name);
    });
}

std::vector<std::string> FolderListings::list(const std::string& folder, std::string_view pattern, bool withFolders) {
    const std::string path = folder.empty() ? "." : resolve(folder);
    std::vector<std::string> out;
    Listing* entries = listing(path);
    if (!entries) return out;
    // Only the names that start as the pattern does before its first wildcard can match; a trailing
    // "." of that start is left out ("name." matches "name").
    std::string literal(pattern.substr(0, std::min(pattern.find_first_of("*?"), pattern.size())));
    while (!literal.empty() && literal.back() == '.') literal.pop_back();
    const std::u32string start = Files::foldedName(literal);
    for (auto it = entries->lower_bound(start); it != entries->end() && startsWith(it->first, start); ++it) {
        Entry& entry = it->second;
        if (entry.name[0] == '.') continue;  // hidden on this system
        if (!Files::wildcardMatch(entry.name, pattern)) continue;
        if (!present(path, entry)) continue;
        if (!withFolders && entry.folder) continue;
        out.push_back(entry.name);
    }
    if (withFolders && pattern.find('*') != std::string_view::npos)
        for (const char* dot : {".", ".."})
            if (Files::wildcardMatch(dot, pattern)) out.emplace_back(dot);
    Files::sortFolded(out);
    return out;
}

void FolderListings::added(const std::string& path) {
    std::string folder, name;
    split(path, folder, name);
    const auto known = listings_.find(folder);
    if (known == listings_.end() || name.empty()) return;
    auto [from, to] = known->second.equal_range(Files::foldedName(name));
    for (auto it = from; it != to; ++it)
        if (it->second.name == name) return;
    known->second.emplace(Files::foldedName(name), Entry{name, false, true});
}

void FolderListings::removed(const std::string& path) {
    std::string folder, name;
    split(path, folder, name);
    const auto known = listings_.find(folder);
    if (known == listings_.end()) return;
    auto [from, to] = known->second.equal_range(Files::foldedName(name));
    for (auto it = from; it != to;) it = it->second.name == name ? known->second.erase(it) : std::next(it);
}

void FolderListings::forget(const std::string& folder) { listings_.erase(folder); }

}  // namespace tova
