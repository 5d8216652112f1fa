#include "tools/vorsa/F0Estimator.h"

#include "tools/vorsa/RenderConstants.h"

#include <cmath>

namespace tova::vorsa {
namespace {
constexpr int kWindow = 1024;
constexpr int kFftSize = 2048;
constexpr double kDipThreshold = 0.12;    // first dip below this is the period
constexpr double kVoicedLimit = 0.35;     // no dip below this: not periodic
constexpr double kSilenceRms = 0.00316;   // -50 dB full scale
}  // namespace

F0Estimator::F0Estimator()
    : fft_(kFftSize),
      window_(kWindow),
      minLag_(static_cast<int>(std::floor(kSampleRate / kMaxFrequency))),
      maxLag_(static_cast<int>(std::ceil(kSampleRate / kMinFrequency))),
      work_(kFftSize),
      segment_(kWindow + static_cast<int>(std::ceil(kSampleRate / kMinFrequency)) + 2),
      prefix_(segment_.size() + 1),
      cmnd_(maxLag_ + 2) {}

F0Estimator::Frame F0Estimator::estimate(const std::vector<float>& signal, int frame) {
    Frame result;
    const int span = window_ + maxLag_ + 1;  // samples the difference function reaches
    const long long centre = static_cast<long long>(frame) * kFrameStep + kFrameStep / 2;
    const long long start = centre - span / 2;
    const long long size = static_cast<long long>(signal.size());
    for (int j = 0; j < span; ++j) {
        const long long at = start + j;
        segment_[j] = (at >= 0 && at < size) ? signal[at] : 0.0;
    }
    prefix_[0] = 0.0;
    for (int j = 0; j < span; ++j) prefix_[j + 1] = prefix_[j] + segment_[j] * segment_[j];

    // Window energy around the frame centre decides silence.
    const double e0 = prefix_[window_];
    const int mid = (span - window_) / 2;
    result.rms = std::sqrt((prefix_[mid + window_] - prefix_[mid]) / window_);
    if (result.rms < kSilenceRms) return result;

    // r(tau) = sum_j a[j] b[j + tau], a = the first window, b = the whole span; both real signals go
    // through one complex transform.
    for (int j = 0; j < kFftSize; ++j) {
        const double a = j < window_ ? segment_[j] : 0.0;
        const double b = j < span ? segment_[j] : 0.0;
        work_[j] = {a, b};
    }
    fft_.forward(work_);
    std::vector<std::complex<double>>& z = work_;
    // Separate the two spectra and form conj(A) * B in place (pairs k, N-k together).
    for (int k = 0; k <= kFftSize / 2; ++k) {
        const int nk = (kFftSize - k) % kFftSize;
        const std::complex<double> zk = z[k], znk = std::conj(z[nk]);
        const std::complex<double> ak = (zk + znk) * 0.5;
        const std::complex<double> bk = (zk - znk) * std::complex<double>(0.0, -0.5);
        const std::complex<double> pk = std::conj(ak) * bk;
        if (nk != k) {
            // A and B of a real signal are Hermitian: A[N-k] = conj(A[k]), the same for B.
            const std::complex<double> pnk = ak * std::conj(bk);
            z[nk] = pnk;
        }
        z[k] = pk;
    }
    fft_.inverse(z);

    double running = 0.0;
    cmnd_[0] = 1.0;
    for (int tau = 1; tau <= maxLag_; ++tau) {
        const double etau = prefix_[tau + window_] - prefix_[tau];
        const double d = std::max(0.0, e0 + etau - 2.0 * z[tau].real());
        running += d;
        cmnd_[tau] = running > 0.0 ? d * tau / running : 1.0;
    }

    int best = -1;
    for (int tau = minLag_; tau < maxLag_; ++tau) {
        if (cmnd_[tau] < kDipThreshold) {
            while (tau + 1 < maxLag_ && cmnd_[tau + 1] < cmnd_[tau]) ++tau;
            best = tau;
            break;
        }
    }
    if (best < 0) {
        for (int tau = minLag_; tau < maxLag_; ++tau)
            if (best < 0 || cmnd_[tau] < cmnd_[best]) best = tau;
        if (best < 0 || cmnd_[best] > kVoicedLimit) return result;
    }
    double period = best;
    if (best > 1 && best < maxLag_) {
        const double l = cmnd_[best - 1], c = cmnd_[best], r = cmnd_[best + 1];
        const double denominator = l - 2.0 * c + r;
        if (denominator > 0.0) {
            const double shift = 0.5 * (l - r) / denominator;
            if (std::abs(shift) < 1.0) period += shift;
        }
    }
    result.frequency = kSampleRate / period;
    return result;
}

}  // namespace tova::vorsa
