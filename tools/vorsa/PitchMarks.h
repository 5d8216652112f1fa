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

    // The marks' walk through a sample from a start on, up to a stop (the sample's end when `to` is
    // negative or past it), kept so that the marks for any smaller stop are taken from it without
    // walking again: they are exactly those the walk would have made with that stop.
    class Trace {
    public:
        Trace() = default;
        Trace(const std::vector<float>& signal, const SamplePitch& pitch, double from, double to = -1.0);

        struct Step {
            double position = 0.0;
            bool voiced = false;
            double gate = 0.0;  // the largest position the walk compared with its stop before this mark
        };
        const std::vector<Step>& steps() const { return steps_; }
        double stop() const { return stop_; }
        long long length() const { return length_; }
        // The stop a `to` stands for in a sample `length` long.
        static double stopFor(double to, long long length);

    private:
        std::vector<Step> steps_;
        double stop_ = 0.0;
        long long length_ = 0;
    };

    PitchMarks() = default;
    // Marks over the whole signal, or over [from, to) only (the part a note uses of a long sample).
    PitchMarks(const std::vector<float>& signal, const SamplePitch& pitch, double from = 0.0, double to = -1.0);
    // The same marks from a walk that started at the same `from` and went at least as far.
    PitchMarks(const Trace& trace, const SamplePitch& pitch, double to);

    const std::vector<Mark>& marks() const { return marks_; }
    // Index of the mark nearest to a position (the marks must not be empty).
    size_t nearest(double position) const;
    // Index of the first mark at or after a position (marks().size() when none).
    size_t firstAtOrAfter(double position) const;

private:
    std::vector<Mark> marks_;
};

}  // namespace tova::vorsa
