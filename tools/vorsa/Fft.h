#pragma once

#include <complex>
#include <vector>

namespace tova::vorsa {

// In-place complex FFT of one fixed power-of-two size (iterative radix 2 with precomputed twiddles).
// Used by the fundamental estimator for its correlation sums.
class Fft {
public:
    explicit Fft(int size);
    int size() const { return n_; }
    // Forward transform (e^-i) in place.
    void forward(std::vector<std::complex<double>>& data) const;
    // Inverse transform (e^+i) in place, scaled by 1/size.
    void inverse(std::vector<std::complex<double>>& data) const;

private:
    void run(std::vector<std::complex<double>>& data, bool inverse) const;
    int n_;
    std::vector<int> bitReverse_;
    std::vector<std::complex<double>> twiddles_;  // e^(-2 pi i k / n), k < n/2
};

}  // namespace tova::vorsa
