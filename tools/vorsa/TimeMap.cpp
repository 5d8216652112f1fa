#include "tools/vorsa/TimeMap.h"

#include <algorithm>

namespace tova::vorsa {

TimeMap::TimeMap(double offset, double consonant, double velocityFactor, double stretchEnd, double outputLength)
    : offset_(offset),
      consonant_(std::max(0.0, consonant)),
      factor_(velocityFactor > 0.0 ? velocityFactor : 1.0),
      consonantOut_(consonant_ * factor_),
      stretchIn_(std::max(0.0, stretchEnd - (offset + consonant_))),
      stretchOut_(outputLength - consonantOut_) {}

double TimeMap::inputAt(double output) const {
    if (output < consonantOut_ || stretchOut_ <= 0.0) return offset_ + output / factor_;
    return offset_ + consonant_ + (output - consonantOut_) * (stretchIn_ / stretchOut_);
}

double TimeMap::outputAt(double input) const {
    const double relative = input - offset_;
    if (relative < consonant_ || stretchOut_ <= 0.0) return relative * factor_;
    if (stretchIn_ <= 0.0) return consonantOut_;
    return consonantOut_ + (relative - consonant_) * (stretchOut_ / stretchIn_);
}

}  // namespace tova::vorsa
