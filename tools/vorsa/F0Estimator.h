#pragma once

#include "tools/vorsa/Fft.h"

#include <complex>
#include <vector>

namespace tova::vorsa {

// Estimates the fundamental frequency of a voice one frame at a time (frame i is centred on sample
// i * kFrameStep + kFrameStep / 2 of a 44100 Hz signal). The method is the cumulative mean normalised
// difference function over a 1024-sample window, computed through FFT correlation, with the first
// dip below a threshold taken as the period and refined by a parabola. Frames that are too quiet or
// not periodic enough get frequency 0.
class F0Estimator {
public:
    static constexpr double kMinFrequency = 60.0;
    static constexpr double kMaxFrequency = 1200.0;

    F0Estimator();

    struct Frame {
        double frequency = 0.0;  // Hz, 0 when the frame has no fundamental
        double rms = 0.0;        // RMS level of the analysis window, full scale 1.0
    };
    Frame estimate(const std::vector<float>& signal, int frame);

private:
    Fft fft_;
    int window_;
    int minLag_;
    int maxLag_;
    std::vector<std::complex<double>> work_;
    std::vector<double> segment_;
    std::vector<double> prefix_;
    std::vector<double> cmnd_;
};

}  // namespace tova::vorsa
