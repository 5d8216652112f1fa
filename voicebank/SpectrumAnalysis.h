#pragma once

#include <QVector>

#include <array>
#include <cstdint>

namespace tova {

// The spectrum analysis of the timing editor's spectrogram and of its cache file: a 1024-point
// Hann-windowed FFT of the first channel every 256 frames, with a table-driven radix-2 FFT.

// Sine table for an FFT of size n (a power of two): n × 5/4 entries, t(i) = sin(2πi/n) for i < n and
// t(n + i) = t(i) for i < n/4, so that t(i + n/4) = cos(2πi/n) for every i < n.
QVector<double> MakeSinTable(int n);

// In-place complex FFT of size n (a power of two, at least 4) driven by the sine table of MakeSinTable.
// Forward: X(k) = Σ x(j) e^(+2πi jk/n), unscaled, in natural order. Inverse: the exponent is negative
// and the result is divided by n.
void FFT(int n, const QVector<double>& table, double* re, double* im, bool inverse);

constexpr int kSpectrumWindow = 1024;  // analysis window (samples)
constexpr int kSpectrumStep = 256;     // frames between analysis frames
constexpr int kSpectrumBins = 256;     // bins kept (a quarter of the sample rate)

// The raw analysis of the frame centred on sample frame `pos`: the window's values come from the
// first channel of the interleaved array (positions outside it count 0), Hann-weighted, then FFT.
// `re` and `im` receive the 1024 results.
void AnalyseSpectrumFrame(const QVector<std::int16_t>& samples, int channels, std::int64_t pos,
                          const QVector<double>& table, double* re, double* im);

// The display values of the frame centred on `pos`: each bin's magnitude ÷ 256, rounded to the nearest
// whole number and held to −32768..32767.
std::array<std::int16_t, kSpectrumBins> ComputeSpectrumFrame(const QVector<std::int16_t>& samples, int channels,
                                                             std::int64_t pos, const QVector<double>& table);

// The cache byte of a magnitude m: Int(ln(m + 1) × 16), at most 255.
std::uint8_t SpectrumCacheByte(double magnitude);
// The magnitude a cache byte stands for: e^(b/16) − 1.
double SpectrumCacheMagnitude(std::uint8_t b);

// The cache row of the frame centred on `pos` (256 bytes, bins 0..255).
std::array<std::uint8_t, kSpectrumBins> ComputeSpectrumCacheRow(const QVector<std::int16_t>& samples, int channels,
                                                                std::int64_t pos, const QVector<double>& table);

// Rows of a sample's spectrum: Int(last index / (256 × channels)) + 1 (0 for an empty array; the
// channel count is taken as at least 1).
std::int64_t SpectrumRowCount(std::int64_t sampleCount, int channels);

}  // namespace tova
