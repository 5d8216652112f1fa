#pragma once

#include "tools/batrun/BatchText.h"

#include <utility>
#include <vector>

namespace tova {

// The environment a batch hands the programs it starts: names and values in the order they came,
// names matched exactly (as the system matches them).
class BatchEnvironment {
public:
    // The environment of this process.
    static BatchEnvironment system();

    void insert(const BatchString& name, const BatchString& value);
    void remove(const BatchString& name);
    bool contains(const BatchString& name) const;
    BatchString value(const BatchString& name) const;
    const std::vector<std::pair<BatchString, BatchString>>& entries() const { return entries_; }

private:
    std::vector<std::pair<BatchString, BatchString>> entries_;
};

}  // namespace tova
