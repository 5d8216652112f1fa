#pragma once

#include "tools/vorsa/PitchMarks.h"
#include "tools/vorsa/TimeMap.h"

#include <functional>
#include <vector>

namespace tova::vorsa {

// Pitch-synchronous overlap-add. Output grains are laid one target period apart; each takes the
// analysis grain whose mark lies nearest to the output grain's place in the sample (TimeMap), cut by a
// raised-cosine window that reaches from the previous to the next analysis mark. Because the grains
// keep their own length, the spectral envelope (the formants) stays where the voice has it while the
// period changes. A formant factor other than 1 squeezes (above 1) or stretches (below 1) every grain in
// time, which moves the formants by that factor; with formant preservation off the grains are squeezed
// by the pitch ratio as well, so the formants follow the pitch. Grain gains keep the power of the voice
// independent of the grain rate. Unvoiced grains keep their spacing (no pitch to move).
class PsolaSynthesizer {
public:
    struct Settings {
        double formantFactor = 1.0;
        bool preserveFormants = true;
        double minFrequency = 20.0;
        double maxFrequency = 4000.0;
    };
    // One output grain, for the effects that work period by period afterwards.
    struct Grain {
        double position = 0.0;  // output sample of its centre
        double period = 0.0;    // distance to the next output grain
        bool voiced = false;
    };
    // Target frequency (Hz) at an output position, given the input position that it maps to.
    using TargetFrequency = std::function<double(double output, double input)>;

    static std::vector<float> render(const std::vector<float>& input, const PitchMarks& marks, const TimeMap& map,
                                     const TargetFrequency& target, const Settings& settings, long long length,
                                     std::vector<Grain>* grains = nullptr);
};

}  // namespace tova::vorsa
