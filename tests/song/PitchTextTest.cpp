#include "song/PitchText.h"

#include <gtest/gtest.h>

using namespace tova;
using namespace Qt::Literals::StringLiterals;

namespace {

TEST(PitchText, PairsBothWays) {
    const struct { int value; const char* pair; } cases[] = {
        {0, "AA"}, {1, "AB"}, {64, "BA"}, {-1, "//"}, {2047, "f/"}, {-2048, "gA"}, {-50, "/O"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pair);
        EXPECT_EQ(EncodePitchPair(qint16(c.value)), QString::fromLatin1(c.pair));
        EXPECT_EQ(DecodePitchPair(QString::fromLatin1(c.pair)), c.value);
    }
    EXPECT_EQ(EncodePitchPair(5000), u"f/"_s);   // clamped
    EXPECT_EQ(EncodePitchPair(-5000), u"gA"_s);
    EXPECT_EQ(DecodePitchPair(u"!!"_s), -65);    // symbols outside the alphabet count as -1
    EXPECT_EQ(DecodePitchPair(u"B"_s), 64);      // a missing second symbol counts as 0
}

TEST(PitchText, ListsRoundHalvesUpAndClamp) {
    const struct { const char* list; const char* pairs; } cases[] = {
        {"1.5", "AC"}, {"-1.5", "//"}, {"2047.6", "f/"}, {"-5000 0 0 0 0 1 2 2", "gAAAAAAAAAABACAC"},
        {"3  4", "ADAAAE"},  // two blanks make an empty token, read as 0
        {"x 7abc", "AAAH"},  // the leading number of each token
        {"&O7777777777777 &H10", "f/AQ"},  // a literal past 32 bits is out of range, not an error
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.list);
        EXPECT_EQ(EncodePitchList(QString::fromLatin1(c.list)), QString::fromLatin1(c.pairs));
    }
    EXPECT_EQ(DecodePitchList(u"gAAAAAAAAAABACAC"_s), u"-2048 0 0 0 0 1 2 2"_s);
    EXPECT_EQ(DecodePitchList(QString()), QString());
}

TEST(PitchText, RunCompressionBothWays) {
    const struct { const char* pairs; const char* runs; } cases[] = {
        {"gAAAAAAAAAABACAC", "gAAA#3#ABAC#1#"},  // a final run of two takes the "#" form
        {"AAABABAC", "AAABABAC"},                // a run of two in the middle is written twice
        {"ABABAB", "AB#2#"},
        {"ABABABAC", "AB#2#AC"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pairs);
        EXPECT_EQ(EncodePitchRun(QString::fromLatin1(c.pairs)), QString::fromLatin1(c.runs));
        EXPECT_EQ(DecodePitchRun(QString::fromLatin1(c.runs)), QString::fromLatin1(c.pairs));
    }
    EXPECT_EQ(DecodePitchRun(u"AB#2"_s), u"ABABAB"_s);      // an unclosed "#" stops after its count
    EXPECT_EQ(DecodePitchRun(u"AB#1#CDxx#2"_s), u"ABABCDxxxxxx"_s);
    EXPECT_EQ(DecodePitchRun(u"ABC"_s), u"AB"_s);           // a single character at the end is not taken
    EXPECT_EQ(DecodePitchRun(u"#3#AB"_s), u"AB"_s);         // no pair to repeat yet
    // A count beyond any number (found by fuzzing: it used to throw) repeats up to the limit.
    EXPECT_EQ(DecodePitchRun(u"AB#&O666666666666666666666666#CD"_s, 4), u"ABABABAB"_s);
    EXPECT_EQ(DecodePitchText(u"!120 AA#&HFFFFFFFFFFFFFFFFFFFFFF#"_s, 3), u"0Q120 0 0"_s);
    EXPECT_EQ(DecodePitchRun(u"AB#999999999999#"_s).size(), MaxDecodedPitchValues * 2);
}

TEST(PitchText, FieldsBothWays) {
    EXPECT_EQ(EncodePitchText(u"-50Q120 0 0 0"_s, true), u"!120 /OAA#2#"_s);
    EXPECT_EQ(DecodePitchText(u"!120 /OAA#2#"_s), u"-50Q120 0 0 0"_s);
    EXPECT_EQ(EncodePitchText(u"-5000Q97.5 0 0 0 0 1 2 2"_s, true), u"!97.5 gAAA#3#ABAC#1#"_s);
    EXPECT_EQ(DecodePitchText(u"!97.5 gAAA#3#ABAC#1#"_s), u"-2048Q97.5 0 0 0 0 1 2 2"_s);
    EXPECT_EQ(DecodePitchText(u"!120 AB"_s), u"1Q120"_s);  // one value: "Q" and the tempo appended

    // A first token with nothing after its "Q" encodes to "! ..." which decoding leaves alone.
    const QString noTempo = EncodePitchText(u"0Q 1 2"_s, true);
    EXPECT_EQ(noTempo, u"! AAABAC"_s);
    EXPECT_EQ(DecodePitchText(noTempo), noTempo);

    const char* unchanged[] = {"10 20 30", "5Q120", "Q 1 2", "", "0Q120 1 2" /* encoding off below */};
    for (const char* f : unchanged) {
        SCOPED_TRACE(f);
        const QString field = QString::fromLatin1(f);
        EXPECT_EQ(EncodePitchText(field, field != u"0Q120 1 2"_s), field);
    }
    for (const char* t : {"AB AC", "!", "!1", "x120 AB"}) {
        SCOPED_TRACE(t);
        EXPECT_EQ(DecodePitchText(QString::fromLatin1(t)), QString::fromLatin1(t));
    }
}

}  // namespace
