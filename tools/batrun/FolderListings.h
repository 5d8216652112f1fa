#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tova {

// What the batch runner knows of the folders it looks into: a folder is read once and its listing
// kept, indexed by case-folded name, so that looking up a name without regard to case or a pattern
// with a literal start ("12_*.wav") costs no read of a folder that grows with every note. The runner
// applies its own changes to the kept listings (files it deletes or copies, files the tools it runs in
// process make); a program started as a process may change anything, and then every listing is read
// anew (clear). Paths are UTF-8 as the system takes them, with "/".
class FolderListings {
public:
    // Called with a folder's path before it is read from disk (the runner has the tools still writing
    // into it finish first, so the listing holds what they make).
    using BeforeRead = std::function<void(const std::string& folder)>;
    explicit FolderListings(BeforeRead beforeRead = {}) : beforeRead_(std::move(beforeRead)) {}

    // As lean::Files::resolve.
    std::string resolve(std::string_view path);
    // As lean::Files::list.
    std::vector<std::string> list(const std::string& folder, std::string_view pattern, bool withFolders);

    // A file is made (or being made) at this path: taken into a kept listing of its folder, and looked
    // at on disk when a lookup finds it, so a file that never came is not reported.
    void added(const std::string& path);
    // A file deleted at this path.
    void removed(const std::string& path);
    // The folder may have changed in ways not told: read it anew when next needed.
    void forget(const std::string& folder);
    void clear() { listings_.clear(); }

private:
    struct Entry {
        std::string name;
        bool folder = false;
        bool unconfirmed = false;  // told by added(), not yet seen on disk
    };
    using Listing = std::multimap<std::u32string, Entry>;

    Listing* listing(const std::string& folder);
    // Whether an entry is there: entries told by added() are looked at on disk until found.
    static bool present(const std::string& folder, Entry& entry);
    std::string firstMatch(const std::string& folder, const std::string& name);

    BeforeRead beforeRead_;
    std::map<std::string, Listing> listings_;
};

}  // namespace tova
