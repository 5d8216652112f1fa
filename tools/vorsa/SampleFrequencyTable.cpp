#include "tools/vorsa/SampleFrequencyTable.h"

#include "platform/lean/FrqTable.h"
#include "tools/vorsa/F0Estimator.h"
#include "tools/vorsa/RenderConstants.h"

#include <algorithm>

namespace tova::vorsa {
namespace {

constexpr int kProgressEvery = 16;

// Estimates frames [first, end) into `frequencies` and `levels`; false when the progress callback
// asked to stop.
bool estimateFrames(const std::vector<float>& signal, int first, int end, std::vector<double>& frequencies,
                    std::vector<double>& levels, const SampleFrequencyTable::Progress& progress) {
    const int total = end - first;
    if (total <= 0) return true;
    if (progress && progress(1, total) != 0) return false;
    F0Estimator estimator;
    for (int i = first; i < end; ++i) {
        const F0Estimator::Frame frame = estimator.estimate(signal, i);
        frequencies[i] = frame.frequency > 0.0 ? frame.frequency : kNoPitchFrequency;
        levels[i] = frame.rms * 32768.0;
        const int done = i - first + 1;
        if (progress && (done % kProgressEvery == 0 || done == total) && progress(0, done) != 0) return false;
    }
    return true;
}

}  // namespace

int SampleFrequencyTable::frameCountFor(size_t samples) {
    return std::max<int>(1, static_cast<int>((samples + kFrameStep - 1) / kFrameStep));
}

SampleFrequencyTable::Result SampleFrequencyTable::obtain(const std::vector<float>& signal, const std::string& samplePath,
                                                          bool remake, const Progress& progress) {
    Result result;
    const int needed = frameCountFor(signal.size());
    std::vector<double> frequencies(needed, kNoPitchFrequency);
    std::vector<double> levels(needed, 0.0);

    if (!remake) {
        lean::FrqTable table;
        if (table.read(samplePath)) {
            const int have = std::min<int>(needed, table.frameCount);
            for (int i = 0; i < have; ++i) frequencies[i] = table.values[2 * i];
            // Frames past a short table (a longer sample than a table can cover) are estimated here
            // and not written.
            if (!estimateFrames(signal, have, needed, frequencies, levels, progress)) {
                result.status = Status::Cancelled;
                return result;
            }
            result.status = Status::Read;
            result.pitch = SamplePitch(std::move(frequencies), table.averageFreq);
            return result;
        }
    }

    if (!estimateFrames(signal, 0, needed, frequencies, levels, progress)) {
        result.status = Status::Cancelled;
        return result;
    }
    const double average = SamplePitch::medianOfVoiced(frequencies);
    const int stored = std::min(needed, kMaxTableFrames);
    lean::FrqTable table;
    table.signature = std::string(kSignature, 8);
    table.reserved = kFrameStep;
    table.averageFreq = average;
    table.extra1 = kSampleRate;
    table.extra2 = 0.0;
    table.frameCount = stored;
    table.values.resize(2 * std::size_t(stored));
    for (int i = 0; i < stored; ++i) {
        table.values[2 * i] = frequencies[i];
        table.values[2 * i + 1] = levels[i];
    }
    result.written = table.write(samplePath);
    result.status = Status::Made;
    result.pitch = SamplePitch(std::move(frequencies), average);
    return result;
}

}  // namespace tova::vorsa
