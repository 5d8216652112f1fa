#include "tools/vorsa/PsolaSynthesizer.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tova::vorsa {
namespace {

constexpr int kWindowTable = 4096;

// Rising raised-cosine half window 0.5 - 0.5 cos(pi t) for t in [0, 1], tabulated.
const std::array<float, kWindowTable + 2>& riseTable() {
    static const std::array<float, kWindowTable + 2> table = [] {
        std::array<float, kWindowTable + 2> t{};
        const double pi = std::acos(-1.0);
        for (int i = 0; i <= kWindowTable; ++i) t[i] = static_cast<float>(0.5 - 0.5 * std::cos(pi * i / kWindowTable));
        t[kWindowTable + 1] = 1.0f;
        return t;
    }();
    return table;
}

inline float rise(double t) {
    const auto& table = riseTable();
    if (t <= 0.0) return 0.0f;
    if (t >= 1.0) return 1.0f;
    const double at = t * kWindowTable;
    const int i = static_cast<int>(at);
    const float fraction = static_cast<float>(at - i);
    return table[i] + (table[i + 1] - table[i]) * fraction;
}

}  // namespace

std::vector<float> PsolaSynthesizer::render(const std::vector<float>& input, const PitchMarks& marks,
                                            const TimeMap& map, const TargetFrequency& target,
                                            const Settings& settings, long long length,
                                            std::vector<Grain>* grains) {
    std::vector<float> out(std::max(0LL, length), 0.0f);
    if (grains) grains->clear();
    if (length <= 0 || marks.marks().empty() || input.empty()) return out;
    const auto& all = marks.marks();
    const long long inputLength = static_cast<long long>(input.size());
    const double formant = settings.formantFactor > 0.0 ? settings.formantFactor : 1.0;

    // Spacing and squeeze of the output grain at an output position that uses a given mark.
    struct Plan {
        double period;
        double squeeze;
        double gain;
    };
    auto planFor = [&](const PitchMarks::Mark& mark, double output, double inputPosition) {
        const double analysisPeriod = 0.5 * (mark.left + mark.right);
        if (!mark.voiced) return Plan{analysisPeriod / formant, formant, 1.0};
        double f = target(output, inputPosition);
        if (!(f > 0.0) || !std::isfinite(f)) f = settings.minFrequency;
        f = std::clamp(f, settings.minFrequency, settings.maxFrequency);
        const double period = 44100.0 / f;
        const double squeeze = settings.preserveFormants ? formant : formant * analysisPeriod / period;
        return Plan{period, squeeze, std::sqrt(squeeze * period / analysisPeriod)};
    };
    auto periodAt = [&](double output) {
        const double in = map.inputAt(output);
        const auto& mark = all[marks.nearest(in)];
        // The period is taken half-way to the next grain so that pitch movements are not delayed.
        const double first = planFor(mark, output, in).period;
        const double half = output + first / 2.0;
        const double inHalf = map.inputAt(half);
        return planFor(all[marks.nearest(inHalf)], half, inHalf).period;
    };

    // Align the grain grid with the analysis marks: the first mark at or after the sample's time 0
    // lands on its own output time; grains go back from there to cover output time 0.
    const size_t firstMark = std::min(marks.firstAtOrAfter(map.inputAt(0.0)), all.size() - 1);
    double position = std::max(0.0, map.outputAt(all[firstMark].position));
    const double firstPeriod = std::max(1.0, periodAt(position));
    position -= std::ceil(position / firstPeriod) * firstPeriod;

    while (position < static_cast<double>(length)) {
        const double inputPosition = map.inputAt(position);
        const PitchMarks::Mark& mark = all[marks.nearest(inputPosition)];
        const Plan plan = planFor(mark, position, inputPosition);
        const double period = std::max(1.0, mark.voiced ? periodAt(position) : plan.period);
        const double left = mark.left / plan.squeeze;
        const double right = mark.right / plan.squeeze;
        const long long from = std::max(0LL, static_cast<long long>(std::ceil(position - left)));
        const long long to = std::min(length - 1, static_cast<long long>(std::floor(position + right)));
        const float gain = static_cast<float>(plan.gain);
        for (long long n = from; n <= to; ++n) {
            const double offset = n - position;  // output samples from the grain centre
            const float w = offset < 0.0 ? rise((offset + left) / left) : rise((right - offset) / right);
            if (w <= 0.0f) continue;
            const double source = mark.position + offset * plan.squeeze;
            const long long i = static_cast<long long>(std::floor(source));
            const float fraction = static_cast<float>(source - i);
            const float a = (i >= 0 && i < inputLength) ? input[i] : 0.0f;
            const float b = (i + 1 >= 0 && i + 1 < inputLength) ? input[i + 1] : 0.0f;
            out[n] += gain * w * (a + (b - a) * fraction);
        }
        if (grains) grains->push_back({position, period, mark.voiced});
        position += period;
    }
    return out;
}

}  // namespace tova::vorsa
