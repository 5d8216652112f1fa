#include "tools/vorsa/SampleCache.h"

#include "platform/lean/FrqTable.h"

#include <algorithm>
#include <cmath>

namespace tova::vorsa {

PitchMarks SampleCache::Sample::marks(double from, double to) {
    // The walk depends on its start only through the whole sample it starts at.
    const double start = std::clamp(std::floor(from), 0.0, static_cast<double>(signal_.size()));
    std::shared_ptr<const PitchMarks::Trace> trace;
    {
        std::lock_guard<std::mutex> guard(lock_);
        auto it = traces_.find(start);
        if (it != traces_.end()) trace = it->second;
    }
    if (!trace) {
        trace = std::make_shared<const PitchMarks::Trace>(signal_, pitch_, start, -1.0);
        std::lock_guard<std::mutex> guard(lock_);
        traces_.emplace(start, trace);
    }
    return PitchMarks(*trace, pitch_, to);
}

std::shared_ptr<SampleCache::Sample> SampleCache::find(const std::string& samplePath) {
    const FileState sample = lean::Files::stateOf(samplePath);
    const FileState table = lean::Files::stateOf(lean::FrqTable::nameFor(samplePath));
    std::lock_guard<std::mutex> guard(lock_);
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->path != samplePath) continue;
        if (!sample.exists || !(it->sample == sample) || !(it->table == table)) {
            bytes_ -= it->data->signal().size() * sizeof(float);
            entries_.erase(it);
            return nullptr;
        }
        entries_.splice(entries_.begin(), entries_, it);
        return entries_.front().data;
    }
    return nullptr;
}

std::shared_ptr<SampleCache::Sample> SampleCache::store(const std::string& samplePath, std::vector<float> signal,
                                                        SamplePitch pitch) {
    Entry entry{samplePath, lean::Files::stateOf(samplePath), lean::Files::stateOf(lean::FrqTable::nameFor(samplePath)),
                std::make_shared<Sample>(std::move(signal), std::move(pitch))};
    const std::size_t size = entry.data->signal().size() * sizeof(float);
    std::lock_guard<std::mutex> guard(lock_);
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->path == samplePath) {
            bytes_ -= it->data->signal().size() * sizeof(float);
            entries_.erase(it);
            break;
        }
    }
    while (!entries_.empty() && (entries_.size() >= kMaxSamples || bytes_ + size > kMaxBytes)) {
        bytes_ -= entries_.back().data->signal().size() * sizeof(float);
        entries_.pop_back();
    }
    std::shared_ptr<Sample> data = entry.data;
    if (entry.sample.exists && size <= kMaxBytes) {
        entries_.push_front(std::move(entry));
        bytes_ += size;
    }
    return data;
}

void SampleCache::clear() {
    std::lock_guard<std::mutex> guard(lock_);
    entries_.clear();
    bytes_ = 0;
}

}  // namespace tova::vorsa
