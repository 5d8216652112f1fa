#include "tools/vorsa/SamplePitch.h"

#include "tools/vorsa/RenderConstants.h"

#include <algorithm>
#include <cmath>

namespace tova::vorsa {

SamplePitch::SamplePitch(std::vector<double> frames, double average) : frames_(std::move(frames)) {
    for (double& f : frames_)
        if (isNoPitch(f) || !std::isfinite(f)) f = 0.0;
    average_ = (average > 0.0 && std::isfinite(average)) ? average : medianOfVoiced(frames_);
}

double SamplePitch::frequencyAt(double sample) const {
    if (frames_.empty()) return 0.0;
    const double position = (sample - kFrameStep / 2.0) / kFrameStep;
    const long long last = static_cast<long long>(frames_.size()) - 1;
    if (position <= 0.0) return frames_.front();
    if (position >= static_cast<double>(last)) return frames_.back();
    const long long k = static_cast<long long>(std::floor(position));
    const double fraction = position - k;
    const double a = frames_[k], b = frames_[k + 1];
    if (a > 0.0 && b > 0.0) return a + (b - a) * fraction;
    return fraction < 0.5 ? a : b;
}

double SamplePitch::medianOfVoiced(const std::vector<double>& frames) {
    std::vector<double> voiced;
    for (double f : frames)
        if (!isNoPitch(f) && std::isfinite(f)) voiced.push_back(f);
    if (voiced.empty()) return 0.0;
    const size_t middle = voiced.size() / 2;
    std::nth_element(voiced.begin(), voiced.begin() + middle, voiced.end());
    double m = voiced[middle];
    if (voiced.size() % 2 == 0) {
        const double below = *std::max_element(voiced.begin(), voiced.begin() + middle);
        m = (m + below) / 2.0;
    }
    return m;
}

}  // namespace tova::vorsa
