#include "tools/batrun/BatchEnvironment.h"

#include <algorithm>
#include <cstring>

extern char** environ;

namespace tova {

BatchEnvironment BatchEnvironment::system() {
    BatchEnvironment e;
    for (char** p = environ; p && *p; ++p) {
        const char* eq = std::strchr(*p, '=');
        if (!eq || eq == *p) continue;
        e.insert(batchText(std::string(*p, std::size_t(eq - *p))), batchText(eq + 1));
    }
    return e;
}

void BatchEnvironment::insert(const BatchString& name, const BatchString& value) {
    for (auto& entry : entries_)
        if (entry.first == name) {
            entry.second = value;
            return;
        }
    entries_.emplace_back(name, value);
}

void BatchEnvironment::remove(const BatchString& name) {
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(), [&](const auto& e) { return e.first == name; }),
                   entries_.end());
}

bool BatchEnvironment::contains(const BatchString& name) const {
    return std::any_of(entries_.begin(), entries_.end(), [&](const auto& e) { return e.first == name; });
}

BatchString BatchEnvironment::value(const BatchString& name) const {
    for (const auto& entry : entries_)
        if (entry.first == name) return entry.second;
    return {};
}

}  // namespace tova
