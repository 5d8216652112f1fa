#pragma once

// Fixtures and measuring tools for the note renderer's tests: synthetic voice samples, a wave writer
// and reader of their own, and pitch and formant estimators that share nothing with the renderer.

#include <QString>

#include <vector>

namespace tova::test::vorsa {

constexpr int kRate = 44100;

struct Formant {
    double frequency;
    double bandwidth;
};
// The three resonators of the synthetic vowel.
const std::vector<Formant>& vowelFormants();

// A pulse train of `f0` Hz (pulses placed at fractional positions) through the vowel's three
// resonators, `seconds` long at `rate`, peak 0.5.
std::vector<float> voicedSample(double f0, double seconds, int rate = kRate);
// White noise of a fixed seed.
std::vector<float> noise(double seconds, float amplitude, unsigned seed = 1, int rate = kRate);

// 16-bit PCM mono wave file (the test's own writer).
void writeWave16(const QString& path, const std::vector<float>& samples, int rate = kRate);
// The samples of a 16-bit PCM mono wave file as floats (full scale 1.0), with its rate; empty when the
// file is not such a file.
std::vector<float> readWave16(const QString& path, int* rate = nullptr, QByteArray* bytes = nullptr);

// Fundamental at a position by normalised autocorrelation over `window` samples (brute force, the
// shortest lag whose peak reaches 90% of the best, refined by a parabola). 0 when not periodic.
double acfPitch(const std::vector<float>& x, long long centre, int window = 2048, double minF = 70.0,
                double maxF = 1500.0, double* strength = nullptr);
// Median of acfPitch over the positions from `from` to `to` every `hop` samples (voiced ones only).
double medianPitch(const std::vector<float>& x, long long from, long long to, long long hop = 441);
// Cents of f against reference r.
double cents(double f, double r);

// The first formant: the lowest peak above 250 Hz of the envelope of an order-10 linear prediction of
// the signal around `centre` (decimated to 11025 Hz first).
double firstFormant(const std::vector<float>& x, long long centre);

}  // namespace tova::test::vorsa
