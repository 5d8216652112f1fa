#include "voicebank/SpectrumAnalysis.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tova {

QVector<double> MakeSinTable(int n) {
    QVector<double> t(n * 5 / 4);
    const double twoPi = 8.0 * std::atan(1.0);
    for (int i = 0; i < n; ++i) t[i] = std::sin(i * twoPi / n);
    for (int i = 0; i < n / 4; ++i) t[n + i] = t[i];
    return t;
}

void FFT(int n, const QVector<double>& table, double* re, double* im, bool inverse) {
    const int q = n / 4;
    // Bit-reversal permutation.
    int j = 0;
    for (int i = 1; i <= n - 2; ++i) {
        int k = n;
        do {
            k /= 2;
            j ^= k;
        } while (j < k);
        if (i < j) {
            std::swap(re[i], re[j]);
            std::swap(im[i], im[j]);
        }
    }
    // Butterflies; the twiddle of each block advances through the table in bit-reversed order.
    for (int h = 1, m = 2; m <= n; h = m, m *= 2) {
        int t = 0;
        for (int b = 0; b < n; b += m) {
            const double c = table[t + q];
            const double s = inverse ? -table[t] : table[t];
            int k = n / 2;
            do {
                k /= 2;
                t ^= k;
            } while (t < k && k > 0);
            for (int a = b; a < b + h; ++a) {
                const double dx = re[a] - re[a + h];
                const double dy = im[a] - im[a + h];
                re[a] += re[a + h];
                im[a] += im[a + h];
                re[a + h] = dx * c - s * dy;
                im[a + h] = dx * s + dy * c;
            }
        }
    }
    if (inverse)
        for (int i = 0; i < n; ++i) {
            re[i] /= n;
            im[i] /= n;
        }
}

void AnalyseSpectrumFrame(const QVector<std::int16_t>& samples, int channels, std::int64_t pos,
                          const QVector<double>& table, double* re, double* im) {
    const std::int64_t ch = std::max(channels, 1);
    const std::int64_t last = samples.size() - 1;
    for (int j = 0; j < kSpectrumWindow; ++j) {
        const std::int64_t q = (pos - kSpectrumWindow / 2 + j) * ch;
        re[j] = (q >= 0 && q <= last) ? (0.5 - 0.5 * table[j + kSpectrumWindow / 4]) * samples[q] : 0.0;
        im[j] = 0.0;
    }
    FFT(kSpectrumWindow, table, re, im, false);
}

std::array<std::int16_t, kSpectrumBins> ComputeSpectrumFrame(const QVector<std::int16_t>& samples, int channels,
                                                             std::int64_t pos, const QVector<double>& table) {
    double re[kSpectrumWindow], im[kSpectrumWindow];
    AnalyseSpectrumFrame(samples, channels, pos, table, re, im);
    std::array<std::int16_t, kSpectrumBins> out{};
    for (int k = 0; k < kSpectrumBins; ++k) {
        const double v = std::nearbyint(std::sqrt(re[k] * re[k] + im[k] * im[k]) / 256.0);
        out[k] = std::int16_t(std::clamp(v, -32768.0, 32767.0));
    }
    return out;
}

std::uint8_t SpectrumCacheByte(double magnitude) {
    const double v = std::floor(std::log(magnitude + 1.0) * 16.0);
    return std::uint8_t(std::clamp(v, 0.0, 255.0));
}

double SpectrumCacheMagnitude(std::uint8_t b) { return std::exp(b / 16.0) - 1.0; }

std::array<std::uint8_t, kSpectrumBins> ComputeSpectrumCacheRow(const QVector<std::int16_t>& samples, int channels,
                                                                std::int64_t pos, const QVector<double>& table) {
    double re[kSpectrumWindow], im[kSpectrumWindow];
    AnalyseSpectrumFrame(samples, channels, pos, table, re, im);
    std::array<std::uint8_t, kSpectrumBins> out{};
    for (int k = 0; k < kSpectrumBins; ++k) out[k] = SpectrumCacheByte(std::sqrt(re[k] * re[k] + im[k] * im[k]));
    return out;
}

std::int64_t SpectrumRowCount(std::int64_t sampleCount, int channels) {
    if (sampleCount <= 0) return 0;
    return (sampleCount - 1) / (std::int64_t(kSpectrumStep) * std::max(channels, 1)) + 1;
}

}  // namespace tova
