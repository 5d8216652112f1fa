#pragma once

#include <vector>

namespace tova::vorsa {

// The fundamental of a sample as its frequency table gives it: one value per kFrameStep samples at
// 44100 Hz (frame i describes the samples around i * kFrameStep + kFrameStep / 2), 0 where there is
// no fundamental, and the sample's average (key) frequency.
class SamplePitch {
public:
    SamplePitch() = default;
    // `frames` in Hz; values of "no pitch" (0 or 55.0) are stored as 0. An `average` of 0 or less is
    // replaced by the median of the voiced frames.
    SamplePitch(std::vector<double> frames, double average);

    // Frequency at a sample position: linear between two voiced neighbouring frames, the nearest
    // frame's value when only that one is voiced, 0 when the nearest frame has no fundamental.
    double frequencyAt(double sample) const;
    double average() const { return average_; }
    const std::vector<double>& frames() const { return frames_; }

    // Median of the voiced values (0 when none).
    static double medianOfVoiced(const std::vector<double>& frames);

private:
    std::vector<double> frames_;
    double average_ = 0.0;
};

}  // namespace tova::vorsa
