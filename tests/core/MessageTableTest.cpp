#include "core/MessageTable.h"

#include <gtest/gtest.h>

namespace tova {
namespace {

// Without a table entry the built-in text is the template.
TEST(GetMessage, FillsPlaceholdersAndLineBreaksOfTheBuiltInText) {
    struct Case {
        QString key;
        QString a1, a2;
        QString expected;
    };
    const Case cases[] = {
        {u"予期せぬエラー：{1}"_qs, u"Disk full"_qs, {}, u"予期せぬエラー：Disk full"_qs},
        {u"一行目\\n二行目"_qs, {}, {}, u"一行目\r\n二行目"_qs},
        // Arguments go in verbatim: a Windows path keeps its backslash-n, a "{2}" in argument 1 stays.
        {u"{1}を作成しました。"_qs, u"C:\\new\\a.wav"_qs, {}, u"C:\\new\\a.wavを作成しました。"_qs},
        {u"{1}/{2}"_qs, u"{2}"_qs, u"x"_qs, u"{2}/x"_qs},
        {u"{1}{1}"_qs, u"{1}"_qs, {}, u"{1}{1}"_qs},
        // Every occurrence of a placeholder is filled.
        {u"{2}-{1}-{2}"_qs, u"a"_qs, u"b"_qs, u"b-a-b"_qs},
    };
    for (const auto& c : cases) {
        MessageArg a1 = c.a1.isNull() ? MessageArg() : MessageArg(c.a1);
        MessageArg a2 = c.a2.isNull() ? MessageArg() : MessageArg(c.a2);
        EXPECT_EQ(GetMessage(c.key, a1, a2), c.expected) << c.key.toStdString();
    }
}

TEST(GetMessage, MissingArgumentsLeaveTheirPlaceholdersAndNumbersShowAsText) {
    EXPECT_EQ(GetMessage(u"{1} と {2}"_qs, u"a"_qs), u"a と {2}"_qs);
    EXPECT_EQ(GetMessage(u"{3}{4}{5}{0}"_qs, 1, 2, 3, 4), u"34{5}{0}"_qs);
    EXPECT_EQ(GetMessage(u"{1}|{2}|{3}|{4}"_qs, 42, 0.5, 1.5f, true), u"42|0.5|1.5|True"_qs);
    EXPECT_EQ(GetMessage(u"{1}"_qs, QString()), QString());  // an empty text is a given argument
}

TEST(StripQuotes, RemovesOnlyAPairAroundAtLeastOneCharacter) {
    const std::pair<QString, QString> cases[] = {
        {u"\" a \""_qs, u" a "_qs}, {u"\"\""_qs, u"\"\""_qs}, {u"\"x"_qs, u"\"x"_qs},
        {u"x\""_qs, u"x\""_qs},     {u"\"\"\""_qs, u"\""_qs},   {QString(), QString()},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(StripQuotes(in), out) << in.toStdString();
}

}  // namespace
}  // namespace tova
