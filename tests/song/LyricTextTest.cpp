#include "song/LyricText.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace tova;
using namespace Qt::Literals::StringLiterals;

namespace {

// Every token of a text, calling NextLyricMora from position 1 and adding one after each call.
QStringList tokens(const QString& text) {
    QStringList out;
    qint32 pos = 1;
    while (pos <= text.size()) {
        out << NextLyricMora(text, pos);
        ++pos;
    }
    return out;
}

TEST(LyricText, NextLyricMoraCutsTypedText) {
    const struct { const char16_t* text; QStringList expected; } cases[] = {
        {u"きゃ ka \"ab c\" ?あ", {u"きゃ"_s, u"ka"_s, u"ab c"_s, u"?あ"_s}},
        {u"か゛ゃ", {u"か゛ゃ"_s}},                  // a voicing mark and a small kana join
        {u"きゃ゛", {u"きゃ"_s, u"゛"_s}},           // a voicing mark after a small kana does not
        {u"あ  い", {u"あ"_s, u"い"_s}},
        {u"あ  ", {u"あ"_s, u""_s}},                // trailing blanks give an empty token
        {u"?きゃa", {u"?きゃ"_s, u"a"_s}},
        {u"abcあ", {u"abc"_s, u"あ"_s}},
        {u"\"open", {u"open"_s}},                   // an unclosed quote runs to the end
        {u"ア゜", {u"ア゜"_s}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
        EXPECT_EQ(tokens(QString::fromUtf16(c.text)), c.expected);
    }

    qint32 pos = 3;
    EXPECT_EQ(NextLyricMora(QString(), pos), QString());
    EXPECT_EQ(pos, 3);
    const QString quoted = u"\"ab\" x"_s;
    pos = 1;
    EXPECT_EQ(NextLyricMora(quoted, pos), u"ab"_s);
    EXPECT_EQ(pos, 4);  // left on the closing quote
}

TEST(LyricText, BaseAndHeadOfAliases) {
    const struct { const char16_t* alias; const char16_t* base; const char16_t* head; } cases[] = {
        {u"voice\\pre きゃっ", u"きゃ", u"voice\\pre きゃ"},
        {u"?さ", u"さ", u"?さ"},
        {u"あ", u"あ", u"あ"},
        {u"?a b\\c きゃあ", u"きゃ", u"?a b\\c きゃ"},
        {u"sub/か゛ゃう", u"か゛ゃ", u"sub/か゛ゃ"},
        {u"- ?いぇ", u"いぇ", u"- ?"},  // the base skips a "?" after the prefix, the head does not
        {u"", u"", u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.alias).toStdString());
        EXPECT_EQ(GetLyricBase(QString::fromUtf16(c.alias)), QString::fromUtf16(c.base));
        EXPECT_EQ(GetLyricHead(QString::fromUtf16(c.alias)), QString::fromUtf16(c.head));
    }
}

}  // namespace
