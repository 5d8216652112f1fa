#pragma once

namespace tova::vorsa {

// Where in the sample each output sample comes from. Output time 0 is the sample at the offset. The
// consonant part (offset to offset + consonant) is played at the rate 1 / k, so it lasts consonant * k
// in the output (k = 2^(1 - velocity / 100)); the rest of the sample, up to the end given by the cutoff,
// is stretched or shortened evenly to fill the remaining output. All positions are in samples.
class TimeMap {
public:
    // `stretchEnd` is the end of the usable sample (at least offset + consonant); `outputLength` the
    // number of output samples.
    TimeMap(double offset, double consonant, double velocityFactor, double stretchEnd, double outputLength);

    double inputAt(double output) const;   // input position of an output position
    double outputAt(double input) const;   // the inverse
    double consonantOutputLength() const { return consonantOut_; }

private:
    double offset_;
    double consonant_;
    double factor_;
    double consonantOut_;
    double stretchIn_;   // input samples of the stretched part
    double stretchOut_;  // output samples it fills
};

}  // namespace tova::vorsa
