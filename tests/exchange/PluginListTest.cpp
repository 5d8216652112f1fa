#include "exchange/PluginList.h"
#include "platform/SystemPaths.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tova;
using namespace Qt::Literals::StringLiterals;

namespace {

struct PluginFolder {
    QTemporaryDir dir;
    PluginFolder() { SystemPaths::setProgramFolder(dir.path()); }
    ~PluginFolder() { SystemPaths::setProgramFolder(QString()); }
    QString plugins() const { return dir.path() + u"/plugins"_s; }
    void describe(const QString& folder, const QByteArray& text) const {
        test::writeFile(plugins() + u'/' + folder + u"/plugin.txt"_s, text);
    }
};

TEST(PluginList, EntriesFromTheDescriptions) {
    PluginFolder p;
    EXPECT_EQ(GetPluginsFolder(), p.plugins());
    p.describe(u"a"_s, "type=editall\r\nname=Tune\r\nexecute=tune\r\nshell=use\r\n");
    p.describe(u"b"_s, "NAME=Tune\r\nExecute=my tool.exe\r\n");           // keys in any case; a blank quotes
    p.describe(u"c"_s, "\r\nexecute=bare=extra\r\n\r\ntype=x\r\ntype=y\r\n");  // no name; text after a second "=" is lost
    p.describe(u"d"_s, "name=Tune\r\nexecute=t3\r\n");
    p.describe(u"e"_s, "name=Only a name\r\n");                          // no program: not listed
    test::writeFile(p.plugins() + u"/f/readme.txt"_s, "no description");  // no plugin.txt
    test::writeFile(p.plugins() + u"/g.txt"_s, "a file, not a folder");
    // Code page 932 names.
    p.describe(u"h"_s, QByteArray("name=\x83\x76\x83\x89\x83\x4F\x83\x43\x83\x93\r\nexecute=p\r\n"));

    ASSERT_EQ(LoadPluginList(), 5);
    ASSERT_EQ(PluginList.size(), 6);
    EXPECT_TRUE(PluginList.last().isEmpty());
    const QString f = p.plugins();
    // A program path holding a blank (the plug-in's own name, or any folder above it) is quoted.
    const auto program = [](const QString& path) { return path.contains(u' ') ? u'"' + path + u'"' : path; };
    EXPECT_EQ(PluginList[0], u"Tune\t"_s + program(f + u"/a/tune"_s) + u"\teditall\tuse\t"_s + f + u"/a"_s);
    EXPECT_EQ(PluginList[1], u"Tune(2)\t\""_s + f + u"/b/my tool.exe\"\t\t\t"_s + f + u"/b"_s);
    EXPECT_EQ(PluginList[2], u"bare\t"_s + program(f + u"/c/bare"_s) + u"\ty\t\t"_s + f + u"/c"_s);
    EXPECT_EQ(PluginList[3], u"Tune(3)\t"_s + program(f + u"/d/t3"_s) + u"\t\t\t"_s + f + u"/d"_s);
    EXPECT_EQ(PluginList[4].section(u'\t', 0, 0), u"プラグイン"_s);
}

TEST(PluginList, ReadOneDescription) {
    PluginFolder p;
    p.describe(u"x"_s, "name=N\r\n");
    QString entry = u"kept"_s;
    EXPECT_EQ(ReadPluginTxt(p.plugins() + u"/x"_s, entry), u"N"_s);
    EXPECT_EQ(entry, u"kept"_s);  // no program: the entry is left alone
    EXPECT_EQ(ReadPluginTxt(p.plugins() + u"/none"_s, entry), QString());
    EXPECT_EQ(entry, u"kept"_s);
}

TEST(PluginList, NoPlugins) {
    PluginFolder p;
    EXPECT_LT(LoadPluginList(), 1);  // no plugins folder at all
    test::writeFile(p.plugins() + u"/empty/readme.txt"_s, "x");
    EXPECT_LT(LoadPluginList(), 1);
    EXPECT_EQ(PluginList, QStringList{QString()});
}

}  // namespace
