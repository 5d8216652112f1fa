#include "tools/initvox/SampleShape.h"

#include "tools/initvox/PitchEstimator.h"

#include <algorithm>
#include <cmath>

namespace tova::initvox {
namespace {

constexpr double kLevelWindowMs = 10.0;
constexpr double kSilenceBelowPeak = 45.0;
constexpr double kVowelBelowPeak = 25.0;
constexpr double kReferenceBelowPeak = 15.0;
constexpr double kRunCents = 100.0;
constexpr double kSteadyCents = 30.0;
constexpr int kRunGapFrames = 2;

double levelDb(const std::vector<float>& x, std::size_t from, std::size_t to) {
    to = std::min(to, x.size());
    if (from >= to) return -200.0;
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) sum += double(x[i]) * double(x[i]);
    const double rms = std::sqrt(sum / double(to - from));
    return rms > 1e-10 ? 20.0 * std::log10(rms) : -200.0;
}

// Level of the first difference: the voice's upper partials. A nasal murmur or a voiced consonant is
// nearly as loud as its vowel but much duller.
double brightnessDb(const std::vector<float>& x, std::size_t from, std::size_t to) {
    to = std::min(to, x.size());
    from = std::max<std::size_t>(from, 1);
    if (from >= to) return -200.0;
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) {
        const double d = double(x[i]) - 0.97 * double(x[i - 1]);
        sum += d * d;
    }
    const double rms = std::sqrt(sum / double(to - from));
    return rms > 1e-10 ? 20.0 * std::log10(rms) : -200.0;
}

// The signal at half rate (pairs averaged) when the rate is high: the fundamental needs no more, and
// the pitch search costs a quarter.
std::vector<float> forPitch(const std::vector<float>& x, double rate, double& pitchRate) {
    if (rate < 30000.0) {
        pitchRate = rate;
        return x;
    }
    pitchRate = rate / 2.0;
    std::vector<float> half(x.size() / 2);
    for (std::size_t i = 0; i < half.size(); ++i) half[i] = 0.5f * (x[2 * i] + x[2 * i + 1]);
    return half;
}

double cents(double f, double reference) { return 1200.0 * std::log2(f / reference); }

double median(std::vector<double> v) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

}  // namespace

SampleShape SampleShape::of(const std::vector<float>& signal, double sampleRate) {
    SampleShape shape;
    shape.length = double(signal.size()) * 1000.0 / sampleRate;
    const std::size_t hop = static_cast<std::size_t>(std::lround(kFrameMs * sampleRate / 1000.0));
    const std::size_t levelWindow = static_cast<std::size_t>(std::lround(kLevelWindowMs * sampleRate / 1000.0));
    if (signal.size() < levelWindow) return shape;
    const std::size_t frames = (signal.size() - levelWindow) / hop + 1;

    double pitchRate = sampleRate;
    const std::vector<float> pitchSignal = forPitch(signal, sampleRate, pitchRate);
    const PitchEstimator pitch(pitchRate);
    const double pitchScale = pitchRate / sampleRate;
    std::vector<double> level(frames), bright(frames), frequency(frames, 0.0);
    for (std::size_t k = 0; k < frames; ++k) {
        level[k] = levelDb(signal, k * hop, k * hop + levelWindow);
        bright[k] = brightnessDb(signal, k * hop, k * hop + levelWindow);
    }
    shape.peakLevel = *std::max_element(level.begin(), level.end());
    if (shape.peakLevel <= -150.0) return shape;  // digital silence

    const double silence = shape.peakLevel - kSilenceBelowPeak;
    std::size_t first = frames, last = 0;
    for (std::size_t k = 0; k < frames; ++k) {
        if (level[k] > silence) {
            first = std::min(first, k);
            last = k;
        }
    }
    shape.hasSound = true;
    // Times of frames are the centres of their level windows; the sound's edges are refined to the
    // first and last sample above the silence threshold.
    const auto frameMs = [&](std::size_t k) { return (double(k * hop) + double(levelWindow) / 2.0) * 1000.0 / sampleRate; };
    const float silent = float(std::pow(10.0, silence / 20.0));
    std::size_t firstSample = first * hop, lastSample = std::min(signal.size(), last * hop + levelWindow) - 1;
    while (firstSample < lastSample && std::abs(signal[firstSample]) <= silent) ++firstSample;
    while (lastSample > firstSample && std::abs(signal[lastSample]) <= silent) --lastSample;
    shape.soundStart = double(firstSample) * 1000.0 / sampleRate;
    shape.soundEnd = double(lastSample + 1) * 1000.0 / sampleRate;

    // Pitch only where there is sound; the window is centred on the level window.
    for (std::size_t k = first; k <= last; ++k) {
        const double centre = (double(k * hop) + double(levelWindow) / 2.0) * pitchScale;
        const std::ptrdiff_t start = std::ptrdiff_t(std::lround(centre)) - std::ptrdiff_t(pitch.span() / 2);
        if (start < 0) continue;
        frequency[k] = pitch.estimate(pitchSignal, std::size_t(start)).frequency;
    }

    std::vector<double> loudVoiced;
    for (std::size_t k = first; k <= last; ++k) {
        if (frequency[k] > 0.0 && level[k] > shape.peakLevel - kReferenceBelowPeak) loudVoiced.push_back(frequency[k]);
    }
    if (loudVoiced.empty()) return shape;
    const double reference = median(loudVoiced);

    const auto inRun = [&](std::size_t k) {
        return frequency[k] > 0.0 && std::abs(cents(frequency[k], reference)) < kRunCents &&
               level[k] > shape.peakLevel - kVowelBelowPeak;
    };
    // Longest run of such frames, bridging gaps of a few frames.
    std::size_t bestStart = 0, bestEnd = 0, bestLength = 0;
    for (std::size_t k = first; k <= last;) {
        if (!inRun(k)) {
            ++k;
            continue;
        }
        std::size_t end = k;  // last frame in the run
        std::size_t j = k + 1;
        while (j <= last) {
            if (inRun(j)) {
                end = j;
                ++j;
            } else if (j - end <= std::size_t(kRunGapFrames)) {
                ++j;
            } else {
                break;
            }
        }
        if (end - k + 1 > bestLength) {
            bestLength = end - k + 1;
            bestStart = k;
            bestEnd = end;
        }
        k = end + 1;
    }
    if (bestLength == 0) return shape;

    std::vector<double> runLevels, runBrightness, runFrequencies;
    for (std::size_t k = bestStart; k <= bestEnd; ++k) {
        if (!inRun(k)) continue;
        runLevels.push_back(level[k]);
        runBrightness.push_back(bright[k]);
        runFrequencies.push_back(frequency[k]);
    }
    shape.vowelLevel = median(runLevels);
    shape.vowelFrequency = median(runFrequencies);
    const double vowelBrightness = median(runBrightness);
    const auto within = [&](std::size_t k, double db) {
        return level[k] >= shape.vowelLevel - db && bright[k] >= vowelBrightness - db;
    };

    // The pitch windows reach past the edges of the vowel, so the voiced run starts a little late and
    // ends a little early: frames next to it that are as loud and as bright belong to the vowel.
    std::size_t vowelStart = bestStart;
    while (vowelStart > first && within(vowelStart - 1, 6.0)) --vowelStart;
    while (vowelStart < bestEnd && !within(vowelStart, 6.0)) ++vowelStart;
    std::size_t steady = vowelStart;
    while (steady < bestEnd && !(within(steady, 3.0) && frequency[steady] > 0.0 &&
                                 std::abs(cents(frequency[steady], shape.vowelFrequency)) < kSteadyCents)) {
        ++steady;
    }
    std::size_t vowelEnd = bestEnd;
    while (vowelEnd < last && within(vowelEnd + 1, 6.0)) ++vowelEnd;
    while (vowelEnd > steady && !within(vowelEnd, 6.0)) --vowelEnd;
    std::size_t audible = first;
    while (audible < vowelStart && level[audible] < shape.vowelLevel - 20.0) ++audible;

    shape.hasVowel = true;
    shape.audibleStart = std::max(shape.soundStart, frameMs(audible));
    shape.vowelStart = std::max(shape.audibleStart, frameMs(vowelStart));
    shape.steadyStart = std::max(shape.vowelStart, frameMs(steady));
    shape.vowelEnd = std::clamp(frameMs(vowelEnd), shape.steadyStart, shape.soundEnd);
    return shape;
}

}  // namespace tova::initvox
