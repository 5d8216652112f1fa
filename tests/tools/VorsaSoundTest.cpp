// What the note renderer does to a voice: pitch, pitch curves, formants, timing, length and the flags,
// measured on synthetic samples with the fixtures' own estimators.

#include "tools/ToolText.h"
#include "tools/VorsaFixtures.h"

#include "song/PitchText.h"
#include "tools/vorsa/NoteRenderer.h"
#include "tools/vorsa/RenderRequest.h"

#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace tova::test::vorsa {
namespace {

using tova::vorsa::NoteRenderer;
using tova::vorsa::RenderRequest;

class VorsaSound : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new QTemporaryDir();
        writeWave16(path("vowel.wav"), voicedSample(220.0, 1.0));
        // 100 ms of noise (the consonant), then the vowel.
        std::vector<float> cv = noise(0.1, 0.08f);
        const std::vector<float> v = voicedSample(220.0, 0.9);
        cv.insert(cv.end(), v.begin(), v.end());
        writeWave16(path("noise_vowel.wav"), cv);
        // A vowel with a noisy (breathy) part of its own.
        std::vector<float> breathy = voicedSample(220.0, 1.0);
        const std::vector<float> air = noise(1.0, 0.1f, 7);
        for (size_t i = 0; i < breathy.size(); ++i) breathy[i] += air[i];
        writeWave16(path("breathy_vowel.wav"), breathy);
    }
    static void TearDownTestSuite() {
        delete folder_;
        folder_ = nullptr;
    }
    static QString path(const QString& name) { return folder_->filePath(name); }

    // Renders one call and reads the result back.
    static std::vector<float> render(QStringList arguments) {
        arguments[0] = path(arguments[0]);
        arguments[1] = path(arguments[1]);
        const NoteRenderer::Outcome outcome = NoteRenderer::run(RenderRequest::fromArguments(test::u8(arguments)));
        EXPECT_EQ(outcome.code, NoteRenderer::Ok) << outcome.message;
        return readWave16(arguments[1]);
    }

    static QTemporaryDir* folder_;
};
QTemporaryDir* VorsaSound::folder_ = nullptr;

// A plain pitch list at tempo 120 (230 samples per entry) with `count` entries from a function of ms.
template <typename F>
QString curveText(int count, F centsAtMs) {
    QStringList values;
    for (int k = 0; k < count; ++k) values << QString::number(std::lround(centsAtMs(k * 230.0 / 44.1)));
    values[0] += QStringLiteral("Q120");
    return values.join(u' ');
}

TEST_F(VorsaSound, FundamentalLandsOnTheTargetAndFollowsTheCurve) {
    const std::vector<float> input = readWave16(path("vowel.wav"));
    ASSERT_NEAR(cents(medianPitch(input, 4410, 39690), 220.0), 0.0, 2.0) << "the fixture itself";

    const QString up = EncodePitchText(curveText(160, [](double) { return 1200.0; }), true);
    const QString down = curveText(160, [](double) { return -1200.0; });
    const QString oldUp = [] {  // old data: one value per 256 samples, no marker
        QStringList v;
        for (int i = 0; i < 140; ++i) v << QStringLiteral("700");
        return v.join(u' ');
    }();
    struct Case {
        const char* name;
        QString note;
        QString modulation;
        QString pitch;
        double expected;
    } cases[] = {
        {"A4, no curve", "A4", "0", "", 440.0},
        {"A4 with modulation 100", "A4", "100", "", 440.0},
        {"+1200 cents, compressed pair text", "A4", "0", up, 880.0},
        {"-1200 cents, plain list with tempo", "A4", "0", down, 220.0},
        {"+700 cents, old data every 256 samples", "A4", "0", oldUp, 440.0 * std::pow(2.0, 7.0 / 12.0)},
        {"flat name Db5", "Db5", "0", "", 440.0 * std::pow(2.0, 4.0 / 12.0)},
        {"sharp name C#5", "C#5", "0", "", 440.0 * std::pow(2.0, 4.0 / 12.0)},
    };
    for (const Case& c : cases) {
        QStringList args{"vowel.wav", "out.wav", c.note, "100", "", "0", "800", "0", "0", "100", c.modulation};
        args += c.pitch.split(u' ', Qt::SkipEmptyParts);
        const std::vector<float> out = render(args);
        ASSERT_EQ(out.size(), 35280u) << c.name;
        EXPECT_NEAR(cents(medianPitch(out, 4410, 30870), c.expected), 0.0, 5.0) << c.name;
    }
}

TEST_F(VorsaSound, CurveRampIsFollowedInTime) {
    // 0 cents to 300 ms, a straight rise to +700 cents at 400 ms, then +700.
    const QString pitch = curveText(160, [](double ms) { return ms < 300 ? 0.0 : ms < 400 ? 7.0 * (ms - 300) : 700.0; });
    QStringList args{"vowel.wav", "ramp.wav", "A4", "100", "", "0", "800", "0", "0", "100", "0"};
    args += pitch.split(u' ');
    const std::vector<float> out = render(args);
    ASSERT_EQ(out.size(), 35280u);

    double crossing = -1.0, previousMs = 0.0, previousCents = 0.0;
    for (double ms = 150.0; ms <= 650.0; ms += 2.5) {
        const double f = acfPitch(out, std::lround(ms * 44.1), 512);
        ASSERT_GT(f, 0.0) << ms;
        const double c = cents(f, 440.0);
        if (ms == 250.0) EXPECT_NEAR(c, 0.0, 10.0);
        if (ms == 550.0) EXPECT_NEAR(c, 700.0, 10.0);
        if (crossing < 0 && ms > 150.0 && previousCents < 350.0 && c >= 350.0)
            crossing = previousMs + (350.0 - previousCents) / (c - previousCents) * 2.5;
        previousMs = ms;
        previousCents = c;
    }
    // The curve passes 350 cents at 350 ms.
    EXPECT_NEAR(crossing, 350.0, 10.0);
}

TEST_F(VorsaSound, FormantsStayWhereTheVoiceHasThem) {
    const std::vector<float> input = readWave16(path("vowel.wav"));
    const double inputF1 = firstFormant(input, 22050);
    ASSERT_NEAR(inputF1, 700.0, 70.0) << "the estimator on the fixture";
    struct Case {
        const char* note;  // E4 is seven semitones above the sample's 220 Hz, A3 the sample's own
        const char* flags;
        double ratioLow, ratioHigh;  // allowed output F1 / input F1
    } cases[] = {
        {"E4", "", 0.9, 1.1},        // a fifth up, formants kept
        {"E4", "N", 1.3, 1.7},       // formants follow the pitch: 1.5
        {"A3", "g50", 1.10, 1.28},   // formants up by 2^(50/200) = 1.19
        {"A3", "g-50", 0.74, 0.92},  // down by 0.84
    };
    for (const Case& c : cases) {
        const std::vector<float> out = render({"vowel.wav", "fifth.wav", c.note, "100", c.flags, "0", "800", "0", "0", "100", "0"});
        const double expected = c.note == std::string("E4") ? 440.0 * std::pow(2.0, -5.0 / 12.0) : 220.0;
        ASSERT_NEAR(cents(medianPitch(out, 4410, 30870), expected), 0.0, 5.0) << c.flags;
        const double ratio = firstFormant(out, 17640) / inputF1;
        EXPECT_GE(ratio, c.ratioLow) << c.flags;
        EXPECT_LE(ratio, c.ratioHigh) << c.flags;
    }
}

TEST_F(VorsaSound, OutputIsExactlyAsLongAsAsked) {
    // ceil(ms * 44.1) samples: never shorter than asked.
    struct Case {
        QString note;
        QString length;
        size_t samples;
    } cases[] = {
        {"A4", "50", 2205},     {"A4", "1000", 44100},  {"A4", "100.5", 4433},   {"A4", "123.4567", 5445},
        {"A4", "0.1", 5},       {"A4", "3000", 132300}, {"100", "100", 4410},   {"100", "2500", 110250},
    };
    for (const Case& c : cases) {
        const std::vector<float> out = render({"vowel.wav", "len.wav", c.note, "100", "", "20", c.length, "30", "0"});
        EXPECT_EQ(out.size(), c.samples) << c.note.toStdString() << " " << c.length.toStdString();
    }
}

// Output time at which the voice becomes periodic (the end of the noise consonant), in ms.
double voicedOnsetMs(const std::vector<float>& out) {
    for (long long c = 441; c + 512 < static_cast<long long>(out.size()); c += 44) {
        double strength = 0.0;
        acfPitch(out, c, 441, 150.0, 1000.0, &strength);
        if (strength > 0.8) return c / 44.1;
    }
    return -1.0;
}

TEST_F(VorsaSound, VelocityScalesTheConsonantPart) {
    const double natural = voicedOnsetMs(render({"noise_vowel.wav", "v.wav", "A4", "100", "", "0", "600", "100", "0", "100", "0"}));
    ASSERT_NEAR(natural, 100.0, 15.0);  // the detector needs most of its window voiced
    struct Case {
        const char* velocity;
        double factor;
    } cases[] = {{"200", 0.5}, {"0", 2.0}, {"150", std::pow(2.0, -0.5)}};
    for (const Case& c : cases) {
        const double onset = voicedOnsetMs(render({"noise_vowel.wav", "v.wav", "A4", c.velocity, "", "0", "600", "100", "0", "100", "0"}));
        // The detector's own delay (natural - 100 ms) does not scale.
        EXPECT_NEAR(onset - (natural - 100.0), 100.0 * c.factor, 5.0) << c.velocity;
    }
}

// RMS of out[from, from + n).
double rms(const std::vector<float>& x, long long from, long long n) {
    double s = 0;
    for (long long i = from; i < from + n; ++i) s += double(x[i]) * x[i];
    return std::sqrt(s / n);
}

TEST_F(VorsaSound, StretchedAndShortenedVowelsHaveNoSeams) {
    const std::vector<float> input = readWave16(path("vowel.wav"));
    const double level = rms(input, 4410, 4410 * 8);
    double inputStep = 0;
    for (size_t i = 1; i < input.size(); ++i) inputStep = std::max(inputStep, double(std::abs(input[i] - input[i - 1])));
    struct Case {
        const char* name;
        const char* length;
        const char* cutoff;
    } cases[] = {
        {"300 ms of vowel stretched to 2 s", "2000", "-400"},
        {"900 ms of vowel shortened to 300 ms", "300", "0"},
    };
    for (const Case& c : cases) {
        const std::vector<float> out = render({"vowel.wav", "s.wav", "A3", "100", "", "100", c.length, "0", c.cutoff, "100", "0"});
        const long long window = 441;
        for (long long from = window; from + 2 * window < static_cast<long long>(out.size()); from += window) {
            const double db = 20 * std::log10(rms(out, from, window) / level);
            ASSERT_LT(std::abs(db), 2.0) << c.name << " at " << from / 44.1 << " ms";
        }
        double step = 0;
        for (size_t i = 1; i < out.size(); ++i) step = std::max(step, double(std::abs(out[i] - out[i - 1])));
        EXPECT_LT(step, 1.5 * inputStep) << c.name;
    }
}

TEST_F(VorsaSound, FlagsAndIntensityShapeTheSound) {
    const std::vector<float> plain = render({"noise_vowel.wav", "f.wav", "A4", "100", "", "0", "600", "100", "0", "100", "0"});
    const double vowel = rms(plain, 8820, 13230), consonant = rms(plain, 441, 3528);

    const std::vector<float> half = render({"noise_vowel.wav", "f.wav", "A4", "100", "", "0", "600", "100", "0", "50", "0"});
    EXPECT_NEAR(20 * std::log10(rms(half, 8820, 13230) / vowel), -6.02, 0.1) << "intensity 50";

    const std::vector<float> soft = render({"noise_vowel.wav", "f.wav", "A4", "100", "Y0", "0", "600", "100", "0", "100", "0"});
    EXPECT_LT(rms(soft, 441, 3528), consonant * 0.01) << "Y0 silences the consonant";
    EXPECT_NEAR(rms(soft, 8820, 13230) / vowel, 1.0, 0.01) << "Y0 keeps the vowel";
    const std::vector<float> halfConsonant = render({"noise_vowel.wav", "f.wav", "A4", "100", "Y50", "0", "600", "100", "0", "100", "0"});
    EXPECT_NEAR(rms(halfConsonant, 441, 3528) / consonant, 0.5, 0.02) << "Y50";

    // Breathiness: the periodicity of a breathy vowel falls with B above 50 and rises below it.
    auto periodicity = [](const std::vector<float>& x) {
        double s = 0;
        int n = 0;
        for (long long c = 8820; c <= 22050; c += 882) {
            double strength = 0;
            acfPitch(x, c, 2048, 150, 1000, &strength);
            s += strength;
            ++n;
        }
        return s / n;
    };
    auto breathy = [&](const char* flags) {
        return periodicity(render({"breathy_vowel.wav", "b.wav", "A4", "100", flags, "0", "600", "0", "0", "100", "0"}));
    };
    const double base = breathy("B50"), more = breathy("B100"), less = breathy("B0");
    EXPECT_LT(more, base - 0.1);
    EXPECT_GT(less, base + 0.02);
    const std::vector<float> neutral = render({"noise_vowel.wav", "f.wav", "A4", "100", "B50Y100g0xZ9", "0", "600", "100", "0", "100", "0"});
    EXPECT_EQ(neutral, plain) << "neutral values and unknown letters change nothing";
}

}  // namespace
}  // namespace tova::test::vorsa
