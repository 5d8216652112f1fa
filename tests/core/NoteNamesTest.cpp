#include "core/NoteNames.h"
#include "core/Settings.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace tova;

namespace {

// Sets the accidental style for one test and restores the default afterwards.
class NoteNames : public ::testing::Test {
protected:
    void TearDown() override { settings().SharpFlat = QStringLiteral("#"); }
};

const char* const kStyles[] = {"#", "b", "♯", "♭"};

TEST_F(NoteNames, NoteNumToNameUsesTheTableOfTheCurrentSetting) {
    const struct {
        int32_t n;
        const char* names[4];  // under "#", "b", "♯", "♭"
    } cases[] = {
        {36, {"C4", "C4", "C4", "C4"}},
        {37, {"C#4", "Db4", "C♯4", "D♭4"}},
        {39, {"D#4", "Eb4", "D♯4", "E♭4"}},
        {42, {"F#4", "Gb4", "F♯4", "G♭4"}},
        {44, {"G#4", "Ab4", "G♯4", "A♭4"}},
        {45, {"A4", "A4", "A4", "A4"}},
        {46, {"A#4", "Bb4", "A♯4", "B♭4"}},
        {47, {"B4", "B4", "B4", "B4"}},
        {0, {"C1", "C1", "C1", "C1"}},
        {84, {"C8", "C8", "C8", "C8"}},
        {108, {"C10", "C10", "C10", "C10"}},
        {-12, {"C0", "C0", "C0", "C0"}},
        {-11, {"C#0", "Db0", "C♯0", "D♭0"}},
        {-1, {"B0", "B0", "B0", "B0"}},
        {-13, {"", "", "", ""}},
        {std::numeric_limits<int32_t>::min(), {"", "", "", ""}},
    };
    for (int s = 0; s < 4; ++s) {
        settings().SharpFlat = QString::fromUtf8(kStyles[s]);
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << kStyles[s] << " " << c.n);
            EXPECT_EQ(NoteNumToName(c.n), QString::fromUtf8(c.names[s]));
        }
    }
    // Any other setting writes sharps.
    for (const char* other : {"", "x", "##", "B"}) {
        settings().SharpFlat = QString::fromUtf8(other);
        EXPECT_EQ(NoteNumToName(37), "C#4") << other;
    }
    EXPECT_EQ(NoteNumToName(std::numeric_limits<int32_t>::max()), "G178956971");
}

TEST_F(NoteNames, NoteNameToNumReadsEveryStyleWhateverTheSetting) {
    const struct {
        const char* name;
        int16_t n;
    } cases[] = {
        {"C4", 36}, {"C#4", 37}, {"Db4", 37}, {"C♯4", 37}, {"D♭4", 37}, {"B3", 35}, {"A4", 45},
        {"Bb3", 34}, {"B♭3", 34}, {"G#-1", -16},
        // A key that its table lacks counts as the C of the octave.
        {"Cb4", 36}, {"c4", 36}, {"E#4", 36}, {"H4", 36}, {"Fb4", 36},
        {"C", -12}, {"", -1}, {"A", -3},
        // The octave is read leniently and rounded half to even.
        {"C 4", 36}, {"C4x", 36}, {"C4.5", 36}, {"C5.5", 60}, {"Cx", -12}, {"C-1", -24},
        {"C2731", 32760},
    };
    for (const char* style : kStyles) {
        settings().SharpFlat = QString::fromUtf8(style);
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << style << " " << c.name);
            EXPECT_EQ(NoteNameToNum(QString::fromUtf8(c.name)), c.n);
        }
    }
    for (const char* tooBig : {"C2732", "C99999", "C-2732"}) EXPECT_THROW(NoteNameToNum(tooBig), OverflowError) << tooBig;
}

TEST_F(NoteNames, EveryWrittenNameReadsBackToItsNote) {
    for (const char* style : kStyles) {
        settings().SharpFlat = QString::fromUtf8(style);
        for (int32_t n = -12; n <= 130; ++n) {
            SCOPED_TRACE(testing::Message() << style << " " << n);
            EXPECT_EQ(NoteNameToNum(NoteNumToName(n)), n);
        }
    }
}

TEST_F(NoteNames, FrequenciesFollowEqualTemperamentFromNote12) {
    EXPECT_NEAR(NoteNumToFreq(45), 440.0, 1e-9);
    EXPECT_NEAR(NoteNumToFreq(36), 261.6256, 1e-4);
    EXPECT_DOUBLE_EQ(NoteNumToFreq(12), kNoteRefFreq);
    EXPECT_NEAR(NoteNumToFreq(45.5), 440.0 * std::pow(2.0, 1.0 / 24), 1e-9);
    EXPECT_NEAR(FreqToNoteValue(440.0), 45.0, 1e-9);
    EXPECT_NEAR(FreqToNoteValue(NoteNumToFreq(30.25)), 30.25, 1e-9);

    const struct {
        double f;
        int32_t n;
        const char* name;  // under "#"
    } cases[] = {
        {440.0, 45, "A4"},
        {261.63, 36, "C4"},
        {NoteNumToFreq(36.49), 36, "C4"},
        {NoteNumToFreq(36.51), 37, "C#4"},
        {NoteNumToFreq(-12.3), -12, "C0"},
        {16.0, -12, "C0"},
        {15.8, -13, ""},
        {NoteNumToFreq(150.2), 150, "F#13"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.f);
        EXPECT_EQ(FreqToNoteNum(c.f), c.n);
        EXPECT_EQ(FreqToNoteName(c.f), QString::fromUtf8(c.name));
    }
    // Halfway between two notes rounds up.
    EXPECT_EQ(FreqToNoteNum(kNoteRefFreq * std::pow(2.0, 0.5 / 12) * 1.0000000001), 13);
    settings().SharpFlat = QStringLiteral("♭");
    EXPECT_EQ(FreqToNoteName(NoteNumToFreq(37)), "D♭4");
}

TEST_F(NoteNames, NameAndNumberOfAFrequencyAgreeAcrossTheRange) {
    for (int32_t n = -12; n <= 120; ++n)
        for (double off : {-0.45, -0.2, 0.0, 0.2, 0.45}) {
            const double f = NoteNumToFreq(n + off);
            SCOPED_TRACE(f);
            EXPECT_EQ(FreqToNoteNum(f), n);
            EXPECT_EQ(FreqToNoteName(f), NoteNumToName(n));
        }
}

TEST_F(NoteNames, UnvoicedFramesConvertToNoNote) {
    // Frequency tables mark frames without pitch with 0 (some writers with negative values).
    for (double f : {0.0, -0.0, -1.0, -440.0, std::nan("")}) {
        SCOPED_TRACE(f);
        EXPECT_EQ(FreqToNoteValue(f), double(kNoNote));
        EXPECT_EQ(FreqToNoteNum(f), kNoNote);
        EXPECT_EQ(FreqToNoteName(f), QString());
    }
    // No positive frequency comes as low as "no note".
    EXPECT_GT(FreqToNoteNum(1e-300), kNoNote);
    EXPECT_GT(FreqToNoteValue(1e-300), double(kNoNote));
    EXPECT_EQ(FreqToNoteName(std::numeric_limits<double>::denorm_min()), QString());
    EXPECT_THROW(FreqToNoteNum(std::numeric_limits<double>::infinity()), OverflowError);
    EXPECT_THROW(FreqToNoteName(std::numeric_limits<double>::infinity()), OverflowError);
}

}  // namespace
