#pragma once

#include "tools/vorsa/PsolaSynthesizer.h"

#include <vector>

namespace tova::vorsa {

// Effects applied to a rendered note after the overlap-add.
class VoiceEffects {
public:
    // Breathiness 0..100, 50 leaves the voice as it is. Above 50 adds aspiration: high-passed noise
    // that follows the loudness of the voice, up to an equal share at 100. Below 50 removes some of the
    // aperiodic part: in voiced grains every sample is averaged with the samples one period before and
    // after (a comb on the harmonics), up to half of it at 0.
    static void applyBreathiness(std::vector<float>& out, const std::vector<PsolaSynthesizer::Grain>& grains,
                                 double breathiness);
    // Volume of the consonant part in percent (100 leaves it): the first `consonantLength` samples are
    // scaled by volume / 100, with a 10 ms ramp back to full volume after them so no step is heard.
    static void applyConsonantVolume(std::vector<float>& out, double consonantLength, double volume);
    // Gain in percent.
    static void applyGain(std::vector<float>& out, double percent);
};

}  // namespace tova::vorsa
