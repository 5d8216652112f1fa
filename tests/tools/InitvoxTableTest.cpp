// The generator's table: its settings and samples, its errors, and the table the program ships.
#include "DefaultBankFixture.h"

#include "platform/Errors.h"
#include "support/TestSupport.h"
#include "tools/initvox/SyllableTable.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::initvox;

TEST(InitvoxTable, ReadsSettingsAndSamplesInOrder) {
    const SyllableTable t = SyllableTable::parse(QStringLiteral(
        "# comment\r\n"
        "voice=ja+f5\r\n"
        "\r\n"
        "name=テスト\n"
        "  か   かー  \r\n"
        "きゃ\tきゃー\n"
        "R\n"));
    EXPECT_EQ(t.voice, "ja+f5");
    EXPECT_EQ(t.speed, 80);
    EXPECT_EQ(t.pitch, 50);
    EXPECT_EQ(t.bankName, QStringLiteral("テスト"));
    ASSERT_EQ(t.entries.size(), 3);
    EXPECT_EQ(t.entries[0].sample, QStringLiteral("か"));
    EXPECT_EQ(t.entries[0].text, QStringLiteral("かー"));
    EXPECT_EQ(t.entries[1].sample, QStringLiteral("きゃ"));
    EXPECT_EQ(t.entries[1].text, QStringLiteral("きゃー"));
    EXPECT_EQ(t.entries[2].sample, "R");
    EXPECT_TRUE(t.entries[2].text.isEmpty());

    const SyllableTable u = SyllableTable::parse("voice=v\nname=n\nspeed=20\npitch=99\na x\n");
    EXPECT_EQ(u.speed, 20);
    EXPECT_EQ(u.pitch, 99);
}

TEST(InitvoxTable, RefusesTablesThatBreakTheRules) {
    const QString head = "voice=v\nname=n\n";
    const struct {
        QString text;
        const char* because;
    } cases[] = {
        {head + "colour=red\na x\n", "unknown setting"},
        {head + "speed=19\na x\n", "speed"},
        {head + "speed=501\na x\n", "speed"},
        {head + "pitch=x\na x\n", "pitch"},
        {head + "pitch=100\na x\n", "pitch"},
        {"voice=ja f5\nname=n\na x\n", "voice with a blank"},
        {"voice=v\nname=\na x\n", "empty name"},
        {head + "sub/a x\n", "folder in a sample name"},
        {head + "sub\\a x\n", "backslash in a sample name"},
        {head + "a,b x\n", "comma in a sample name"},
        {head + "a*b x\n", "wildcard in a sample name"},
        {head + ".. x\n", "parent folder as a sample name"},
        {head + "R\nr x\n", "the same sample twice"},
        {"name=n\na x\n", "no voice"},
        {"voice=v\na x\n", "no name"},
        {head, "no sample"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.because);
        EXPECT_THROW(SyllableTable::parse(c.text), TypeMismatchError);
    }
    QTemporaryDir dir;
    EXPECT_THROW(SyllableTable::read(dir.filePath("missing.txt")), FileError);
    test::writeFile(dir.filePath("latin1.txt"), QByteArray("voice=v\nname=n\n\xe0 x\n"));
    EXPECT_THROW(SyllableTable::read(dir.filePath("latin1.txt")), TypeMismatchError);
}

TEST(InitvoxTable, ShippedTableSpeaksEveryKanaWithOneLongVowelMark) {
    const SyllableTable t = SyllableTable::read(test::programFolder() + "/voice/cantu/initvox.txt");
    EXPECT_EQ(t.bankName, "cantu");
    QMap<QString, QString> spoken;
    for (const SyllableTable::Entry& e : t.entries) spoken.insert(e.sample, e.text);
    for (const QString& kana : tova::test::initvox::requiredKana()) {
        SCOPED_TRACE(kana.toStdString());
        ASSERT_TRUE(spoken.contains(kana));
        // Two long-vowel marks switch the synthesizer to English.
        EXPECT_LE(spoken.value(kana).count(QStringLiteral("ー")), 1);
        EXPECT_TRUE(spoken.value(kana).startsWith(kana));
    }
    ASSERT_TRUE(spoken.contains("R"));
    EXPECT_TRUE(spoken.value("R").isEmpty()) << "the rest sample is silence";
}
