#include "VoiceBankFixture.h"

#include "core/Settings.h"
#include "platform/FakePorts.h"

#include <gtest/gtest.h>

namespace tova::test {
namespace {

class AliasLookupTest : public VoiceBankFixture {
protected:
    void loadBank() {
        const QString bank = makeBank();
        LoadOtoIni(bank);
        ASSERT_EQ(LoadPrefixMap(bank), 5);
    }
};

TEST_F(AliasLookupTest, PrefixMapLoad) {
    loadBank();
    EXPECT_EQ(PrefixMapEntries(), (QList<PrefixMapRecord>{{u"C4"_qs, QString(), u"L"_qs},
                                                          {u"D4"_qs, u"p"_qs, u"H"_qs},
                                                          {u"C9999"_qs, u"z"_qs, u"z"_qs},
                                                          {u"E4"_qs, u"q"_qs, QString()},
                                                          {u"D4"_qs, u"r"_qs, u"R"_qs}}));
    // Up to E4 (40); C4 (36) -> 0, D4 (38) -> the later line 4, E4 -> 3, unnamed slots 0.
    QList<int32_t> index(41, 0);
    index[38] = 4;
    index[40] = 3;
    EXPECT_EQ(PrefixMapIndex(), index);

    // No file, or a file without records: one empty record, so every lyric stays as it is.
    for (const char* folder : {"no-such-bank", "blank-map"}) {
        put(u"blank-map/prefix.map"_qs, "\r\n\r\n");
        ASSERT_EQ(LoadPrefixMap(file(QString::fromLatin1(folder))), 0);
        EXPECT_EQ(PrefixMapEntries(), QList<PrefixMapRecord>{PrefixMapRecord{}});
        EXPECT_EQ(PrefixMapIndex(), QList<int32_t>{0});
        EXPECT_EQ(ApplyPrefixMap(0, u"あ"_qs), u"あ"_qs);
    }
}

TEST_F(AliasLookupTest, ApplyPrefixMapTable) {
    loadBank();
    const struct {
        int32_t note;
        const char16_t* lyric;
        const char16_t* name;
    } cases[] = {
        {36, u"あ", u"あL"},   // C4
        {37, u"あ", u"あL"},   // inside the range, not named: the first line
        {12, u"あ", u"あL"},   // below the lowest named note: the first line too
        {38, u"あ", u"rあR"},  // D4: the later of two lines
        {40, u"あ", u"qあ"},   // E4: prefix only
        {41, u"あ", u"あ"},    // above the highest named note: none
        {-1, u"あ", u"あ"},    // a negative note number: none
        {-300, u"あ", u"あ"},
        {38, u"?あ", u"あ"},   // literal lyric: no prefix or suffix at any pitch
        {-1, u"?あ", u"あ"},
        {38, u"?", u"。"},     // "?" alone
        {36, u"??", u"?"},
        {36, u"R", u"RL"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ApplyPrefixMap(c.note, QString::fromUtf16(c.lyric)), QString::fromUtf16(c.name))
            << c.note << " " << QString::fromUtf16(c.lyric).toStdString();
}

TEST_F(AliasLookupTest, StripPrefixMapTable) {
    loadBank();
    const struct {
        int32_t note;
        const char16_t* alias;
        const char16_t* lyric;
    } cases[] = {
        {36, u"あL", u"あ"},     // suffix only in the record: stripped
        {36, u"L", u"?L"},       // equal to the suffix alone: not stripped
        {36, u"あ", u"?あ"},     // suffix missing: a literal lyric
        {38, u"pあH", u"あ"},    // D4: the first line naming it (p, H) counts
        {38, u"あH", u"あ"},     // carries only the suffix: the alias without it
        {38, u"あ", u"?あ"},     // carries neither
        {38, u"pあ", u"?あ"},    // carries only the prefix
        {38, u"rあR", u"?rあR"},  // the later D4 line is not the one consulted
        {40, u"qあ", u"あ"},     // E4: prefix, no suffix
        {40, u"あ", u"?あ"},
        {41, u"あ", u"あ"},      // F4: no line names it
        {37, u"あL", u"あL"},    // C#4: no line names it
        {-5, u"あ", u"あ"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StripPrefixMap(c.note, QString::fromUtf16(c.alias)), QString::fromUtf16(c.lyric))
            << c.note << " " << QString::fromUtf16(c.alias).toStdString();
}

TEST_F(AliasLookupTest, PrefixMapNeverSetUpAsksNothingOfTheTable) {
    ScopedFakePorts ports;
    ForgetPrefixMap();
    EXPECT_EQ(ApplyPrefixMap(36, u"あ"_qs), QString());
    EXPECT_EQ(StripPrefixMap(36, u"あ"_qs), QString());
    ASSERT_EQ(ports.messageBox.shown.size(), 2);
    EXPECT_EQ(ports.messageBox.shown[0].title, u"プリフィックスが読み込まれていません"_qs);
    EXPECT_EQ(ports.messageBox.shown[0].text, u"インデックスが有効範囲にありません。"_qs);

    ClearOtoTable();  // a reset counts as set up
    EXPECT_EQ(ApplyPrefixMap(36, u"あ"_qs), u"あ"_qs);
    EXPECT_EQ(ports.messageBox.shown.size(), 2);
}

TEST_F(AliasLookupTest, FindOtoAliasTable) {
    loadBank();
    const struct {
        const char16_t* name;
        const char16_t* file;      // slot 0, "" when not found
        const char16_t* rewritten;  // the name afterwards
    } cases[] = {
        {u"あ", u"a.wav", u"a"},                 // alias: the first record
        {u"い", u"a.wav", u"a"},                 // alias of the second "a.wav" record
        {u"a", u"a.wav", u"a"},                  // name + ".wav"
        {u"a.wav", u"a.wav", u"a"},              // the file itself: the first record
        {u"A_low", u"A_low.wav", u"A_low"},
        {u"a_low", u"", u"a_low"},               // keys are case-sensitive
        {u"y", u"y.aiff", u"y"},                 // name + ".aiff"
        {u"す", u"SUB\\su.wav", u"SUB\\su"},     // the voice folder's record wins over the sub-folder's
        {u"sub\\su", u"sub\\su.wav", u"sub\\su"},
        {u"sub/su", u"sub\\su.wav", u"sub\\su"},  // a lyric may write the sub-folder's "\" as "/"
        {u"SUB/si", u"", u"SUB/si"},
        {u"し", u"sub\\si.wav", u"sub\\si"},
        {u"ソ", u"ソ.wav", u"ソ"},
        {u"そ", u"ソ.wav", u"ソ"},
        {u"empty", u"", u"empty"},               // file alone: not indexed
        {u"aiffonly\\z", u"", u"aiffonly\\z"},   // listed sample: not indexed
        {u"deep", u"", u"deep"},                 // sub-sub-folders are not read
        {u"", u"", u""},
    };
    for (const auto& c : cases) {
        QString name = QString::fromUtf16(c.name);
        const QStringList fields = FindOtoAlias(name);
        const QString file = QString::fromUtf16(c.file);
        EXPECT_EQ(fields.value(0), file) << QString::fromUtf16(c.name).toStdString();
        EXPECT_EQ(fields.size(), file.isEmpty() ? 7 : 8);
        EXPECT_EQ(name, QString::fromUtf16(c.rewritten));
    }
    QString name = u"い"_qs;
    EXPECT_EQ(FindOtoAlias(name), (QStringList{u"a.wav"_qs, u"い"_qs, u"12"_qs, u"70"_qs, u"0"_qs, u"60"_qs, u"25"_qs, QString()}));
    name = u"え"_qs;
    EXPECT_EQ(FindOtoAlias(name), (QStringList{u"short.wav"_qs, u"え"_qs, u"1"_qs, u"2"_qs, QString(), QString(), QString(), QString()}));

    ClearOtoTable();
    name = u"あ"_qs;
    EXPECT_EQ(FindOtoAlias(name), QStringList(7));
    EXPECT_EQ(name, u"あ"_qs);
}

TEST_F(AliasLookupTest, LookupNoteOtoFallsBackToTheBareLyricOnlyWhenAsked) {
    loadBank();
    float pre = -1, ovl = -1;
    // At C4 "あ" becomes "あL", which the bank does not have.
    EXPECT_EQ(LookupNoteOto(36, u"あ"_qs, pre, ovl), QStringList(8));
    EXPECT_EQ(pre, 0.0f);
    EXPECT_EQ(ovl, 0.0f);

    settings().CheckVoiceFile = true;
    EXPECT_EQ(LookupNoteOto(36, u"あ"_qs, pre, ovl).value(0), u"a.wav"_qs);
    EXPECT_EQ(pre, 50.0f);
    EXPECT_EQ(ovl, 20.0f);

    // At F4 there is no prefix: found directly.
    settings().CheckVoiceFile = false;
    EXPECT_EQ(LookupNoteOto(41, u"い"_qs, pre, ovl).value(0), u"a.wav"_qs);
    EXPECT_EQ(pre, 60.0f);
    EXPECT_EQ(ovl, 25.0f);
    // Literal lyric at a mapped note.
    EXPECT_EQ(LookupNoteOto(36, u"?し"_qs, pre, ovl).value(0), u"sub\\si.wav"_qs);
    EXPECT_EQ(pre, 30.0f);
}

TEST_F(AliasLookupTest, SampleAliasAndAliasesForLyric) {
    loadBank();
    EXPECT_EQ(GetSampleAlias(u"a"_qs), u"あ"_qs);
    EXPECT_EQ(GetSampleAlias(u"y"_qs), u"や"_qs);
    EXPECT_EQ(GetSampleAlias(u"sub\\si"_qs), u"し"_qs);
    EXPECT_EQ(GetSampleAlias(u"aiffonly\\z"_qs), u"aiffonly\\z"_qs);  // listed without alias
    EXPECT_EQ(GetSampleAlias(u"nothing"_qs), u"nothing"_qs);

    EXPECT_EQ(FindAliasForLyric(u"あ"_qs), (QStringList{u"あ"_qs, u"あ"_qs}));
    EXPECT_EQ(FindAliasForLyric(u"?す"_qs), (QStringList{u"す"_qs, u"す"_qs}));
    EXPECT_EQ(FindAliasForLyric(u"ソ"_qs), QStringList{u"ソ"_qs});  // by file stem, ".wav" removed
    EXPECT_EQ(FindAliasForLyric(u"x"_qs), QStringList{u"waves\\x"_qs});
    // A stem matches by its first letter, as a mora.
    EXPECT_EQ(FindAliasForLyric(u"z"_qs), (QStringList{u"zero"_qs, u"aiffonly\\z"_qs}));
    EXPECT_TRUE(FindAliasForLyric(QString()).isEmpty());
    EXPECT_TRUE(FindAliasForLyric(u"ぬ"_qs).isEmpty());
}

}  // namespace
}  // namespace tova::test
