#pragma once

#include <string>

#include <vector>

namespace tova::vorsa {

// The pitch curve of a note: values in cents relative to the target note, entry 0 at output time 0,
// one entry per `step` output samples, linear between entries, 0 past the last entry.
// Forms of the text:
//   ""                      no curve (all 0)
//   "!" tempo, blank, pairs the compressed pair text; a "!" tempo with no pairs is no curve
//   v0 "Q" tempo, v1, v2 ...  a plain list whose first token carries the tempo
//   v0 v1 v2 ...            old data without a marker, one value per 256 samples
// With a tempo the step is Int(60 / 96 / tempo * 44100 + 0.5) samples (a 96th of a beat); a tempo of
// 0 or less, or one that is not a number, counts as 120.
class PitchCurve {
public:
    PitchCurve() = default;
    PitchCurve(std::vector<double> cents, double step);

    static PitchCurve fromText(const std::string& text);  // UTF-8
    static int stepForTempo(double tempo);

    double centsAt(double outputSample) const;
    const std::vector<double>& values() const { return cents_; }
    double step() const { return step_; }

private:
    static PitchCurve fromPlainList(const std::u16string& text);
    std::vector<double> cents_;
    double step_ = 256.0;
};

}  // namespace tova::vorsa
