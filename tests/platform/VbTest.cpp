#include "platform/Errors.h"
#include "platform/Vb.h"

#include <gtest/gtest.h>

#include <limits>

#include <clocale>
#include <string>

using tova::Vb;

namespace {

TEST(Vb, ValReadsTheLeadingNumberLeniently) {
    const struct { const char* text; double value; } cases[] = {
        {" 12abc", 12}, {"-40;5", -40}, {"0Q120", 0}, {"1.50", 1.5}, {"abc", 0}, {"", 0},
        {"&H1F", 31}, {"&HFFFF", -1}, {"&O17", 15}, {"1 2 3", 123}, {"\t-2.5e2x", -250},
        {".5", 0.5}, {"1e", 1}, {"+7", 7}, {"120.00+30.0", 120},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_DOUBLE_EQ(Vb::Val(QString::fromUtf8(c.text)), c.value);
    }
}

// The desktop's locale may use a decimal comma; the numbers of our files never do.
TEST(Vb, NumbersIgnoreADecimalCommaLocale) {
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    const char* comma = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE", "fr_FR"})
        if (std::setlocale(LC_NUMERIC, name)) { comma = name; break; }
    if (!comma) GTEST_SKIP() << "no locale with a decimal comma is installed";
    EXPECT_DOUBLE_EQ(Vb::Val(QStringLiteral("125.50")), 125.5);
    EXPECT_DOUBLE_EQ(Vb::CDbl(QStringLiteral("-1.5e1")), -15);
    EXPECT_EQ(Vb::Val(QStringLiteral("1,5")), 1);
    EXPECT_EQ(Vb::DoubleText(125.5), QStringLiteral("125.5"));
    EXPECT_EQ(Vb::Format(125.5, QStringLiteral("0.00")), QStringLiteral("125.50"));
    std::setlocale(LC_NUMERIC, before.c_str());
}

TEST(Vb, StrictParseNeedsTheWholeText) {
    const struct { const char* text; bool ok; double value; } cases[] = {
        {"12", true, 12}, {" 12 ", true, 12}, {"-1.5e1", true, -15}, {"&H10", true, 16},
        {"12a", false, 0}, {"", false, 0}, {"abc", false, 0}, {"1.2.3", false, 0}, {"-", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        double v = -999;
        EXPECT_EQ(Vb::TryParse(QString::fromUtf8(c.text), v), c.ok);
        if (c.ok) EXPECT_DOUBLE_EQ(v, c.value);
    }
}

// A typed text is a number only when it gives a finite value.
TEST(Vb, IsNumericNeedsAFiniteNumber) {
    const struct { const char* text; bool numeric; } cases[] = {
        {"12", true}, {"-1.5e1", true}, {"1e308", true}, {"&H10", true}, {"1e999", false}, {"-1e999", false},
        {"nan", false}, {"inf", false}, {"-inf", false}, {"", false}, {"a\tb", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Vb::IsNumeric(QString::fromUtf8(c.text)), c.numeric);
    }
}

TEST(Vb, IntegerConversionsRoundHalvesToEvenAndCheckRange) {
    const struct { double in; int out; } cint[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {2.4, 2}, {2.6, 3},
                                                  {32767.4, 32767}, {-32768.4, -32768}};
    for (const auto& c : cint) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(Vb::CInt(c.in), c.out);
        EXPECT_EQ(Vb::CLng(c.in), c.out);
    }
    EXPECT_THROW(Vb::CInt(32767.5), tova::OverflowError);
    EXPECT_THROW(Vb::CInt(-32768.6), tova::OverflowError);
    EXPECT_EQ(Vb::CLng(2147483647.0), 2147483647);
    EXPECT_THROW(Vb::CLng(2147483647.5), tova::OverflowError);
    EXPECT_THROW(Vb::CLng(-2147483649.0), tova::OverflowError);
    EXPECT_EQ(Vb::CInt(QStringLiteral(" 12.5 ")), 12);
    EXPECT_THROW(Vb::CInt(QStringLiteral("x")), tova::TypeMismatchError);
    EXPECT_THROW(Vb::CLng(QString()), tova::TypeMismatchError);
    EXPECT_THROW(Vb::CInt(QStringLiteral("40000")), tova::OverflowError);
}

TEST(Vb, IntFloorsAndFixTruncates) {
    const struct { double in, intOut, fixOut; } cases[] = {{-2.5, -3, -2}, {2.5, 2, 2}, {-0.1, -1, 0}, {7, 7, 7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(Vb::Int(c.in), c.intOut);
        EXPECT_EQ(Vb::Fix(c.in), c.fixOut);
    }
}

TEST(Vb, SingleAndDoubleTexts) {
    const struct { float v; const char* text; } singles[] = {
        {120.0f, "120"}, {97.5f, "97.5"}, {1.0f / 3.0f, "0.3333333"}, {-0.5f, "-0.5"}, {0.0f, "0"},
        {1234567.0f, "1234567"}, {12345678.0f, "1.234568E+07"}, {0.0001f, "0.0001"}, {0.00001f, "1E-05"},
        {0.1f, "0.1"}, {100.25f, "100.25"},
    };
    for (const auto& c : singles) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Vb::SingleText(c.v), QString::fromLatin1(c.text));
    }
    const struct { double v; const char* text; } doubles[] = {
        {120.0, "120"}, {1.0 / 3.0, "0.333333333333333"}, {0.1 + 0.2, "0.3"}, {1e15, "1E+15"},
        {123456789012345.0, "123456789012345"}, {-2.25, "-2.25"},
        {4.9e-324, "4.94065645841247E-324"},  // the smallest value: a text, not a failure
    };
    for (const auto& c : doubles) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Vb::DoubleText(c.v), QString::fromLatin1(c.text));
    }
}

TEST(Vb, FormatPatterns) {
    const struct { double v; const char* pattern; const char* text; } cases[] = {
        {120, "0.00", "120.00"},
        {1.005, "0.00", "1.01"},
        {-1.234, "0.00", "-1.23"},
        {0.5, "0.0###", "0.5"},
        {1.23456, "0.0###", "1.2346"},
        {2, "0.0###", "2.0"},
        {1.5, "0.00#", "1.50"},
        {1.2345, "0.00#", "1.235"},
        {0.25, "+.0##;-.0##", "+.25"},
        {-0.125, "+.0##;-.0##", "-.125"},
        {0, "+.0##;-.0##", "+.0"},
        {1.5, "+.0##;-.0##", "+1.5"},
        {5, "+0;-0", "+5"},
        {-5, "+0;-0", "-5"},
        {0, "+0;-0", "+0"},
        {7, "0000", "0007"},
        {12345, "0000", "12345"},
        {0.5, "0%", "50%"},
        {0.125, "0%", "13%"},
        {2.5, "0", "3"},
        {-2.5, "0", "-3"},
        {1234567, "#,##0", "1,234,567"},
        {3, "0.00;(0.00);\"zero\"", "3.00"},
        {-3, "0.00;(0.00);\"zero\"", "(3.00)"},
        {0, "0.00;(0.00);\"zero\"", "zero"},
        {0.0001, "0.00", "0.00"},
        {99.996, "0.00", "100.00"},
        // No digits to lay out (a damaged frequency table): the plain text, never a failure.
        {std::numeric_limits<double>::quiet_NaN(), "0.00", "0"},
        {std::numeric_limits<double>::infinity(), "0.00", "1.#INF"},
        {-std::numeric_limits<double>::infinity(), "#,##0", "-1.#INF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " " + std::to_string(c.v));
        EXPECT_EQ(Vb::Format(c.v, QString::fromUtf8(c.pattern)), QString::fromUtf8(c.text));
    }
}

}  // namespace
