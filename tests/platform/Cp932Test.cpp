#include "platform/Cp932.h"

#include <gtest/gtest.h>

#include <iconv.h>

using tova::Cp932;

namespace {

// The encoding as it is defined, one character at a time through iconv: a character of two units
// outside the basic plane is one character; the yen sign, the overline, a lone surrogate and every
// character iconv refuses or converts lossily become one "?".
QByteArray encodeEachCharacter(const QString& text, bool& lossless) {
    iconv_t cd = iconv_open("CP932", "UTF-16LE");
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
    QByteArray out;
    lossless = true;
    const char16_t* u = reinterpret_cast<const char16_t*>(text.utf16());
    for (qsizetype i = 0; i < text.size();) {
        const int len = QChar::isHighSurrogate(u[i]) && i + 1 < text.size() && QChar::isLowSurrogate(u[i + 1]) ? 2 : 1;
        char buf[8];
        char* in = reinterpret_cast<char*>(const_cast<char16_t*>(u + i));
        size_t inLeft = size_t(len) * 2, outLeft = sizeof buf;
        char* o = buf;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        const size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
        if (u[i] < 0x80) {
            out += char(u[i]);
        } else if (len == 1 && (u[i] == 0x00A5 || u[i] == 0x203E)) {
            out += '?';
            lossless = false;
        } else if (r != 0 || inLeft != 0) {
            out += '?';
            lossless = false;
        } else {
            out.append(buf, o - buf);
        }
        i += len;
    }
    iconv_close(cd);
    return out;
}

// The whole-text encoder gives byte for byte what the character-at-a-time definition gives, on texts
// of every kind and on every character of the basic plane at once; a text with a character the code
// page lacks is written whole as UTF-8 after the mark.
TEST(Cp932, WholeTextEncodingEqualsEncodingEachCharacter) {
    QString everyBasic;
    for (char32_t c = 1; c <= 0xFFFF; ++c) everyBasic += QChar(char16_t(c));
    const struct { const char* name; QString text; } cases[] = {
        {"empty", QString()},
        {"ascii with backslash and tilde", QStringLiteral("[#0001]\r\nLyric=a\\b~c")},
        {"project text", QStringLiteral("[#SETTING]\r\nProjectName=新しい歌\r\n[#0000]\r\nLyric=きゃ\r\nLabel=区間①Ⅳ\r\n")},
        {"half-width katakana and symbols", QStringLiteral("ｱｶﾞ￢∵≒〜～－")},
        {"yen and overline", QStringLiteral("a\u00A5b\u203Ec")},
        {"latin outside the code page", QStringLiteral("/home/zoë/ré")},
        {"pair outside the basic plane", QString::fromUcs4(U"x\U0001F600y\U00020B9F")},
        {"lone surrogates", QString(QChar(0xD800)) + u'a' + QChar(0xDC00) + QChar(0xD83D)},
        {"every character of the basic plane", everyBasic},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bool lossless = true;
        const QByteArray expected = encodeEachCharacter(c.text, lossless);
        EXPECT_EQ(Cp932::encode(c.text), expected);
        bool exact = !lossless;
        EXPECT_EQ(Cp932::encode(c.text, &exact), expected);
        EXPECT_EQ(exact, lossless);
        EXPECT_EQ(Cp932::canEncode(c.text), lossless);
        EXPECT_EQ(Cp932::encodeMarked(c.text), lossless ? expected : Cp932::utf8Mark() + c.text.toUtf8());
    }
}

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
