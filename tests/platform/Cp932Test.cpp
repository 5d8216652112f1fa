#include "platform/Cp932.h"

#include <gtest/gtest.h>

using tova::Cp932;

namespace {

struct CodecCase {
    const char* name;
    QString text;
    QByteArray bytes;
};

TEST(Cp932, RoundTripsTheCharactersFilesDependOn) {
    const CodecCase cases[] = {
        {"backslash", QStringLiteral("a\\b"), QByteArray("a\x5C" "b")},
        {"wave dash", QString(QChar(0xFF5E)), QByteArray("\x81\x60")},
        {"minus", QString(QChar(0xFF0D)), QByteArray("\x81\x7C")},
        {"circled one", QString(QChar(0x2460)), QByteArray("\x87\x40")},
        {"hiragana a", QStringLiteral("あ"), QByteArray("\x82\xA0")},
        {"katakana and ascii", QStringLiteral("カR1"), QByteArray("\x83\x4A" "R1")},
        {"half-width katakana", QString(QChar(0xFF71)), QByteArray("\xB1")},
        {"empty", QString(), QByteArray()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Cp932::encode(c.text), c.bytes);
        bool clean = false;
        EXPECT_EQ(Cp932::decode(c.bytes, &clean), c.text);
        EXPECT_TRUE(clean);
    }
}

TEST(Cp932, UnencodableCharactersBecomeOneQuestionMarkEach) {
    EXPECT_EQ(Cp932::encode(QStringLiteral("é€x")), QByteArray("??x"));
    // The yen sign must not become 5C, which would read back as a backslash.
    EXPECT_EQ(Cp932::encode(QString(QChar(0x00A5))), QByteArray("?"));
    // A character outside the basic plane is one character, so one "?".
    EXPECT_EQ(Cp932::encode(QString::fromUcs4(U"\U0001F600")), QByteArray("?"));
}

TEST(Cp932, InvalidOrCutOffBytesDecodeToReplacementAndReportIt) {
    struct Bad {
        const char* name;
        QByteArray bytes;
        QString text;
    };
    const Bad cases[] = {
        {"cut-off lead byte", QByteArray("a\x82"), QStringLiteral("a") + QChar(0xFFFD)},
        {"invalid trail byte", QByteArray("\x82\x20" "b"), QString(QChar(0xFFFD)) + QStringLiteral(" b")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bool clean = true;
        EXPECT_EQ(Cp932::decode(c.bytes, &clean), c.text);
        EXPECT_FALSE(clean);
    }
}

// Our files and tool arguments: CP932 when the code page holds everything, else UTF-8 after EF BB BF.
TEST(Cp932, MarkedTextKeepsCp932AndSwitchesWholeTextToUtf8) {
    const struct { const char* name; QString text; QByteArray bytes; } cases[] = {
        {"ascii", QStringLiteral("Tempo=125.50"), QByteArray("Tempo=125.50")},
        {"kana", QStringLiteral("\u3042/a"), QByteArray("\x82\xA0/a")},
        {"latin", QStringLiteral("/home/zo\u00EB-\u00DF/\u3042"),
         QByteArray("\xEF\xBB\xBF/home/zo\xC3\xAB-\xC3\x9F/\xE3\x81\x82")},
        {"yen", QStringLiteral("\u00A5"), QByteArray("\xEF\xBB\xBF\xC2\xA5")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Cp932::encodeMarked(c.text), c.bytes);
        EXPECT_EQ(Cp932::canEncode(c.text), !c.bytes.startsWith(Cp932::utf8Mark()));
        bool clean = false;
        EXPECT_EQ(Cp932::decodeMarked(c.bytes, &clean), c.text);
        EXPECT_TRUE(clean);
    }
}

TEST(Cp932, MarkedReaderTakesUnmarkedUtf8OnlyWhenCp932FailsOnIt) {
    bool clean = true;
    // Valid UTF-8 without the mark that is not clean CP932: read as UTF-8.
    EXPECT_EQ(Cp932::decodeMarked(QByteArray("zo\xC3\xAB-\xC3\x9F"), &clean), QStringLiteral("zo\u00EB-\u00DF"));
    EXPECT_TRUE(clean);
    // Clean CP932 stays CP932 even where it is also valid UTF-8 ("\xC3\xAB" is two half-width katakana).
    const QByteArray both("\xC3\xAB");
    EXPECT_EQ(Cp932::decodeMarked(both), Cp932::decode(both));
    // Neither: CP932 with its replacement characters, reported.
    EXPECT_EQ(Cp932::decodeMarked(QByteArray("a\x81"), &clean), QStringLiteral("a\uFFFD"));
    EXPECT_FALSE(clean);
    // A broken UTF-8 body after the mark is reported too.
    EXPECT_EQ(Cp932::decodeMarked(Cp932::utf8Mark() + QByteArray("a\xFF"), &clean), QStringLiteral("a\uFFFD"));
    EXPECT_FALSE(clean);
}

}  // namespace
