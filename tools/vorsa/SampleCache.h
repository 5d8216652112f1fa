#pragma once

#include "tools/vorsa/PitchMarks.h"
#include "tools/vorsa/SamplePitch.h"

#include "platform/lean/Files.h"

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tova::vorsa {

// What a long-lived caller of the note renderer (its library form, loaded once into the editor) keeps
// of the samples it rendered from: the signal as read, its pitch from the frequency table, and the walk
// of the pitch marks from each start a note used. Every note of a song that uses a sample needs the
// same three; building them is most of a note's work.
//
// An entry stands while the sample file and its frequency table are unchanged (the same file, size and
// modification time as when it was made; a table that appears or goes counts as a change). A call whose
// flags remake the table does not use the cache. At most `kMaxSamples` samples and `kMaxBytes` of
// signal are kept; the least recently used goes first. Safe to use from several threads at once.
class SampleCache {
public:
    static constexpr std::size_t kMaxSamples = 256;
    static constexpr std::size_t kMaxBytes = std::size_t(512) << 20;

    class Sample {
    public:
        Sample(std::vector<float> signal, SamplePitch pitch) : signal_(std::move(signal)), pitch_(std::move(pitch)) {}
        const std::vector<float>& signal() const { return signal_; }
        const SamplePitch& pitch() const { return pitch_; }
        // The marks over [from, to), from the walk kept for `from` (walked to the sample's end once).
        PitchMarks marks(double from, double to);

    private:
        std::vector<float> signal_;
        SamplePitch pitch_;
        std::mutex lock_;
        std::map<double, std::shared_ptr<const PitchMarks::Trace>> traces_;
    };

    // The entry of a sample (its resolved path), or null when there is none or it no longer stands.
    std::shared_ptr<Sample> find(const std::string& samplePath);
    // Keeps a sample just read (with the state of its files now) and answers its entry.
    std::shared_ptr<Sample> store(const std::string& samplePath, std::vector<float> signal, SamplePitch pitch);

    void clear();

private:
    using FileState = lean::Files::State;
    struct Entry {
        std::string path;
        FileState sample, table;
        std::shared_ptr<Sample> data;
    };

    std::mutex lock_;
    std::list<Entry> entries_;  // most recently used first
    std::size_t bytes_ = 0;
};

}  // namespace tova::vorsa
