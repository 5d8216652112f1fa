#include "tools/vorsa/SampleCache.h"

#include "core/WaveFiles.h"

#include <QFile>

#include <sys/stat.h>

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

SampleCache::FileState SampleCache::stateOf(const QString& path) {
    FileState state;
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return state;
    state.exists = true;
    state.device = st.st_dev;
    state.inode = st.st_ino;
    state.size = st.st_size;
    state.seconds = st.st_mtim.tv_sec;
    state.nanoseconds = st.st_mtim.tv_nsec;
    return state;
}

std::shared_ptr<SampleCache::Sample> SampleCache::find(const QString& samplePath) {
    const FileState sample = stateOf(samplePath);
    const FileState table = stateOf(FrqTableName(samplePath));
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

std::shared_ptr<SampleCache::Sample> SampleCache::store(const QString& samplePath, std::vector<float> signal,
                                                        SamplePitch pitch) {
    Entry entry{samplePath, stateOf(samplePath), stateOf(FrqTableName(samplePath)),
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
