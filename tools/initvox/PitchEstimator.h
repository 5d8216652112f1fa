#pragma once

#include <cstddef>
#include <vector>

namespace tova::initvox {

// Fundamental-frequency estimation of one stretch of a voice by the YIN method: the difference
// function of the window against itself shifted by each lag, normalised by its cumulative mean; the
// first lag whose value dips below the threshold (followed down to its local minimum) is the period,
// refined to a fraction of a sample by a parabola through its neighbours. A window whose best dip
// stays above the threshold is not periodic enough and has no fundamental.
//
// The generator uses it to find each sample's vowel; the tests use it to measure rendered notes.
class PitchEstimator {
public:
    struct Estimate {
        double frequency = 0.0;     // Hz; 0 when the window has no fundamental
        double aperiodicity = 1.0;  // normalised difference at the period: 0 for a perfectly periodic window
    };

    // `window` is the length of the compared stretch in seconds; frequencies outside
    // minFrequency..maxFrequency are not reported.
    PitchEstimator(double sampleRate, double minFrequency = 70.0, double maxFrequency = 1000.0,
                   double window = 0.025, double threshold = 0.15);

    // Samples read from the start position: the window plus the longest lag.
    std::size_t span() const { return window_ + maxLag_ + 1; }
    double sampleRate() const { return rate_; }

    // The estimate of the stretch starting at `start`; a stretch that runs past the end of the signal
    // has no fundamental.
    Estimate estimate(const std::vector<float>& signal, std::size_t start) const;

    // The median fundamental of the windows that start every `hop` samples from `from` and end by `to`
    // (sample positions); 0 when fewer than half of them have one.
    double medianFrequency(const std::vector<float>& signal, std::size_t from, std::size_t to,
                           std::size_t hop) const;

private:
    double rate_;
    std::size_t window_;
    std::size_t minLag_;
    std::size_t maxLag_;
    double threshold_;
};

}  // namespace tova::initvox
