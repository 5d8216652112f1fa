// The suffix dialog's model: how a lyric is rewritten, the range it works on and the kept suffix list.
#include "VoiceBankFixture.h"

#include "voicebank/SuffixBroker.h"

#include "platform/FakePorts.h"
#include "platform/SystemPaths.h"

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;
using namespace Qt::StringLiterals;

namespace {

TEST(SuffixBroker, LyricsKeepTheirFirstMoraAndTakeTheSuffix) {
    const struct {
        const char16_t* lyric;
        const char16_t* suffix;
        int mode;
        bool removePrefix;
        const char16_t* expected;
    } cases[] = {
        {u"a か↑", u"↓", 0, false, u"a か↓"},
        {u"a か↑", u"↓", 0, true, u"か↓"},
        {u"a か↑", u"↓", 1, false, u"?a か↓"},
        {u"a か↑", u"↓", 2, false, u"a か↓"},
        {u"きゃ強", u"", 0, false, u"きゃ"},
        {u"かな", u"1", 0, false, u"か1"},
        {u"う゛ぁ弱", u"2", 0, false, u"う゛ぁ2"},
        {u"?か強", u"↑", 0, false, u"?か↑"},   // the marker stays
        {u"?か強", u"↑", 1, false, u"?か↑"},   // ... or is put in front of the prefix part
        {u"?か強", u"↑", 2, false, u"か↑"},    // ... or goes
        {u"sub\\pre か強", u"弱", 0, false, u"sub\\pre か弱"},
        {u"sub\\pre か強", u"弱", 0, true, u"か弱"},
        {u"sub\\か", u"弱", -1, false, u"sub\\か弱"},  // no mode chosen: as the first
        {u"か強", u"（なし）", 0, false, u"か"},
        {u"R", u"↑", 0, false, u"R"},
        {u"", u"↑", 0, false, u""},
        {u"R", u"↑", 1, false, u"R"},  // a rest is no literal "?R"
        {u"", u"↑", 1, false, u""},
        {u"a R", u"↑", 0, true, u"a R"},  // what is left is a rest: unchanged
    };
    for (const auto& c : cases) {
        const QString lyric = QString::fromUtf16(c.lyric);
        SCOPED_TRACE(lyric.toStdString() + " mode " + std::to_string(c.mode));
        EXPECT_EQ(SuffixBroker::ApplySuffix(lyric, QString::fromUtf16(c.suffix), c.mode, c.removePrefix),
                  QString::fromUtf16(c.expected));
    }
}

TEST(SuffixBroker, ApplyCoversTheRangeOnly) {
    SuffixBroker b;
    b.cboSurffix = u"↑"_s;
    QStringList lyrics{u"あ"_s, u"い強"_s, u"R"_s, u"う"_s};
    b.Apply(1, 2, lyrics);
    EXPECT_EQ(lyrics, (QStringList{u"あ"_s, u"い↑"_s, u"R"_s, u"う"_s}));
    b.Apply(3, 1, lyrics);  // start after end
    b.Apply(-2, -1, lyrics);
    EXPECT_EQ(lyrics, (QStringList{u"あ"_s, u"い↑"_s, u"R"_s, u"う"_s}));
    b.Apply(3, 9, lyrics);  // cut to the list
    EXPECT_EQ(lyrics.last(), u"う↑"_s);
}

TEST(SuffixBroker, TheSuffixListIsEditedAndKeptInThePreset) {
    QTemporaryDir program;
    SystemPaths::setProgramFolder(program.path());
    ScopedFakePorts ports;
    {
        SuffixBroker b;
        b.Load();  // no preset yet: the designed list
        EXPECT_EQ(b.items, SuffixBroker::DesignedSuffixes());
        EXPECT_EQ(b.items.size(), 11);
        b.cboSurffix = u"強"_s;
        b.cmdAdd_Click();  // already there
        b.cboSurffix = u"7"_s;
        b.cmdDel_Click();  // not there
        EXPECT_EQ(b.items, SuffixBroker::DesignedSuffixes());
        b.cboSurffix = u"a,b"_s;
        b.cmdAdd_Click();
        b.cboSurffix = u"↓"_s;
        b.cmdDel_Click();
        b.cboSurffix = QString();
        b.cmdDel_Click();  // item 0 is never removed
        b.cmdCancel_Click();
        b.Unload();  // the list is kept even after Cancel
    }
    EXPECT_EQ(readFile(program.path() + u"/settings/suffixbroker.ini"_s),
              Cp932::encode(u"Surffixes=↑,強,弱,1,2,3,4,5,6,a b\r\n"_s));
    {
        SuffixBroker b;
        b.Load();  // a "," typed in an item became a blank, so the item comes back as one
        EXPECT_EQ(b.items, (QStringList{u""_s, u"↑"_s, u"強"_s, u"弱"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s,
                                        u"6"_s, u"a b"_s}));
        b.items = QStringList{QString()};
        b.Unload();
    }
    {
        SuffixBroker b;
        b.Load();  // an emptied list stays empty
        EXPECT_EQ(b.items, QStringList{QString()});
    }
    // The file's other lines stay when the list is kept; an unchanged list writes nothing.
    writeFile(program.path() + u"/settings/suffixbroker.ini"_s, "; mine\nOther=keep me\nSurffixes=A,B\n");
    {
        SuffixBroker b;
        b.Load();
        b.Unload();
        EXPECT_EQ(readFile(program.path() + u"/settings/suffixbroker.ini"_s), "; mine\nOther=keep me\nSurffixes=A,B\n");
        b.cboSurffix = u"C"_s;
        b.cmdAdd_Click();
        b.Unload();
        EXPECT_EQ(readFile(program.path() + u"/settings/suffixbroker.ini"_s), "Other=keep me\r\nSurffixes=A,B,C\r\n");
    }
    EXPECT_TRUE(ports.messageBox.shown.isEmpty());

    // A settings folder that cannot be made: the failure to keep the list is shown.
    SystemPaths::setProgramFolder(program.path() + u"/file"_s);
    writeFile(program.path() + u"/file"_s, "x");
    SuffixBroker().Unload();
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_TRUE(ports.messageBox.lastText().contains(u"suffixbroker.ini"_s));
    SystemPaths::setProgramFolder(QString());
}

}  // namespace
