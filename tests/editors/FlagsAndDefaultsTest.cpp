// The flags text: its token grammar, and the default-properties dialog that reads and writes it.

#include "core/Settings.h"
#include "editors/DefaultPropertyDialog.h"
#include "song/NoteExtension.h"

#include <gtest/gtest.h>

namespace tova {
namespace {

struct TokenCase {
    const char* flags;
    const char* letter;
    const char* value;  // GetFlagValue
    const char* token;  // CutFlag
    const char* rest;   // the flags after CutFlag
};

TEST(FlagTokens, TakesTheLetterThenOneSignOrDigitThenDigits) {
    const TokenCase cases[] = {
        {"B50Ng+5Y80abc", "B", "50", "B50", "Ng+5Y80abc"},
        {"B50Ng+5Y80abc", "N", "", "N", "B50g+5Y80abc"},
        {"B50Ng+5Y80abc", "g", "+5", "g+5", "B50NY80abc"},
        {"B50Ng+5Y80abc", "Y", "80", "Y80", "B50Ng+5abc"},
        {"NB50", "N", "", "N", "B50"},  // N takes no letter after it
        {"NB50", "B", "50", "B50", "N"},
        {"B50.5", "B", "50", "B50", ".5"},  // a fraction stays among the other flags
        {"g+0", "g", "+0", "g+0", ""},
        {"g-", "g", "-", "g-", ""},       // a lone sign
        {"xBy", "B", "", "B", "xy"},      // no number after the letter
        {"abc", "B", "", "", "abc"},      // absent
        {"Bb50", "b", "50", "b50", "B"},  // case-sensitive
        {"aB1B2", "B", "1", "B1", "aB2"}, // the first occurrence
    };
    for (const TokenCase& c : cases) {
        SCOPED_TRACE(std::string(c.flags) + " / " + c.letter);
        const QString flags = QString::fromUtf8(c.flags);
        const QString letter = QString::fromUtf8(c.letter);
        EXPECT_EQ(GetFlagValue(flags, letter), QString::fromUtf8(c.value));
        QString cut = flags;
        EXPECT_EQ(CutFlag(cut, letter), QString::fromUtf8(c.token));
        EXPECT_EQ(cut, QString::fromUtf8(c.rest));
    }
}

class DefaultPropertyTest : public ::testing::Test {
protected:
    Settings settings;
    DefaultPropertyDialog open(const QString& flags) {
        settings.DefaultFlags = flags;
        DefaultPropertyDialog d(settings);
        d.Form_Load();
        return d;
    }
};

TEST_F(DefaultPropertyTest, EmptyFlagsLeaveEveryBoxClearAndTheSlidersAtTheirDesign) {
    DefaultPropertyDialog d = open(QString());
    EXPECT_FALSE(d.chkBre || d.chkNoFilter || d.chkGFactor || d.chkYFlag);
    EXPECT_FALSE(d.sldBre.Enabled || d.sldGFactor.Enabled || d.sldYFlag.Enabled);
    EXPECT_EQ(d.sldBre.Value, 50);
    EXPECT_EQ(d.sldGFactor.Value, 0);
    EXPECT_EQ(d.sldYFlag.Value, 100);
    EXPECT_EQ(d.txtOtherFlags, QString());
    EXPECT_EQ(d.lblFlagResult, QString());
}

TEST_F(DefaultPropertyTest, FlagsRoundTripThroughTheDialog) {
    // Written in the dialog's order (B, N, g, Y, others) a text reads back into the same controls and
    // OK stores it again unchanged.
    for (const char* text : {"B40g-20xyz", "B50Ng+5Y80abc", "g+0", "NY0", "B100Ng-100Y100", "xyz", ""}) {
        SCOPED_TRACE(text);
        DefaultPropertyDialog d = open(QString::fromUtf8(text));
        EXPECT_EQ(d.lblFlagResult, QString::fromUtf8(text));
        d.cmdOK_Click();
        EXPECT_TRUE(d.Result);
        EXPECT_EQ(settings.DefaultFlags, QString::fromUtf8(text));
    }
    DefaultPropertyDialog d = open(QStringLiteral("B40g-20xyz"));
    EXPECT_TRUE(d.chkBre);
    EXPECT_EQ(d.sldBre.Value, 40);
    EXPECT_TRUE(d.chkGFactor);
    EXPECT_EQ(d.sldGFactor.Value, -20);
    EXPECT_EQ(d.chkGFactorCaption(), QStringLiteral("g-20"));
    EXPECT_EQ(d.txtOtherFlags, QStringLiteral("xyz"));
}

TEST_F(DefaultPropertyTest, ReadingNormalisesOrderAndLettersHiddenInOtherFlags) {
    struct Case {
        const char* stored;
        const char* shown;
    } cases[] = {
        {"Y80B50", "B50Y80"},
        {"abNc", "Nabc"},        // an N inside the other flags counts as the N flag
        {"B50.5", "B50.5"},      // B50, with ".5" among the other flags
        {"Bx", "B50x"},          // no number: the slider's designed value
        {"B150g+300Y-5", "B50g+0Y100"},  // outside the slider ranges: designed values
        {"g-", "g+0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(open(QString::fromUtf8(c.stored)).lblFlagResult, QString::fromUtf8(c.shown));
    }
}

TEST_F(DefaultPropertyTest, ControlsBuildTheFlagsAndOkStoresTheThreeSettings) {
    DefaultPropertyDialog d = open(QString());
    d.chkGFactor_Click(true);
    EXPECT_TRUE(d.sldGFactor.Enabled);
    EXPECT_EQ(d.lblFlagResult, QStringLiteral("g+0"));
    d.sldGFactor_Change(7);
    EXPECT_EQ(d.lblFlagResult, QStringLiteral("g+7"));
    d.chkNoFilter_Click(true);
    d.chkBre_Click(true);
    d.sldBre_Change(35);
    d.txtOtherFlags_Change(QStringLiteral("F1"));
    EXPECT_EQ(d.lblFlagResult, QStringLiteral("B35Ng+7F1"));

    d.txtVolume_Change(QStringLiteral("250"));
    d.txtVolume_LostFocus();
    EXPECT_EQ(d.txtVolume, QStringLiteral("200"));
    EXPECT_EQ(d.sldVolume.Value, 200);
    d.txtModulation_Change(QStringLiteral("-150"));
    d.txtModulation_LostFocus();
    EXPECT_EQ(d.txtModulation, QStringLiteral("-100"));
    d.txtModulation_Change(QStringLiteral("12.5"));  // halves to even
    d.txtModulation_LostFocus();
    EXPECT_EQ(d.txtModulation, QStringLiteral("12"));

    d.cmdOK_Click();
    EXPECT_EQ(settings.DefaultVolume, 200);
    EXPECT_EQ(settings.DefaultModulation, 12);
    EXPECT_EQ(settings.DefaultFlags, QStringLiteral("B35Ng+7F1"));
}

TEST_F(DefaultPropertyTest, CancelAndClear) {
    settings.DefaultVolume = 80;
    settings.DefaultModulation = 5;
    DefaultPropertyDialog d = open(QStringLiteral("B40Nabc"));
    EXPECT_EQ(d.sldVolume.Value, 80);
    d.cmdClear_Click();
    EXPECT_EQ(d.txtVolume, QStringLiteral("100"));
    EXPECT_EQ(d.txtModulation, QStringLiteral("0"));
    EXPECT_FALSE(d.chkBre || d.chkNoFilter);
    EXPECT_EQ(d.lblFlagResult, QString());
    d.cmdCancel_Click();
    EXPECT_FALSE(d.Result);
    EXPECT_EQ(settings.DefaultVolume, 80);
    EXPECT_EQ(settings.DefaultModulation, 5);
    EXPECT_EQ(settings.DefaultFlags, QStringLiteral("B40Nabc"));
}

}  // namespace
}  // namespace tova
