// The generator's analysis of a spoken syllable: the pitch estimator, the sample's shape (sound,
// vowel, steady part) and the oto.ini timing estimated from it.
#include "tools/initvox/OtoTiming.h"
#include "tools/initvox/PitchEstimator.h"
#include "tools/initvox/SampleShape.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace tova::initvox;

namespace {

constexpr double kRate = 44100.0;
constexpr double kPi = 3.14159265358979323846;

size_t at(double ms) { return size_t(std::lround(ms * kRate / 1000.0)); }

// Builds a test syllable piece by piece.
struct Syllable {
    std::vector<float> x;
    std::mt19937 random{7};
    double phase = 0.0;

    Syllable& silence(double ms) {
        x.resize(x.size() + at(ms), 0.0f);
        return *this;
    }
    Syllable& noise(double ms, double amplitude) {
        std::uniform_real_distribution<double> u(-1.0, 1.0);
        for (size_t i = 0; i < at(ms); ++i) x.push_back(float(amplitude * u(random)));
        return *this;
    }
    // A voiced stretch of RMS amplitude / sqrt(2): `harmonics` partials of equal strength (1: a dull
    // sine), the level rising linearly over `attackMs`, the pitch gliding from `fromCents` to 0 over
    // `glideMs`.
    Syllable& voice(double ms, double f0, double amplitude, int harmonics = 12, double attackMs = 0.0,
                    double fromCents = 0.0, double glideMs = 0.0) {
        const double partial = amplitude / std::sqrt(double(harmonics));
        for (size_t i = 0; i < at(ms); ++i) {
            const double t = double(i) * 1000.0 / kRate;
            const double glide = glideMs > 0.0 && t < glideMs ? fromCents * (1.0 - t / glideMs) : 0.0;
            phase += 2.0 * kPi * f0 * std::pow(2.0, glide / 1200.0) / kRate;
            double v = 0.0;
            for (int h = 1; h <= harmonics; ++h) v += std::sin(h * phase);
            const double gain = attackMs > 0.0 && t < attackMs ? t / attackMs : 1.0;
            x.push_back(float(partial * gain * v));
        }
        return *this;
    }
};

double cents(double f, double r) { return 1200.0 * std::log2(f / r); }

}  // namespace

TEST(InitvoxPitch, FindsTheFundamentalOfSinesAndVoicesWithinTwoCents) {
    const PitchEstimator estimator(kRate);
    for (const double f0 : {82.41, 110.0, 231.7, 261.63, 440.0, 523.25, 880.0}) {
        for (const int harmonics : {1, 12}) {
            SCOPED_TRACE(testing::Message() << f0 << " Hz, " << harmonics << " partials");
            const std::vector<float> x = Syllable().voice(300, f0, 0.5, harmonics).x;
            const PitchEstimator::Estimate e = estimator.estimate(x, at(100));
            EXPECT_LT(std::abs(cents(e.frequency, f0)), 2.0);
            EXPECT_LT(e.aperiodicity, 0.05);
            EXPECT_LT(std::abs(cents(estimator.medianFrequency(x, 0, x.size(), 441), f0)), 2.0);
        }
    }
}

TEST(InitvoxPitch, SilenceNoiseAndShortStretchesHaveNoFundamental) {
    const PitchEstimator estimator(kRate);
    const std::vector<float> silent(at(200), 0.0f);
    EXPECT_EQ(estimator.estimate(silent, 0).frequency, 0.0);
    const std::vector<float> noisy = Syllable().noise(200, 0.5).x;
    EXPECT_EQ(estimator.estimate(noisy, at(50)).frequency, 0.0);
    // A window that would read past the end.
    const std::vector<float> voiced = Syllable().voice(30, 220.0, 0.5).x;
    EXPECT_EQ(estimator.estimate(voiced, 0).frequency, 0.0);
    // A median over a stretch that is mostly noise is no pitch at all.
    const std::vector<float> mixed = Syllable().voice(100, 220.0, 0.5).noise(300, 0.5).x;
    EXPECT_EQ(estimator.medianFrequency(mixed, 0, mixed.size(), 441), 0.0);
}

TEST(InitvoxShape, FindsSoundVowelAndSteadyPartOfSyllables) {
    struct Case {
        const char* name;
        Syllable syllable;
        double soundStart, vowelStart, steadyStart, vowelEnd, f0;
    };
    std::vector<Case> cases;
    cases.push_back({"vowel", Syllable().silence(100).voice(700, 231.7, 0.3).silence(100), 100, 100, 100, 800, 231.7});
    cases.push_back({"vowel with attack", Syllable().silence(60).voice(700, 300.0, 0.3, 12, 60.0).silence(100),
                     60, 90, 105, 760, 300.0});
    cases.push_back({"fricative and vowel", Syllable().silence(100).noise(120, 0.03).voice(600, 220.0, 0.3).silence(80),
                     100, 220, 220, 820, 220.0});
    // A nasal murmur as loud as the vowel but dull: the vowel starts where the voice brightens.
    cases.push_back({"nasal and vowel", Syllable().silence(100).voice(150, 231.7, 0.3, 1).voice(600, 231.7, 0.3).silence(80),
                     100, 250, 250, 850, 231.7});
    // A vowel that glides into its pitch is steady only after the glide.
    cases.push_back({"glide", Syllable().silence(50).voice(700, 250.0, 0.3, 12, 0.0, -80.0, 100.0).silence(50),
                     50, 50, 130, 750, 250.0});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SampleShape s = SampleShape::of(c.syllable.x, kRate);
        ASSERT_TRUE(s.hasSound);
        ASSERT_TRUE(s.hasVowel);
        EXPECT_NEAR(s.length, double(c.syllable.x.size()) * 1000.0 / kRate, 0.01);
        EXPECT_NEAR(s.soundStart, c.soundStart, 5.0);
        EXPECT_NEAR(s.vowelStart, c.vowelStart, 10.0);
        EXPECT_NEAR(s.steadyStart, c.steadyStart, 15.0);
        EXPECT_NEAR(s.vowelEnd, c.vowelEnd, 10.0);
        EXPECT_LT(std::abs(cents(s.vowelFrequency, c.f0)), 5.0);
        EXPECT_LE(s.soundStart, s.audibleStart);
        EXPECT_LE(s.audibleStart, s.vowelStart);
        EXPECT_LE(s.vowelStart, s.steadyStart);
        EXPECT_LE(s.steadyStart, s.vowelEnd);
        EXPECT_LE(s.vowelEnd, s.soundEnd + 0.01);
    }
}

TEST(InitvoxShape, SilenceHasNoSoundAndNoiseHasNoVowel) {
    const SampleShape silent = SampleShape::of(std::vector<float>(at(500), 0.0f), kRate);
    EXPECT_FALSE(silent.hasSound);
    EXPECT_FALSE(silent.hasVowel);
    const SampleShape tooShort = SampleShape::of(std::vector<float>(10, 0.5f), kRate);
    EXPECT_FALSE(tooShort.hasSound);
    const SampleShape noisy = SampleShape::of(Syllable().silence(50).noise(400, 0.3).x, kRate);
    EXPECT_TRUE(noisy.hasSound);
    EXPECT_FALSE(noisy.hasVowel);
}

TEST(InitvoxTiming, FollowsTheShapeOfEachSample) {
    struct Case {
        const char* name;
        double soundStart, audibleStart, vowelStart, steadyStart, vowelEnd, length;
        OtoTiming expected;  // offset, consonant, cutoff, pre-utterance, overlap
    };
    const Case cases[] = {
        {"vowel", 50.0, 52.0, 80.0, 100.0, 800.0, 1000.0, {40, 60, 200, 40, 12}},
        {"long consonant", 50.0, 55.0, 300.0, 340.0, 950.0, 1040.0, {40, 300, 90, 260, 15}},
        // The overlap stays within half the pre-utterance...
        {"loud late consonant", 50.0, 140.0, 150.0, 160.0, 800.0, 900.0, {40, 120, 100, 110, 55}},
        // ...the offset never lies before the sample, and the pre-utterance is never 0.
        {"sound at once", 3.0, 3.0, 3.0, 20.0, 600.0, 640.0, {0, 20, 40, 3, 1}},
        {"no lead at all", 0.0, 0.0, 0.0, 0.0, 600.0, 600.0, {0, 1, 0, 1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SampleShape s;
        s.hasSound = s.hasVowel = true;
        s.soundStart = c.soundStart;
        s.audibleStart = c.audibleStart;
        s.vowelStart = c.vowelStart;
        s.steadyStart = c.steadyStart;
        s.vowelEnd = c.vowelEnd;
        s.length = c.length;
        const OtoTiming t = OtoTiming::estimate(s);
        EXPECT_EQ(t.offset, c.expected.offset);
        EXPECT_EQ(t.consonant, c.expected.consonant);
        EXPECT_EQ(t.cutoff, c.expected.cutoff);
        EXPECT_EQ(t.preutterance, c.expected.preutterance);
        EXPECT_EQ(t.overlap, c.expected.overlap);
    }
    const OtoTiming ka{40, 130, 180, 110, 10};
    EXPECT_EQ(ka.otoLine(QStringLiteral("か.wav")), QStringLiteral("か.wav=,40,130,180,110,10"));
}
