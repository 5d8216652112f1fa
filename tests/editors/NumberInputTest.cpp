// Typed numbers that give no finite value, and conversions of huge values to whole-number fields: a
// box refuses them or holds them at its bounds, never writes a wrapped or infinite number.
#include "editors/EnvelopeEditor.h"
#include "editors/PitchEditor.h"
#include "editors/VolumeFunctionizer.h"

#include <gtest/gtest.h>

#include <limits>

using namespace tova;
using namespace Qt::Literals::StringLiterals;

namespace {

TEST(NumberInput, VolumeFunctionizerNeverWritesANonNumber) {
    VolumeFunctionizer v;
    for (const QString& typed : {u"1e999"_s, u"-1e999"_s, u"nan"_s, u"inf"_s}) {
        SCOPED_TRACE(typed.toStdString());
        v.txtMul_Change(typed);
        EXPECT_EQ(v.gain(), 0.0);
    }
    // Silence times any gain, an infinite one included, stays silence; loud notes are held at 200.
    EXPECT_EQ(MultipliedIntensity(u"0"_s, std::numeric_limits<double>::infinity()), u"0"_s);
    EXPECT_EQ(MultipliedIntensity(u"50"_s, 1e300), u"200"_s);
    EXPECT_EQ(MultipliedIntensity(u"50"_s, -1e300), u"0"_s);
}

TEST(NumberInput, EnvelopeBoxRefusesWhatNoSingleHolds) {
    EnvelopeEditor e;
    e.txtParam_Change(0, u"5"_s);
    e.txtParam_Change(0, u"1e40"_s);
    EXPECT_EQ(e.EnvParams[0], u"5"_s);  // kept, never "inf"
    e.txtParam_Change(7, u"12"_s);
    e.txtParam_Change(7, u"70000"_s);   // more than a note's pre-utterance holds
    EXPECT_EQ(e.EnvParams[7], u"12"_s);
    e.txtParam_Change(1, u"1e30"_s);
    EXPECT_EQ(e.EnvParams[1], u"1E+30"_s);
}

TEST(NumberInput, PitchPointsAreHeldWithinTheNotesRange) {
    PitchEditor p;
    p.OldData = true;
    p.Points = {1e30f, -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN(), 3.0f};
    EXPECT_EQ(p.pitchText(), u"2047 -2048 0 30"_s);
}

}  // namespace
