// The volume multiplier's arithmetic and controls, and the mode-2 option texts.

#include "core/ProgramFolderFixture.h"
#include "editors/Mode2Options.h"
#include "editors/VolumeFunctionizer.h"
#include "song/NoteExtension.h"

#include <QFile>

#include <gtest/gtest.h>

namespace tova {
namespace {

TEST(VolumeMultiplier, IntensityAfterAGain) {
    struct Case {
        const char* intensity;
        double gainDb;
        const char* result;
    } cases[] = {
        {"100", 6, "200"},   // 199.526...
        {"100", -6, "50"},   // 50.118...
        {"199.5", 0, "200"}, // half up
        {"50.4", 0, "50"},
        {"", 0, "100"},      // empty means 100
        {"50", 24, "200"},   // 792.4 limited
        {"-20", 0, "0"},
        {"abc", 6, "0"},
        {"100", 3.5, "150"}, // 149.62
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.intensity) + " @ " + std::to_string(c.gainDb));
        EXPECT_EQ(MultipliedIntensity(QString::fromUtf8(c.intensity), c.gainDb), QString::fromUtf8(c.result));
    }
}

TEST(VolumeMultiplier, OnlySungNotesOfTheRangeChange) {
    const QStringList lyrics{QStringLiteral("あ"), QStringLiteral("R"), QStringLiteral(" r "), QString(),
                             QStringLiteral("い"), QStringLiteral("う")};
    const QString sung = QStringLiteral("10:20:\t100\t5\t0Q120\tB50\ttempo=120");
    QStringList ext{sung, QStringLiteral("\t77\t\t\t\t"), QStringLiteral("\t77"), QString(), QString(), sung};
    const QStringList before = ext;
    MultiplyVolume(0, 4, lyrics, ext, -6);
    EXPECT_EQ(ext[0], QStringLiteral("10:20:\t50\t5\t0Q120\tB50\ttempo=120"));
    EXPECT_EQ(ext[1], before[1]);
    EXPECT_EQ(ext[2], before[2]);
    EXPECT_EQ(ext[3], before[3]);
    EXPECT_EQ(ext[4], QStringLiteral("\t50\t\t\t\t"));  // an empty string gets its six fields
    EXPECT_EQ(ext[5], before[5]);                         // outside the range
}

TEST(VolumeMultiplier, TextAndSliderKeepInStep) {
    VolumeFunctionizer v;
    v.txtMul_Change(QStringLiteral("3.5"));
    EXPECT_EQ(v.Slider1, 4);
    EXPECT_EQ(v.txtMul, QStringLiteral("3.5"));
    EXPECT_DOUBLE_EQ(v.gain(), 3.5);
    v.txtMul_Change(QStringLiteral("2.5"));
    EXPECT_EQ(v.Slider1, 2);
    v.Slider1_Change(-7);
    EXPECT_EQ(v.txtMul, QStringLiteral("-7.0"));
    v.txtMul_Change(QStringLiteral("1e300"));  // beyond the slider: its end, the typed gain is kept
    EXPECT_EQ(v.Slider1, 24);
    EXPECT_EQ(v.txtMul, QStringLiteral("1e300"));
    v.txtMul_Change(QStringLiteral("1.5dB"));
    EXPECT_DOUBLE_EQ(v.gain(), 1.5);
}

using VolumeSettings = test::ProgramFolderFixture;

TEST_F(VolumeSettings, TheGainIsKeptInVolumefuncConfirmedOrNot) {
    {
        VolumeFunctionizer v;
        v.Form_Load();
        EXPECT_EQ(v.txtMul, QStringLiteral("0.0"));  // no file: the design value
        v.txtMul_Change(QStringLiteral("-6dB"));
        v.cmdCancel_Click();
        ASSERT_TRUE(v.Form_Unload());
    }
    QFile f(file(QStringLiteral("settings/volumefunc.ini")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("Mul=-6\r\n"));
    f.close();
    VolumeFunctionizer v;
    v.Form_Load();
    EXPECT_EQ(v.txtMul, QStringLiteral("-6"));
    EXPECT_EQ(v.Slider1, -6);

    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("Mul=abc\r\n");
    f.close();
    VolumeFunctionizer w;
    w.Form_Load();
    EXPECT_EQ(w.txtMul, QStringLiteral("abc"));
    EXPECT_EQ(w.Slider1, 0);
    EXPECT_EQ(w.gain(), 0.0);
}

TEST(Mode2Texts, PortamentoTexts) {
    struct Case {
        const char *pbs, *pbw, *pby;       // read
        const char *outS, *outW, *outY;    // written again
    } cases[] = {
        {"-40", "80", "", "-40", "80", ""},              // two points: PBY empty
        {"-40;5", "80", "", "-40;5", "80", ""},          // the start height is kept
        {"-30", "20 40 60", "5 -3", "-30", "20 40 60", "5 -3"},
        {"-30", "20 40 60", "5", "-30", "20 40 60", "5 0"},      // missing heights are 0
        {"-30", "20 40", "1 2 3", "-30", "20 40", "1"},          // one height fewer than widths
        {"-12.5x", "10.25", "", "-12.5", "10.25", ""},           // lenient numbers, shortest form
        {"", "", "", "", "", ""},                                // no points
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pbs) + "|" + c.pbw + "|" + c.pby);
        const PortamentoPoints p =
            ReadPortamento(QString::fromUtf8(c.pbs), QString::fromUtf8(c.pbw), QString::fromUtf8(c.pby));
        EXPECT_EQ(PortamentoPbs(p), QString::fromUtf8(c.outS));
        EXPECT_EQ(PortamentoPbw(p), QString::fromUtf8(c.outW));
        EXPECT_EQ(PortamentoPby(p), QString::fromUtf8(c.outY));
    }
}

TEST(Mode2Texts, VibratoTexts) {
    struct Case {
        const char* vbr;
        bool valid;
        const char* written;
    } cases[] = {
        {"65 180 35 20 20 0 0 100", true, "65 180 35 20 20 0 0 100"},
        {"65 180 35 20 20 0 0", true, "65 180 35 20 20 0 0 0"},  // seven fields: intensity 0
        {"65 180 35 20 20 0", false, ""},
        {"", false, ""},
        {"65 0 35.5 20 20 0 0 1 9", true, "65 0 35.5 20 20 0 0 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.vbr);
        const auto fields = ReadVibrato(QString::fromUtf8(c.vbr));
        ASSERT_EQ(fields.has_value(), c.valid);
        if (fields) EXPECT_EQ(VibratoText(*fields), QString::fromUtf8(c.written));
    }
    // A seven-field vibrato written back into a note survives as a valid vibrato.
    QString ext;
    SetNoteOption(ext, QStringLiteral("VBR"), VibratoText(*ReadVibrato(QStringLiteral("65 180 35 20 20 0 0"))));
    EXPECT_TRUE(ReadVibrato(GetNoteOption(ext, QStringLiteral("VBR"))).has_value());
}

}  // namespace
}  // namespace tova
