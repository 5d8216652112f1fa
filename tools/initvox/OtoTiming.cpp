#include "tools/initvox/OtoTiming.h"

#include "tools/initvox/SampleShape.h"

#include <algorithm>
#include <cmath>

namespace tova::initvox {
namespace {

constexpr double kLeadMs = 10.0;

int wholeMs(double ms) { return static_cast<int>(std::floor(ms + 0.5)); }

}  // namespace

OtoTiming OtoTiming::estimate(const SampleShape& shape) {
    OtoTiming t;
    const double offset = std::max(0.0, shape.soundStart - kLeadMs);
    t.offset = wholeMs(offset);
    t.preutterance = std::max(1, wholeMs(shape.vowelStart - t.offset));
    t.overlap = std::clamp(wholeMs(shape.audibleStart - t.offset), 0, t.preutterance / 2);
    t.consonant = std::max(t.preutterance, wholeMs(shape.steadyStart - t.offset));
    t.cutoff = std::max(0, wholeMs(shape.length - shape.vowelEnd));
    return t;
}

QString OtoTiming::otoLine(const QString& sampleFile) const {
    return QStringLiteral("%1=,%2,%3,%4,%5,%6")
        .arg(sampleFile)
        .arg(offset)
        .arg(consonant)
        .arg(cutoff)
        .arg(preutterance)
        .arg(overlap);
}

}  // namespace tova::initvox
