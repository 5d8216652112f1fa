#include "core/BigNumber.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>

using namespace tova;

namespace {

TEST(LetterCode, WindowNamesGiveTheirCaptionFileCodes) {
    const struct {
        const char* name;
        const char* code;  // first ten letters: the window code of the caption files
    } cases[] = {
        {"Form1", "balflcjzy"},
        {"Form3", "bbnaklhvq"},
        {"frmVoicesetManager", "docqehmzez"},
        {"frmNoteProperty", "crgmkcepfo"},
        {"frmOmakase", "kzqoqulhjf"},
        {"frmPrefixmap", "btjuywtwrx"},
        {"frmMode2", "bmbkgtxslb"},
        {"frmDefaultProperty", "dtujxlfbow"},
        {"frmOptions", "mnaaahyybt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString code = EncodeLetterCode(QString::fromUtf8(c.name));
        EXPECT_EQ(code.left(10), QString::fromUtf8(c.code));
        EXPECT_EQ(DecodeLetterCode(code), QString::fromUtf8(c.name));
    }
}

TEST(LetterCode, EncodesAnyTextAndDecodesLooselyWrittenCodes) {
    const struct {
        QString text;
        const char* code;
    } cases[] = {
        {"A", "cn"},
        {"Form1", "balflcjzy"},
        {"frmOptions", "mnaaahyybtfdfaayg"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(EncodeLetterCode(c.text), QString::fromUtf8(c.code));
        EXPECT_EQ(DecodeLetterCode(QString::fromUtf8(c.code)), c.text);
    }
    for (const char* loose : {"BALFLCJZY", "BalFlcJzy", "bal-flc-jzy", "-balflcjzy-", "B-A-L-F-L-C-J-Z-Y"})
        EXPECT_EQ(DecodeLetterCode(QString::fromUtf8(loose)), "Form1") << loose;
    // Japanese names go through their code-page bytes and come back.
    const QString japanese = QStringLiteral("音声フォルダ");
    EXPECT_EQ(DecodeLetterCode(EncodeLetterCode(japanese)), japanese);
    // Zero bytes at the end of a text are lost on the way back.
    EXPECT_EQ(BigToBytes(BigFromBytes(QString::fromLatin1("ab\0\0", 4))), "ab");
    EXPECT_EQ(BigToBytes(BigFromBytes(QString::fromLatin1("\0ab", 3))), QString::fromLatin1("\0ab", 3));
}

TEST(BigNumber, RadixConversions) {
    EXPECT_EQ(BigToHex(BigFromHex("0001ff")), "01ff");
    EXPECT_EQ(BigToHex(BigFromHex("DEADbeef0123456789abcdef")), "deadbeef0123456789abcdef");
    EXPECT_EQ(BigToHex(BigFromHex("")), "");
    EXPECT_EQ(BigToHex(BigFromHex("0000")), "");
    EXPECT_EQ(BigFromHex("10000"), (BigNumber{5536, 6}));  // 65536
    EXPECT_EQ(BigFromDecimal(""), BigNumber{0});
    EXPECT_EQ(BigFromDecimal("123456789"), (BigNumber{6789, 2345, 1}));
    EXPECT_EQ(BigFromDecimal("00010000"), (BigNumber{0, 1}));
    EXPECT_EQ(BigToHex(BigFromDecimal("18446744073709551615")), "ffffffffffffffff");
    EXPECT_EQ(BigToHex(BigFromDecimal("340282366920938463463374607431768211455")), QString(32, u'f'));
    EXPECT_EQ(BigToLetters(BigFromDecimal("0")), "");
    EXPECT_EQ(BigToLetters(BigFromDecimal("25")), "Z");
    EXPECT_EQ(BigToLetters(BigFromDecimal("26")), "BA");
    EXPECT_EQ(BigToLetters(BigFromDecimal("675")), "ZZ");
    EXPECT_EQ(BigFromLetters("ZZ"), BigNumber{675});
    // A character below "A" counts as "A", one above "Z" adds 26 or more.
    EXPECT_EQ(BigFromLetters("B@"), BigFromLetters("BA"));
    EXPECT_EQ(BigFromLetters("["), BigNumber{26});
    EXPECT_EQ(BigFromLetters("a"), BigNumber{32});
    for (const char* bad : {"12x4", "-1", " 1"}) EXPECT_THROW(BigFromDecimal(bad), TypeMismatchError) << bad;
    for (const char* bad : {"zz", "0x1f", "1 "}) EXPECT_THROW(BigFromHex(bad), TypeMismatchError) << bad;
}

TEST(BigNumber, SmallArithmeticMatchesMachineIntegers) {
    const quint64 values[] = {0, 1, 25, 255, 9999, 10000, 65535, 65536, 99999999, 4294967295ull, 123456789012345ull};
    for (quint64 v : values) {
        const BigNumber n = BigFromDecimal(QString::number(v));
        for (int32_t k : {26, 256, 65536}) {
            SCOPED_TRACE(testing::Message() << v << " by " << k);
            EXPECT_EQ(BigToHex(BigMulSmall(n, k)), v == 0 ? QString() : BigToHex(BigFromHex(QString::number(v * k, 16))));
            EXPECT_EQ(BigToHex(BigAddSmall(n, k)), BigToHex(BigFromHex(QString::number(v + k, 16))));
            int32_t r = -1;
            const BigNumber q = BigDivSmall(n, k, r);
            EXPECT_EQ(r, int32_t(v % k));
            EXPECT_EQ(BigToHex(q), v / k == 0 ? QString() : BigToHex(BigFromHex(QString::number(v / k, 16))));
        }
    }
}

TEST(BigNumber, DigitArraysAtTheEdges) {
    EXPECT_EQ(BigAddSmall(BigNumber{9999}, 1), (BigNumber{0, 1}));
    EXPECT_EQ(BigAddSmall(BigNumber{9999, 9999}, 2), (BigNumber{1, 0, 1}));
    EXPECT_EQ(BigAddSmall(BigNumber{}, 7), BigNumber{7});
    EXPECT_EQ(BigAddSmall(BigNumber{5}, 0), BigNumber{5});
    EXPECT_EQ(BigAddSmall(BigNumber{5}, -3), BigNumber{5});
    EXPECT_EQ(BigMulSmall(BigNumber{5000}, 2), (BigNumber{0, 1}));
    EXPECT_EQ(BigMulSmall(BigNumber{5, 0, 0}, 3), (BigNumber{15, 0, 0}));
    EXPECT_EQ(BigMulSmall(BigNumber{}, 26), BigNumber{});
    int32_t r = -1;
    // A zero quotient keeps all its digits.
    EXPECT_EQ(BigDivSmall(BigNumber{0, 0}, 26, r), (BigNumber{0, 0}));
    EXPECT_EQ(r, 0);
    EXPECT_TRUE(BigIsZero(BigDivSmall(BigNumber{0, 0}, 26, r)));
    EXPECT_EQ(BigDivSmall(BigNumber{25, 0, 0}, 26, r), (BigNumber{0, 0, 0}));
    EXPECT_EQ(r, 25);
    // Otherwise the high zero digits go.
    EXPECT_EQ(BigDivSmall(BigNumber{5, 0, 0}, 1, r), BigNumber{5});
    EXPECT_EQ(BigDivSmall(BigNumber{0, 1}, 2, r), BigNumber{5000});
    EXPECT_EQ(BigDivSmall(BigNumber{}, 26, r), BigNumber{});
    EXPECT_EQ(r, 0);
    EXPECT_THROW(BigDivSmall(BigNumber{1}, 0, r), InvalidCallError);
    EXPECT_TRUE(BigIsZero(BigNumber{}));
    EXPECT_TRUE(BigIsZero((BigNumber{0, 0, 0})));
    EXPECT_FALSE(BigIsZero((BigNumber{0, 0, 1})));
}

}  // namespace
