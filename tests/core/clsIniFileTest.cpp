#include "core/clsIniFile.h"
#include "platform/SystemPaths.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tova;

namespace {

// A program folder of its own for every test.
class IniFile : public ::testing::Test {
protected:
    void SetUp() override { SystemPaths::setProgramFolder(tmp.path()); }
    void TearDown() override { SystemPaths::setProgramFolder(QString()); }

    QString settingsFile(const QString& name) const { return tmp.path() + "/settings/" + name + ".ini"; }

    QTemporaryDir tmp;
};

TEST_F(IniFile, LoadKeepsTheFirstLineOfAKeyAndTheWholeValue) {
    const struct {
        const char* name;
        QByteArray bytes;
        int lines;
        QList<std::pair<QString, QString>> entries;  // present keys and their values
        QStringList absent;
    } cases[] = {
        {"four lines", "a=1\r\na=2\r\nb\r\nc=\r\n", 3, {{"a", "1"}, {"c", ""}}, {"b"}},
        {"value holding =", "preset=1,2|x=y\r\n=empty key\r\n", 2, {{"preset", "1,2|x=y"}, {"", "empty key"}}, {}},
        {"nothing trimmed", " k = v \r\n", 1, {{" k ", " v "}}, {"k"}},
        {"lone LF and CR, no final end", "a=1\nb=2\rc=3", 3, {{"a", "1"}, {"b", "2"}, {"c", "3"}}, {}},
        {"blank lines", "\r\n\r\na=1\r\n\n", 1, {{"a", "1"}}, {}},
        {"Japanese in code page 932", "\x83\x7B\x83\x8A\x83\x85\x81\x5B\x83\x80=\x8F\xAC\r\n", 1,
         {{QStringLiteral("ボリューム"), QStringLiteral("小")}}, {}},
        {"empty file", "", 0, {}, {"a"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::writeFile(settingsFile("autopitch"), c.bytes);
        clsIniFile ini;
        ini.setName("autopitch");
        ini.add("stale", "from before");
        EXPECT_EQ(ini.Load(), c.lines);
        EXPECT_FALSE(ini.ContainsKey("stale"));
        for (const auto& [key, value] : c.entries) {
            EXPECT_TRUE(ini.ContainsKey(key)) << key.toStdString();
            EXPECT_EQ(ini.Item(key), value) << key.toStdString();
        }
        for (const QString& key : c.absent) EXPECT_FALSE(ini.ContainsKey(key)) << key.toStdString();
    }
}

TEST_F(IniFile, SaveWritesPresentKeysInFirstAddOrder) {
    clsIniFile ini;
    ini.setName("omakase");
    EXPECT_EQ(ini.getName(), "omakase");
    EXPECT_FALSE(ini.setValue("Start", "1"));
    EXPECT_FALSE(ini.setValue("start", "2"));  // another key
    EXPECT_FALSE(ini.setValue("x", "5"));
    EXPECT_EQ(ini.Item("x"), "5");
    EXPECT_TRUE(ini.setValue("x", "6"));
    EXPECT_EQ(ini.Item("x"), "6");
    EXPECT_EQ(ini.add("x", "7"), -1);
    ini.setValue("SaveData0", "a=b,c|d");
    ini.setValue("SaveData1", "old");
    ini.setValue("k", "gone");
    ini.setValue("ボリューム", "小");
    // A dialog drops the presets beyond the last one in use.
    for (int i = 1; ini.ContainsKey(QStringLiteral("SaveData%1").arg(i)); ++i)
        EXPECT_TRUE(ini.Remove(QStringLiteral("SaveData%1").arg(i)));
    EXPECT_TRUE(ini.Remove("k"));
    EXPECT_TRUE(ini.Save());
    EXPECT_EQ(test::readFile(settingsFile("omakase")),
              QByteArray("Start=1\r\nstart=2\r\nx=6\r\nSaveData0=a=b,c|d\r\n"
                         "\x83\x7B\x83\x8A\x83\x85\x81\x5B\x83\x80=\x8F\xAC\r\n"));
    // A value that code page 932 cannot hold turns the whole file into UTF-8 after its mark.
    ini.setValue("unencodable", QStringLiteral("é"));
    EXPECT_TRUE(ini.Save());
    EXPECT_EQ(test::readFile(settingsFile("omakase")),
              QByteArray("\xEF\xBB\xBFStart=1\r\nstart=2\r\nx=6\r\nSaveData0=a=b,c|d\r\n"
                         "\xE3\x83\x9C\xE3\x83\xAA\xE3\x83\xA5\xE3\x83\xBC\xE3\x83\xA0=\xE5\xB0\x8F\r\n"
                         "unencodable=\xC3\xA9\r\n"));

    // What was saved loads back the same.
    clsIniFile again;
    again.setName("omakase");
    EXPECT_EQ(again.Load(), 6);
    EXPECT_EQ(again.Item("unencodable"), QStringLiteral("é"));
    EXPECT_EQ(again.Item("SaveData0"), "a=b,c|d");
    EXPECT_EQ(again.Item("ボリューム"), "小");
    EXPECT_FALSE(again.ContainsKey("k"));
    EXPECT_FALSE(again.ContainsKey("SaveData1"));

    // A key removed and stored again is listed twice and written twice with its current value.
    again.Remove("x");
    again.setValue("x", "9");
    EXPECT_TRUE(again.Save());
    EXPECT_EQ(test::readFile(settingsFile("omakase")).count("x=9\r\n"), 2);
    EXPECT_EQ(again.Load(), 7);
    EXPECT_EQ(again.Item("x"), "9");
}

// Saving what was loaded, unchanged, writes nothing: a file with comments, lone LF line ends, a
// repeated key or a byte-order mark keeps its bytes. A change writes the file as Save lays it out.
TEST_F(IniFile, AnUnchangedSaveKeepsTheFileAsItIs) {
    const QByteArray bytes = "\xEF\xBB\xBF; presets\n[section]\nMul=1\nMul=2\n\nName=\xE5\xB0\x8F\n";
    test::writeFile(settingsFile("omakase"), bytes);
    const QDateTime written = QFileInfo(settingsFile("omakase")).lastModified();
    clsIniFile ini;
    ini.setName("omakase");
    ASSERT_EQ(ini.Load(), 3);
    ini.setValue("Mul", "1");  // set to what it holds
    EXPECT_TRUE(ini.Save());
    EXPECT_EQ(test::readFile(settingsFile("omakase")), bytes);
    EXPECT_EQ(QFileInfo(settingsFile("omakase")).lastModified(), written);
    ini.setValue("Mul", "3");
    EXPECT_TRUE(ini.Save());
    EXPECT_EQ(test::readFile(settingsFile("omakase")), QByteArray("Mul=3\r\nName=\x8F\xAC\r\n"));
    // Saved once, an unchanged second save writes nothing either, even when the disk changed since.
    test::writeFile(settingsFile("omakase"), "by hand");
    EXPECT_TRUE(ini.Save());
    EXPECT_EQ(test::readFile(settingsFile("omakase")), QByteArray("by hand"));
}

TEST_F(IniFile, OldFileInTheProgramFolderMovesIntoSettings) {
    test::writeFile(tmp.path() + "/volumefunc.ini", "rate=1.5\r\n");
    clsIniFile ini;
    ini.setName("volumefunc");
    EXPECT_EQ(ini.Load(), 1);
    EXPECT_EQ(ini.Item("rate"), "1.5");
    EXPECT_FALSE(QFileInfo::exists(tmp.path() + "/settings"));
    ini.setValue("rate", "2");
    EXPECT_TRUE(ini.Save());
    EXPECT_EQ(test::readFile(settingsFile("volumefunc")), QByteArray("rate=2\r\n"));
    EXPECT_FALSE(QFileInfo::exists(tmp.path() + "/volumefunc.ini"));

    // The file in settings wins over an old one that reappears.
    test::writeFile(tmp.path() + "/volumefunc.ini", "rate=old\r\n");
    EXPECT_EQ(ini.Load(), 1);
    EXPECT_EQ(ini.Item("rate"), "2");
}

TEST_F(IniFile, FileNameIsFoundWithoutRegardToCase) {
    test::writeFile(tmp.path() + "/Settings/AutoPitch.INI", "a=1\r\n");
    clsIniFile ini;
    ini.setName("autopitch");
    EXPECT_EQ(ini.Load(), 1);
    ini.setValue("a", "2");
    EXPECT_TRUE(ini.Save());
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"Settings"});
    EXPECT_EQ(QDir(tmp.path() + "/Settings").entryList(QDir::Files), QStringList{"AutoPitch.INI"});
    EXPECT_EQ(test::readFile(tmp.path() + "/Settings/AutoPitch.INI"), QByteArray("a=2\r\n"));
}

TEST_F(IniFile, MissingFileOrNameLeavesDefaults) {
    clsIniFile ini;
    ini.add("kept", "1");
    // No name: nothing read, nothing written, the map untouched.
    EXPECT_EQ(ini.Load(), 0);
    EXPECT_EQ(ini.Item("kept"), "1");
    EXPECT_TRUE(ini.Save());
    EXPECT_FALSE(QFileInfo::exists(tmp.path() + "/settings"));
    // A name without a file in either place: an empty map.
    ini.setName("geneditor");
    EXPECT_EQ(ini.Load(), 0);
    EXPECT_FALSE(ini.ContainsKey("kept"));
    EXPECT_EQ(ini.Item("kept"), QString());
}

TEST_F(IniFile, FailedSaveIsReportedAndLeavesNoPartialFile) {
    clsIniFile ini;
    ini.setName("suffixbroker");
    ini.setValue("suffix", "_E");

    // The settings folder cannot be made: a file stands in its place.
    test::writeFile(tmp.path() + "/settings", "not a folder");
    EXPECT_FALSE(ini.Save());
    EXPECT_EQ(test::readFile(tmp.path() + "/settings"), QByteArray("not a folder"));
    QFile::remove(tmp.path() + "/settings");

    // The file cannot replace what stands at its name: nothing is half written next to it.
    QDir().mkpath(settingsFile("suffixbroker"));
    test::writeFile(tmp.path() + "/suffixbroker.ini", "suffix=old\r\n");
    EXPECT_FALSE(ini.Save());
    EXPECT_TRUE(QFileInfo(settingsFile("suffixbroker")).isDir());
    EXPECT_EQ(QDir(tmp.path() + "/settings").entryList(QDir::Files | QDir::Hidden), QStringList{});
    // The old file is deleted only after a successful save.
    EXPECT_EQ(test::readFile(tmp.path() + "/suffixbroker.ini"), QByteArray("suffix=old\r\n"));
}

}  // namespace
