#include "tools/vorsa/VoiceEffects.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tova::vorsa {

void VoiceEffects::applyBreathiness(std::vector<float>& out, const std::vector<PsolaSynthesizer::Grain>& grains,
                                    double breathiness) {
    const double b = std::clamp(breathiness, 0.0, 100.0);
    const long long length = static_cast<long long>(out.size());
    if (b == 50.0 || length == 0) return;
    if (b > 50.0) {
        const float amount = static_cast<float>((b - 50.0) / 50.0);
        const float keep = 1.0f - 0.3f * amount;
        uint32_t state = 0x2545F491u;  // fixed seed: the same call gives the same bytes
        float previousNoise = 0.0f;
        float envelope = 0.0f;
        const float attack = 1.0f / 220.0f;  // about 5 ms
        for (long long n = 0; n < length; ++n) {
            state = state * 1664525u + 1013904223u;
            const float noise = static_cast<float>(static_cast<int32_t>(state)) / 2147483648.0f;
            const float highPassed = 0.5f * (noise - previousNoise);
            previousNoise = noise;
            envelope += attack * (std::abs(out[n]) - envelope);
            out[n] = out[n] * keep + amount * 1.5f * envelope * highPassed;
        }
        return;
    }
    // Per-sample period and voicing from the grain list.
    const float share = static_cast<float>((50.0 - b) / 50.0 * 0.5);
    std::vector<float> source(out);
    auto at = [&](double p) -> float {
        const long long i = static_cast<long long>(std::floor(p));
        const float f = static_cast<float>(p - i);
        const float a = (i >= 0 && i < length) ? source[i] : 0.0f;
        const float c = (i + 1 >= 0 && i + 1 < length) ? source[i + 1] : 0.0f;
        return a + (c - a) * f;
    };
    for (size_t g = 0; g < grains.size(); ++g) {
        if (!grains[g].voiced) continue;
        const long long from = std::max(0LL, static_cast<long long>(std::ceil(grains[g].position)));
        const double end = g + 1 < grains.size() ? grains[g + 1].position : grains[g].position + grains[g].period;
        const long long to = std::min(length, static_cast<long long>(std::ceil(end)));
        const double period = grains[g].period;
        for (long long n = from; n < to; ++n)
            out[n] = (1.0f - share) * source[n] + share * 0.5f * (at(n - period) + at(n + period));
    }
}

void VoiceEffects::applyConsonantVolume(std::vector<float>& out, double consonantLength, double volume) {
    const float v = static_cast<float>(std::clamp(volume, 0.0, 100.0) / 100.0);
    if (v == 1.0f) return;
    const double ramp = 441.0;
    const long long length = static_cast<long long>(out.size());
    const long long end = std::min(length, static_cast<long long>(std::ceil(consonantLength + ramp)));
    for (long long n = 0; n < end; ++n) {
        const double t = (n - consonantLength) / ramp;
        const float g = t <= 0.0 ? v : v + (1.0f - v) * static_cast<float>(std::min(1.0, t));
        out[n] *= g;
    }
}

void VoiceEffects::applyGain(std::vector<float>& out, double percent) {
    const float g = static_cast<float>(percent / 100.0);
    if (g == 1.0f) return;
    for (float& s : out) s *= g;
}

}  // namespace tova::vorsa
