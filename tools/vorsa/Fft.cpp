#include "tools/vorsa/Fft.h"

#include <cmath>
#include <stdexcept>

namespace tova::vorsa {

Fft::Fft(int size) : n_(size) {
    if (size < 2 || (size & (size - 1)) != 0) throw std::invalid_argument("FFT size must be a power of two");
    int bits = 0;
    while ((1 << bits) < size) ++bits;
    bitReverse_.resize(size);
    for (int i = 0; i < size; ++i) {
        int r = 0;
        for (int b = 0; b < bits; ++b)
            if (i & (1 << b)) r |= 1 << (bits - 1 - b);
        bitReverse_[i] = r;
    }
    twiddles_.resize(size / 2);
    const double pi = std::acos(-1.0);
    for (int k = 0; k < size / 2; ++k)
        twiddles_[k] = std::polar(1.0, -2.0 * pi * k / size);
}

void Fft::forward(std::vector<std::complex<double>>& data) const { run(data, false); }

void Fft::inverse(std::vector<std::complex<double>>& data) const {
    run(data, true);
    const double scale = 1.0 / n_;
    for (auto& v : data) v *= scale;
}

void Fft::run(std::vector<std::complex<double>>& data, bool inverse) const {
    if (static_cast<int>(data.size()) != n_) throw std::invalid_argument("FFT data of the wrong size");
    for (int i = 0; i < n_; ++i)
        if (i < bitReverse_[i]) std::swap(data[i], data[bitReverse_[i]]);
    for (int len = 2; len <= n_; len <<= 1) {
        const int half = len / 2;
        const int stride = n_ / len;
        for (int start = 0; start < n_; start += len) {
            for (int k = 0; k < half; ++k) {
                std::complex<double> w = twiddles_[k * stride];
                if (inverse) w = std::conj(w);
                const std::complex<double> a = data[start + k];
                const std::complex<double> b = data[start + k + half] * w;
                data[start + k] = a + b;
                data[start + k + half] = a - b;
            }
        }
    }
}

}  // namespace tova::vorsa
