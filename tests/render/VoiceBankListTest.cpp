#include "VoiceBankFixture.h"

#include "core/Settings.h"
#include "platform/Cp932.h"

#include <gtest/gtest.h>

namespace tova::test {
namespace {

class VoiceBankListTest : public VoiceBankFixture {
protected:
    void profile(const QString& relative, const QString& text) const { put(relative, Cp932::encodeMarked(text)); }
};

TEST_F(VoiceBankListTest, ListsFoldersThenRegisteredBanksWithUniqueNames) {
    const QString root = folder() + u"/voice/"_qs;
    profile(u"voice/bank1/character.txt"_qs, u"name=Alpha\r\nimage=a.bmp\r\n"_qs);
    put(u"voice/bank1/a.wav"_qs, tinyWave());
    profile(u"voice/bank2/charactar.txt"_qs, u"名前：Alpha\r\n"_qs);
    profile(u"voice/bank3/CHARACTOR.TXT"_qs, u"name=Alpha\r\n"_qs);
    put(u"voice/aiffs/z.aiff"_qs, tinyAiff());                 // only ".aiff": not a bank
    put(u"voice/otoonly/oto.ini"_qs, "a.wav=a,0,0,0,0,0\r\n");
    put(u"voice/wavonly/A.WAV"_qs, tinyWave());
    put(u"voice/empty/readme.txt"_qs, "x");
    profile(u"voice/profileonly/Character.txt"_qs,
            u"名前:Beta\r\n画像：b.png\r\nサンプル：s1.wav\r\nサンプル：s2.wav\r\n作者：誰か\r\nweb=http://x\r\nauthor=Me\r\n"_qs);
    // Two profiles that name each other: the chain ends at the folder already read.
    profile(u"voice/loopA/character.txt"_qs, u"alias="_qs + root + u"loopB"_qs);
    profile(u"voice/loopB/character.txt"_qs, u"name=Loop\r\nalias="_qs + root + u"loopA"_qs);

    settings().OtoList = QStringList{u"Reg\t/nonexistent/regbank"_qs, u"a line without a tab"_qs, QString(),
                                     u"Alpha\t"_qs + root + u"bank1"_qs, u"Slash\t/nonexistent/trailing/"_qs,
                                     u"Third\t/x/y\textra"_qs};

    ASSERT_EQ(LoadVoiceBankList(), 12);
    const QStringList expected{
        u"Alpha\t"_qs + root + u"bank1\ta.bmp\t\t\t"_qs,
        u"Alpha(2)\t"_qs + root + u"bank2\t\t\t\t"_qs,
        u"Alpha(3)\t"_qs + root + u"bank3\t\t\t\t"_qs,
        u"Loop\t"_qs + root + u"loopB\t\t\t\t"_qs,
        u"loopB\t"_qs + root + u"loopA\t\t\t\t"_qs,  // loopB's profile sends it to loopA, which names nobody
        u"otoonly\t"_qs + root + u"otoonly\t\t\t\t"_qs,
        u"Beta\t"_qs + root + u"profileonly\tb.png\ts2.wav\tMe\thttp://x"_qs,
        u"wavonly\t"_qs + root + u"wavonly\t\t\t\t"_qs,
        u"Reg\t/nonexistent/regbank\t\t\t\t"_qs,
        u"Alpha(4)\t"_qs + root + u"bank1\ta.bmp\t\t\t"_qs,
        u"Slash\t/nonexistent/trailing/\t\t\t\t"_qs,  // empty folder name: the registered name
        u"Third\t/x/y\t\t\t\t"_qs,
    };
    EXPECT_EQ(VoiceBankList(), expected);
    EXPECT_EQ(VoiceBankIndex().Value(u"Alpha(3)"_qs), root + u"bank3"_qs);
    EXPECT_EQ(VoiceBankIndex().Value(u"Reg"_qs), u"/nonexistent/regbank"_qs);
    EXPECT_EQ(VoiceBankIndex().Keys().size(), 12);

    // A voice root that does not exist adds nothing.
    settings().OtoList.clear();
    settings().VoiceRoot = folder() + u"/nowhere"_qs;
    EXPECT_EQ(LoadVoiceBankList(), 0);
    EXPECT_TRUE(VoiceBankIndex().Keys().isEmpty());
    settings().VoiceRoot = folder() + u"/voice"_qs;
    EXPECT_EQ(GetVoiceRoot(), root);
    EXPECT_EQ(LoadVoiceBankList(), 8);
}

TEST_F(VoiceBankListTest, ReadCharacterTxtLines) {
    const struct {
        const char16_t* text;
        const char16_t* name;
        const char16_t* image;
        const char16_t* sample;
        const char16_t* description;
    } cases[] = {
        {u"名前：X\r\nname=Y", u"Y", u"", u"keep", u""},             // a key line always sets the name
        {u"name=Y\r\n名前：X", u"Y", u"", u"keep", u""},             // a labelled name only while empty
        {u"名前:X\r\n名前：Z", u"X", u"", u"keep", u""},             // ASCII colon reads as the full-width one
        {u"イメージ：i1\r\n画像：i2\r\nimage=i3", u"", u"i3", u"keep", u""},
        {u"画像：i2\r\nイメージ：i1", u"", u"i2", u"keep", u""},
        {u"サンプル：s1\r\nサンプル：s2", u"", u"", u"s2", u""},     // later labelled sample wins
        {u"作者：A\r\nfree text\r\n\r\n備考:x", u"", u"", u"keep", u"作者：A\r\n備考：x\r\n"},
        {u"name=a=b\r\nName=Z\r\nsample=", u"a", u"", u"", u""},      // value up to the second "="; keys exact
        {u"\n名前：L\rイメージ：M\n", u"L", u"M", u"keep", u""},
    };
    for (const auto& c : cases) {
        profile(u"p/character.txt"_qs, QString::fromUtf16(c.text));
        QString dir = file(u"p"_qs);
        QString name = u"old"_qs, image = u"old"_qs, sample = u"keep"_qs, author = u"au"_qs, web = u"w"_qs;
        QString description;
        ReadCharacterTxt(dir, name, image, sample, author, web, description);
        const std::string what = QString::fromUtf16(c.text).toStdString();
        EXPECT_EQ(dir, file(u"p"_qs));
        EXPECT_EQ(name, QString::fromUtf16(c.name)) << what;
        EXPECT_EQ(image, QString::fromUtf16(c.image)) << what;
        EXPECT_EQ(sample, QString::fromUtf16(c.sample)) << what;
        EXPECT_EQ(author, u"au"_qs);
        EXPECT_EQ(web, u"w"_qs);
        EXPECT_EQ(description, QString::fromUtf16(c.description)) << what;
    }
}

TEST_F(VoiceBankListTest, ProfileSpellingsAndAliasChains) {
    profile(u"s1/charactar.txt"_qs, u"name=Mis1"_qs);
    profile(u"s2/charactor.txt"_qs, u"name=Mis2"_qs);
    profile(u"s3/charactar.txt"_qs, u"name=Second"_qs);  // the correct spelling wins when both exist
    profile(u"s3/character.txt"_qs, u"name=First"_qs);
    profile(u"self/character.txt"_qs, u"name=Self\r\nalias="_qs + file(u"self/"_qs));
    profile(u"a/character.txt"_qs, u"name=A\r\nauthor=from a\r\nalias="_qs + file(u"b"_qs));
    profile(u"b/character.txt"_qs, u"web=from b\r\nalias="_qs + file(u"c"_qs));
    const struct {
        const char16_t* folder;
        const char16_t* finalFolder;
        const char16_t* name;
    } cases[] = {{u"s1", u"s1", u"Mis1"}, {u"s2", u"s2", u"Mis2"}, {u"s3", u"s3", u"First"},
                 {u"self", u"self", u"Self"}, {u"a", u"c", u""}, {u"none", u"none", u""}};
    for (const auto& c : cases) {
        QString dir = file(QString::fromUtf16(c.folder));
        QString name = u"x"_qs, image = u"x"_qs, sample, author, web, description;
        ReadCharacterTxt(dir, name, image, sample, author, web, description);
        EXPECT_EQ(dir, file(QString::fromUtf16(c.finalFolder)));
        EXPECT_EQ(name, QString::fromUtf16(c.name));
        EXPECT_EQ(image, QString());
        if (QString::fromUtf16(c.folder) == u"a") {
            EXPECT_EQ(author, u"from a"_qs);  // values of earlier profiles in the chain stay
            EXPECT_EQ(web, u"from b"_qs);
        }
    }
}

}  // namespace
}  // namespace tova::test
