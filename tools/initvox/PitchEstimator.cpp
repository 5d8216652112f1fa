#include "tools/initvox/PitchEstimator.h"

#include <algorithm>
#include <cmath>

namespace tova::initvox {

PitchEstimator::PitchEstimator(double sampleRate, double minFrequency, double maxFrequency, double window,
                               double threshold)
    : rate_(sampleRate),
      window_(static_cast<std::size_t>(std::lround(window * sampleRate))),
      minLag_(std::max<std::size_t>(2, static_cast<std::size_t>(std::floor(sampleRate / maxFrequency)))),
      maxLag_(static_cast<std::size_t>(std::ceil(sampleRate / minFrequency))),
      threshold_(threshold) {}

PitchEstimator::Estimate PitchEstimator::estimate(const std::vector<float>& signal, std::size_t start) const {
    Estimate result;
    if (start + span() > signal.size()) return result;
    const float* x = signal.data() + start;

    // Difference function d(lag) and its cumulative-mean normalisation d'(lag) = d * lag / sum(d(1..lag)).
    std::vector<double> normalised(maxLag_ + 2, 1.0);
    double running = 0.0;
    for (std::size_t lag = 1; lag <= maxLag_ + 1; ++lag) {
        double d = 0.0;
        const float* y = x + lag;
        for (std::size_t j = 0; j < window_; ++j) {
            const double e = double(x[j]) - double(y[j]);
            d += e * e;
        }
        running += d;
        normalised[lag] = running > 0.0 ? d * double(lag) / running : 1.0;
    }
    if (running <= 0.0) return result;  // silence

    std::size_t period = 0;
    for (std::size_t lag = minLag_; lag <= maxLag_; ++lag) {
        if (normalised[lag] < threshold_) {
            while (lag + 1 <= maxLag_ && normalised[lag + 1] < normalised[lag]) ++lag;
            period = lag;
            break;
        }
    }
    if (period == 0) return result;

    // Parabolic refinement of the dip through its two neighbours.
    const double a = normalised[period - 1];
    const double b = normalised[period];
    const double c = normalised[period + 1];
    const double curvature = a - 2.0 * b + c;
    double shift = curvature > 0.0 ? 0.5 * (a - c) / curvature : 0.0;
    shift = std::clamp(shift, -0.5, 0.5);
    result.frequency = rate_ / (double(period) + shift);
    result.aperiodicity = b;
    return result;
}

double PitchEstimator::medianFrequency(const std::vector<float>& signal, std::size_t from, std::size_t to,
                                       std::size_t hop) const {
    std::vector<double> found;
    std::size_t tried = 0;
    for (std::size_t s = from; s + window_ <= to; s += std::max<std::size_t>(hop, 1)) {
        ++tried;
        const Estimate e = estimate(signal, s);
        if (e.frequency > 0.0) found.push_back(e.frequency);
    }
    if (found.empty() || found.size() * 2 < tried) return 0.0;
    std::sort(found.begin(), found.end());
    const std::size_t n = found.size();
    return n % 2 ? found[n / 2] : 0.5 * (found[n / 2 - 1] + found[n / 2]);
}

}  // namespace tova::initvox
