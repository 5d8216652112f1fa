#pragma once

#include "tools/vorsa/SamplePitch.h"

#include <cstddef>
#include <vector>

namespace tova::vorsa {

// Analysis marks of a sample for pitch-synchronous overlap-add. In voiced stretches (where the
// frequency table has a fundamental) there is one mark per period, at the same phase of every period:
// the first at the strongest peak of the first period, each further one a period on, moved to where
// the waveform best matches the period before. Unvoiced stretches get marks at a fixed spacing.
// Every mark knows its distance to its neighbours, which bounds its grain.
class PitchMarks {
public:
    static constexpr int kUnvoicedStep = 128;

    struct Mark {
        double position = 0.0;  // sample index in the 44100 Hz signal
        double left = 0.0;      // distance to the previous mark (samples)
        double right = 0.0;     // distance to the next mark (samples)
        bool voiced = false;
    };

    PitchMarks() = default;
    // Marks over the whole signal, or over [from, to) only (the part a note uses of a long sample).
    PitchMarks(const std::vector<float>& signal, const SamplePitch& pitch, double from = 0.0, double to = -1.0);

    const std::vector<Mark>& marks() const { return marks_; }
    // Index of the mark nearest to a position (the marks must not be empty).
    size_t nearest(double position) const;
    // Index of the first mark at or after a position (marks().size() when none).
    size_t firstAtOrAfter(double position) const;

private:
    std::vector<Mark> marks_;
};

}  // namespace tova::vorsa
