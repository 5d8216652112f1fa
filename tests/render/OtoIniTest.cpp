#include "VoiceBankFixture.h"

#include "core/Settings.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"

#include <QDir>

#include <gtest/gtest.h>

namespace tova::test {
namespace {

class OtoIniTest : public VoiceBankFixture {};

TEST_F(OtoIniTest, FixtureBankLoadsInOrderWithReportAndStatus) {
    const QString bank = makeBank();
    RecordingOtoHost host;
    setOtoLoadHost(&host);
    LoadOtoIni(bank);

    const QStringList expected{
        u"a.wav\tあ\t10\t60\t-100\t50\t20"_qs,
        u"A_low.wav\tあ\t0\t40\t0\t80\t30"_qs,
        u"a.wav\tい\t12\t70\t0\t60\t25"_qs,
        u"ka.wav\tか\t5\t0\t-50\t30\t40"_qs,
        u"empty.wav"_qs,  // nothing after "=": the file alone, still an entry
        u"blank.wav\tう\t\t\t\t\t"_qs,
        u"short.wav\tえ\t1\t2"_qs,
        u"zero.wav\tお\t0\t0.0\t0\t20\t10"_qs,
        u"ソ.wav\tそ\t0\t30\t0\t20\t5"_qs,
        u"SUB\\su.wav\tす\t0\t50\t0\t40\t10"_qs,
        u"y.aiff\tや\t0\t30\t0\t20\t10"_qs,
        u"aiffonly\\z.aiff\t"_qs,  // no oto.ini and no ".wav": its ".aiff" files
        u"sub\\su.wav\tす\t1\t51\t0\t41\t11"_qs,
        u"sub\\si.wav\tし\t0\t20\t0\t30\t5"_qs,
        u"waves\\x.wav\t"_qs,  // ".wav" present: the ".aiff" beside it is not listed
    };
    EXPECT_EQ(OtoTable(), expected);

    const QString report = u"情報：\"A_low.wav\"は先行発声が固定範囲の外にあります。\r\n"
                           u"警告：\"ka.wav\"の固定範囲がゼロです。\r\n"
                           u"情報：\"ka.wav\"は先行発声よりオーバーラップが長い。\r\n"
                           u"情報：\"ka.wav\"は先行発声が固定範囲の外にあります。\r\n"
                           u"情報：\"blank.wav\"は未設定です。\r\n"
                           u"情報：\"zero.wav\"は先行発声が固定範囲の外にあります。\r\n"
                           u"情報：\"sub\\si.wav\"は先行発声が固定範囲の外にあります。\r\n"_qs;
    ASSERT_EQ(host.reports.size(), 1);
    EXPECT_EQ(host.reports[0], report);
    EXPECT_EQ(host.statusTexts,
              (QStringList{u"loading oto.ini..."_qs, u"search folders..."_qs, u"loading sub\\oto.ini..."_qs, QString()}));

    // Keys: every file and alias of an oto.ini record, the first record winning; listed samples have none.
    const QList<std::pair<QString, QString>> keys{
        {u"a.wav"_qs, u"0"_qs},       {u"あ"_qs, u"0"_qs},          {u"A_low.wav"_qs, u"1"_qs},
        {u"い"_qs, u"2"_qs},          {u"ka.wav"_qs, u"3"_qs},      {u"blank.wav"_qs, u"5"_qs},
        {u"short.wav"_qs, u"6"_qs},   {u"え"_qs, u"6"_qs},          {u"ソ.wav"_qs, u"8"_qs},
        {u"SUB\\su.wav"_qs, u"9"_qs}, {u"す"_qs, u"9"_qs},          {u"sub\\su.wav"_qs, u"12"_qs},
        {u"し"_qs, u"13"_qs},         {u"empty.wav"_qs, QString()}, {u"aiffonly\\z.aiff"_qs, QString()},
        {u"waves\\x.wav"_qs, QString()}, {u"x.wav"_qs, QString()},  {u"deep.wav"_qs, QString()},
    };
    for (const auto& [key, index] : keys) {
        EXPECT_EQ(OtoIndex().ContainsKey(key), !index.isNull()) << key.toStdString();
        EXPECT_EQ(OtoIndex().Value(key), index) << key.toStdString();
    }
}

TEST_F(OtoIniTest, ReportIsNotShownWhenSwitchedOffOrEmpty) {
    const QString bank = makeBank();
    RecordingOtoHost host;
    setOtoLoadHost(&host);
    settings().NoOtoReport = true;
    LoadOtoIni(bank);
    EXPECT_TRUE(host.reports.isEmpty());
    EXPECT_EQ(OtoTable().size(), 15);

    settings().NoOtoReport = false;
    put(u"clean/oto.ini"_qs, "a.wav=a,0,50,0,40,10\r\n");
    LoadOtoIni(file(u"clean"_qs));
    EXPECT_TRUE(host.reports.isEmpty());
    EXPECT_EQ(OtoTable(), QStringList{u"a.wav\ta\t0\t50\t0\t40\t10"_qs});
}

TEST_F(OtoIniTest, FolderWithoutOtoIniListsItsSamples) {
    put(u"plain/b.wav"_qs, tinyWave());
    put(u"plain/A.WAV"_qs, tinyWave());
    put(u"plain/c.aiff"_qs, tinyAiff());
    LoadOtoIni(file(u"plain"_qs));
    EXPECT_EQ(OtoTable(), (QStringList{u"A.WAV\t"_qs, u"b.wav\t"_qs}));
    EXPECT_TRUE(OtoIndex().Keys().isEmpty());

    put(u"aiffs/c.aiff"_qs, tinyAiff());
    LoadOtoIni(file(u"aiffs"_qs));
    EXPECT_EQ(OtoTable(), QStringList{u"c.aiff\t"_qs});

    LoadOtoIni(file(u"nothing-here"_qs));
    EXPECT_TRUE(OtoTableIsEmpty());
}

// An empty voice folder text is no bank, even where the current folder holds one.
TEST_F(OtoIniTest, EmptyFolderTextIsNoBank) {
    put(u"cwd/oto.ini"_qs, "s.wav=s,0,50,0,40,10\r\n");
    put(u"cwd/prefix.map"_qs, "C4\tx\ty\r\n");
    put(u"cwd/s.wav"_qs, tinyWave());
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(file(u"cwd"_qs)));
    LoadOtoIni(QString());
    const QStringList waves = ListVoiceWaves(QString());
    const int32_t records = LoadPrefixMap(QString());
    QDir::setCurrent(previous);
    EXPECT_TRUE(OtoTableIsEmpty());
    EXPECT_TRUE(OtoIndex().Keys().isEmpty());
    EXPECT_TRUE(waves.isEmpty());
    EXPECT_EQ(records, 0);
    EXPECT_EQ(PrefixMapEntries(), QList<PrefixMapRecord>{PrefixMapRecord{}});
}

TEST_F(OtoIniTest, LoadingReplacesTheTableAndClearingKeepsTheIndex) {
    LoadOtoIni(makeBank());
    ASSERT_FALSE(OtoTableIsEmpty());
    ClearOtoTable();
    EXPECT_TRUE(OtoTableIsEmpty());
    EXPECT_TRUE(OtoIndex().ContainsKey(u"あ"_qs));  // stale, never consulted while the table is empty
    EXPECT_EQ(PrefixMapEntries(), QList<PrefixMapRecord>{PrefixMapRecord{}});
    EXPECT_EQ(PrefixMapIndex(), QList<int32_t>{0});

    put(u"other/oto.ini"_qs, "o.wav=o,0,50,0,40,10\r\n");
    LoadOtoIni(file(u"other"_qs));
    EXPECT_FALSE(OtoIndex().ContainsKey(u"あ"_qs));
    EXPECT_EQ(OtoTable().size(), 1);
}

// A table far beyond the old fixed capacity of the string map loads whole, with lines ended by a
// lone LF (a bank edited on another system).
TEST_F(OtoIniTest, LargeOtoIniLoadsWhole) {
    QByteArray oto;
    const int count = 25000;
    for (int i = 0; i < count; ++i)
        oto += "s" + QByteArray::number(i) + ".wav=a" + QByteArray::number(i) + ",0,50,0,40,10\n";
    put(u"big/oto.ini"_qs, oto);
    LoadOtoIni(file(u"big"_qs));
    ASSERT_EQ(OtoTable().size(), count);
    EXPECT_EQ(OtoTable().back(), u"s24999.wav\ta24999\t0\t50\t0\t40\t10"_qs);
    EXPECT_EQ(OtoIndex().Value(u"a24999"_qs), u"24999"_qs);
    EXPECT_EQ(OtoIndex().Value(u"s24999.wav"_qs), u"24999"_qs);
}

// A bank shaped like the largest in use: 33,000 entries under Japanese names, in a sub-folder too.
QByteArray realBankOto(int count) {
    QString text;
    for (int i = 0; i < count; ++i)
        text += u"_あいう%1_C4.wav=- あ%1_C4,1523.5,180,-250,120,40\r\n"_qs.arg(i);
    return Cp932::encode(text);
}

// An oto.ini past what a bank holds is refused whole before it is decoded, with a message naming the
// file and the bound, and leaves no half-read table; the voice folder's file and a sub-folder's alike.
TEST_F(OtoIniTest, OutsizedOtoIniIsRefusedWithItsName) {
    struct Case {
        const char* what;
        QByteArray bytes;
        QString says;
    };
    const Case cases[] = {
        {"too many lines", QByteArray(kOtoIniBounds.lines + 1, '\n'), u"行が多すぎるため読み込みません"_qs},
        {"one long line", "a.wav=a,0,50,0,40,10\r\nb.wav=" + QByteArray(kOtoIniBounds.lineBytes, 'x'),
         u"の2行目は長すぎるため読み込みません"_qs},
        {"too many bytes", QByteArray(kOtoIniBounds.bytes + 1, 'x'), u"は大きすぎるため読み込みません"_qs},
    };
    for (const Case& c : cases) {
        for (const QString where : {u"top"_qs, u"sub"_qs}) {
            SCOPED_TRACE(std::string(c.what) + " in " + where.toStdString());
            LoadOtoIni(makeBank());  // a table loaded before
            const QString bank = file(u"outsized"_qs);
            put(u"outsized/oto.ini"_qs, "a.wav=a,0,50,0,40,10\r\n");
            const QString target = where == u"top" ? u"outsized/oto.ini"_qs : u"outsized/sub/oto.ini"_qs;
            put(target, c.bytes);
            try {
                LoadOtoIni(bank);
                ADD_FAILURE() << "loaded";
            } catch (const FileError& e) {
                EXPECT_TRUE(e.description().contains(file(target))) << e.description().toStdString();
                EXPECT_TRUE(e.description().contains(c.says)) << e.description().toStdString();
            }
            EXPECT_TRUE(OtoTableIsEmpty());
            EXPECT_FALSE(OtoIndex().ContainsKey(u"a.wav"_qs));
            QDir(bank).removeRecursively();
        }
    }
}

TEST_F(OtoIniTest, LargestBanksInUseLoadWhole) {
    const int count = 33000;
    put(u"real/oto.ini"_qs, realBankOto(count));
    put(u"real/sub/oto.ini"_qs, realBankOto(count));
    LoadOtoIni(file(u"real"_qs));
    ASSERT_EQ(OtoTable().size(), 2 * count);
    EXPECT_EQ(OtoTable().back(), u"sub\\_あいう32999_C4.wav\t- あ32999_C4\t1523.5\t180\t-250\t120\t40"_qs);
}

TEST_F(OtoIniTest, CheckOtoEntryRules) {
    const struct {
        const char16_t* entry;
        const char16_t* report;
    } cases[] = {
        {u"a.wav\ta\t0\t50\t0\t40\t10", u""},
        {u"a.wav\ta\t\t\t\t\t", u"情報：\"a.wav\"は未設定です。\r\n"},
        {u"a.wav\ta\t1\t2\t3\t4", u""},  // fewer than seven fields
        {u"a.wav\ta\t0\t0\t0\t0\t0", u"警告：\"a.wav\"の固定範囲がゼロです。\r\n"},
        {u"a.wav\ta\t0\t0.0\t0\t20\t10", u"情報：\"a.wav\"は先行発声が固定範囲の外にあります。\r\n"},
        {u"a.wav\ta\t0\t50\t0\t20\t30", u"情報：\"a.wav\"は先行発声よりオーバーラップが長い。\r\n"},
        {u"a.wav\ta\t0\t5x\t0\t3y\tabc", u""},  // texts read as their leading number, 0 when none
        {u"a.wav\ta\t0\t0\t0\t\t5",
         u"警告：\"a.wav\"の固定範囲がゼロです。\r\n情報：\"a.wav\"は先行発声よりオーバーラップが長い。\r\n"},
        {u"a.wav\ta\t0\t50\t0\t40\t10\textra", u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckOtoEntry(QString::fromUtf16(c.entry)), QString::fromUtf16(c.report))
            << QString::fromUtf16(c.entry).toStdString();
}

TEST_F(OtoIniTest, ListVoiceWavesTakesOneLevelOfSubFolders) {
    const QString bank = makeBank();
    EXPECT_EQ(ListVoiceWaves(bank),
              (QStringList{u"a.wav"_qs, u"a_low.WAV"_qs, u"ka.wav"_qs, u"short.wav"_qs, u"y.aiff"_qs, u"ソ.wav"_qs,
                           u"aiffonly\\z.aiff"_qs, u"sub\\si.wav"_qs, u"sub\\Su.WAV"_qs, u"waves\\x.wav"_qs,
                           u"waves\\y.aiff"_qs}));
    EXPECT_TRUE(ListVoiceWaves(file(u"missing"_qs)).isEmpty());
}

// Sample names from oto.ini reach the files on disk whatever their letter case and separator.
TEST_F(OtoIniTest, SampleNamesResolveOnDiskWithoutRegardToCase) {
    const QString bank = makeBank();
    LoadOtoIni(bank);
    for (const QString& entry : OtoTable()) {
        const QString sample = entry.section(u'\t', 0, 0);
        if (sample == u"empty.wav" || sample == u"blank.wav" || sample == u"zero.wav") continue;  // no such files
        EXPECT_TRUE(FileSystem::isFile(bank + u'/' + sample)) << sample.toStdString();
    }
}

}  // namespace
}  // namespace tova::test
