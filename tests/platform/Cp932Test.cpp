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

}  // namespace
