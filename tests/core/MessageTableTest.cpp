#include "core/MessageTable.h"
#include "support/TestSupport.h"
#include "ProgramFolderFixture.h"

#include <gtest/gtest.h>

namespace tova {
namespace {

QByteArray utf16le(const QString& text) {
    QByteArray out;
    for (QChar c : text) {
        out += char(c.unicode() & 0xFF);
        out += char(c.unicode() >> 8);
    }
    return out;
}

class MessageTableTest : public test::ProgramFolderFixture {
protected:
    void TearDown() override {
        MessageTable().Clear();
        test::ProgramFolderFixture::TearDown();
    }
    void load(const QByteArray& bytes) {
        test::writeFile(file(QStringLiteral("res/message.txt")), bytes);
        LoadMessageTable();
    }
};

TEST_F(MessageTableTest, FileWithoutByteOrderMarkAndWithLfLineEnds) {
    load(utf16le(u"保存しますか？\tSave?\n{1}を作成しました。\t{1} created.\\n{2}\n"_qs));
    EXPECT_EQ(GetMessage(u"保存しますか？"_qs), u"Save?"_qs);
    EXPECT_EQ(GetMessage(u"{1}を作成しました。"_qs, u"C:\\new\\a.wav"_qs, u"{1}"_qs),
              u"C:\\new\\a.wav created.\r\n{1}"_qs);
    EXPECT_EQ(GetMessage(u"載っていない"_qs), u"載っていない"_qs);
}

TEST_F(MessageTableTest, LineRules) {
    const QString text =
        u"\uFEFF"                            // byte-order mark
        u"  # コメント\tcomment\r\n"        // comment after leading spaces
        u"\r\n"                             // empty line
        u"TABなし\r\n"                      // no TAB
        u"  a  \t  b  \r\n"                 // spaces trimmed
        u"\" q \"\t\" r \"\r"             // quotes keep inner spaces; lone CR ends the line
        u"e\t\"\"\r\n"                     // two quotes stay two quotes
        u"t\tx\ty\r\n"                      // later TABs stay in the value
        u"a\tsecond\r\n"                    // the first entry of a key wins
        u"\"end \"\tspace\r\n"              // a key that ends in a space must be quoted
        u"w\t\u3000全角\u3000\r\n"          // full-width spaces are not trimmed
        u"x\uFEFFy\tz\r\n"                  // a mark inside a line is skipped too
        u"last\tno line end"_qs;
    load(QByteArray("\xFF\xFE", 2) + utf16le(text));
    const clsMap& t = MessageTable();
    EXPECT_FALSE(t.ContainsKey(u"# コメント"_qs));
    EXPECT_FALSE(t.ContainsKey(u"TABなし"_qs));
    const std::pair<QString, QString> entries[] = {
        {u"a"_qs, u"b"_qs},          {u" q "_qs, u" r "_qs},      {u"e"_qs, u"\"\""_qs},
        {u"t"_qs, u"x\ty"_qs},      {u"end "_qs, u"space"_qs},   {u"w"_qs, u"\u3000全角\u3000"_qs},
        {u"xy"_qs, u"z"_qs},         {u"last"_qs, u"no line end"_qs},
    };
    for (const auto& [key, value] : entries) {
        EXPECT_TRUE(t.ContainsKey(key)) << key.toStdString();
        EXPECT_EQ(t.Value(key), value) << key.toStdString();
    }
    EXPECT_FALSE(t.ContainsKey(u"end"_qs));
    EXPECT_EQ(GetMessage(u"end"_qs), u"end"_qs);
}

TEST_F(MessageTableTest, MissingFileEmptiesTheTable) {
    load(utf16le(u"a\tb\r\n"_qs));
    EXPECT_EQ(GetMessage(u"a"_qs), u"b"_qs);
    QFile::remove(file(QStringLiteral("res/message.txt")));
    LoadMessageTable();
    EXPECT_TRUE(MessageTable().Keys().isEmpty());
    EXPECT_EQ(GetMessage(u"a"_qs), u"a"_qs);
}

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
