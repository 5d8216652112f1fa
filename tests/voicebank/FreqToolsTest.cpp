#include "VoiceBankFixture.h"
#include "support/FullDisk.h"
#include "platform/Errors.h"
#include "platform/SystemErrorText.h"

#include "core/Processes.h"
#include "core/Settings.h"
#include "core/WaveFiles.h"
#include "platform/FakePorts.h"
#include "render/OtoIni.h"
#include "voicebank/FreqGenerator.h"
#include "voicebank/FreqGeneratorProgress.h"
#include "voicebank/FreqTableCommands.h"
#include "voicebank/FreqTableEditor.h"
#include "voicebank/ParameterEstimation.h"
#include "voicebank/Tool2Calls.h"
#include "voicebank/VoiceBankManager.h"
#include "voicebank/VoiceBankToolSet.h"
#include "voicebank/VoiceBankToolsView.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cmath>

using namespace tova;
using namespace tova::test;
using namespace Qt::StringLiterals;

namespace {

// A table of frames given as (frequency, level) pairs.
void writeTable(const QString& samplePath, const QVector<double>& frames, double key = 220.0) {
    FrqHeader h;
    h.signature = "TOVAFRQ1";
    h.averageFreq = key;
    h.frameCount = qint32(frames.size() / 2);
    ASSERT_TRUE(WriteFrqFile(h, frames, samplePath));
}

// `quiet` frames of level 0, `unvoiced` loud frames without pitch, `voiced` loud frames with pitch,
// then `tail` quiet frames.
QVector<double> frames(int quiet, int unvoiced, int voiced, int tail) {
    QVector<double> f;
    for (int i = 0; i < quiet; ++i) f << 55.0 << 0.0;
    for (int i = 0; i < unvoiced; ++i) f << 55.0 << 3200.0;
    for (int i = 0; i < voiced; ++i) f << 220.0 << 3200.0;
    for (int i = 0; i < tail; ++i) f << 55.0 << 0.0;
    return f;
}

// Tool 2 as the tests see it: every call is recorded; a table call writes a table for its sample.
struct FakeTool : Tool2Calls {
    QStringList commands, batches;
    QList<QStringList> execs;
    bool running = false;
    bool refuseStart = false;
    QStringList started;
    static QString quoted(const QString& line, int n) {
        return line.section(u'"', 2 * n + 1, 2 * n + 1);
    }
    void makeTable(const QString& sample) { writeTable(sample, frames(2, 2, 20, 2)); }
    void runAndWait(const QString& line) override {
        commands << line;
        if (line.contains(u" GN 0 100"_s)) makeTable(quoted(line, 1));
    }
    void runBatchAndWait(const QString& batch) override {
        batches << batch;
        const QString text = Cp932::decodeMarked(readFile(batch));
        for (const QString& line : text.split(u"\r\n"_s, Qt::SkipEmptyParts)) makeTable(quoted(line, 1));
    }
    int libraryExec(const QStringList& args) override {
        execs << args;
        makeTable(args[0]);
        return 0;
    }
    bool runWithTimeLimit(const QString& line, int) override {
        commands << line;
        return true;
    }
    bool startBatch(const QString& batch, QString& error) override {
        if (refuseStart) {
            error = u"no runner"_s;
            return false;
        }
        started << batch;
        running = runsWhenStarted;
        return true;
    }
    bool batchRunning() override { return running; }
    bool runsWhenStarted = false;  // the started batch goes on until a test ends it
    int stops = 0;
    void stopBatch() override {
        ++stops;
        running = false;
    }
};

struct FakeView : VoiceBankToolsView {
    QList<int> runs;
    int ended = 0;
    QStringList generators, editors;
    bool editorAnswer = false;
    void beginRun(int count) override { runs << count; }
    void advance(int) override {}
    void endRun() override { ++ended; }
    void showFreqGenerator(const QString& folder) override { generators << folder; }
    bool loadFreqFile(const QString& path) override {
        editors << path;
        return editorAnswer;
    }
    int editEntry(VoiceBankManager&, int) override { return 0; }
};

// A bank folder, the scripted ports, the settings and a temporary folder of its own for every test.
struct BankTest : ::testing::Test {
    BankFolder bank;
    ScopedFakePorts ports;
    QString savedTemp = TempFolder;
    BankTest() {
        settings() = Settings{};
        settings().Tool2Path = u"/opt/tool 2/vorsa"_s;
        TempFolder = bank.dir.path() + u"/tmp"_s;
        QDir().mkpath(TempFolder);
    }
    ~BankTest() override {
        TempFolder = savedTemp;
        settings() = Settings{};
    }
    void answer(std::initializer_list<MsgResult> answers) {
        ports.messageBox.answers.clear();
        for (MsgResult a : answers) ports.messageBox.answers.enqueue(a);
    }
};

}  // namespace

// ---------------------------------------------------------------------------------------------------
// Parameter estimation

TEST(Estimation, FramesAreAnalysedIntoQuietLeadVoiceStartAndRun) {
    struct {
        QVector<double> table;
        FrameAnalysis want;
    } cases[] = {
        {frames(10, 4, 30, 6), {50, 10, 14, 29, 4}},
        {frames(0, 0, 30, 6), {36, 0, 0, 30, 0}},   // frame 0 voiced: counted in the run
        {frames(0, 3, 30, 6), {39, 0, 3, 29, 3}},
        {frames(40, 0, 0, 0), {40, 40, 40, 0, 0}},  // every level 0: no loud frame
    };
    for (const auto& c : cases) {
        const FrameAnalysis a = AnalyseFrames(c.table);
        EXPECT_EQ(a.N, c.want.N);
        EXPECT_EQ(a.O, c.want.O);
        EXPECT_EQ(a.S, c.want.S);
        EXPECT_EQ(a.V, c.want.V);
        EXPECT_EQ(a.C, c.want.C);
    }
    // A quiet frame below 1/32 of the loudest breaks the voiced run.
    QVector<double> gap = frames(0, 0, 10, 0);
    gap[2 * 5 + 1] = 3200.0 / 32;
    EXPECT_EQ(AnalyseFrames(gap).V, 5);
}

TEST(Estimation, GroupsByTheFileNamesFirstCharacter) {
    EXPECT_EQ(GroupOfSample(u"あ.wav"_s), SampleGroup::Vowel);
    EXPECT_EQ(GroupOfSample(u"ん.wav"_s), SampleGroup::Vowel);
    EXPECT_EQ(GroupOfSample(u"sub\\か.wav"_s), SampleGroup::Plosive);
    EXPECT_EQ(GroupOfSample(u"ぽ.wav"_s), SampleGroup::Plosive);
    EXPECT_EQ(GroupOfSample(u"わ.wav"_s), SampleGroup::Nasal);
    EXPECT_EQ(GroupOfSample(u"ぬ.wav"_s), SampleGroup::Other);
    EXPECT_EQ(GroupOfSample(u"む.wav"_s), SampleGroup::Other);
    EXPECT_EQ(GroupOfSample(u"さ.wav"_s), SampleGroup::Other);
}

TEST(Estimation, TheTableOfTheFourGroups) {
    // N = 50, O = 10, S = 14, V = 29, C = 4; P = 256000 / 44100 ms.
    const FrameAnalysis a{50, 10, 14, 29, 4};
    const double P = 256000.0 / 44100.0;
    auto fl = [](double v) { return QString::number(qint64(std::floor(v))); };
    const QString blank = fl((50 - (0.75 * 29 + 10 + 4)) * P);
    struct {
        SampleGroup group;
        std::array<QString, 5> want;
    } cases[] = {
        {SampleGroup::Vowel, {fl(10 * P), fl(4 * P + 29 * P / 3), blank, u"0"_s, u"0"_s}},
        {SampleGroup::Plosive, {u"0"_s, fl(14 * P + 29 * P / 3), blank, fl(14 * P), u"0"_s}},
        {SampleGroup::Nasal, {fl(10 * P), fl(4 * P + 29 * P / 2), blank, fl(0.875 * 4 * P + 25), fl(0.333 * 4 * P)}},
        {SampleGroup::Other, {fl(10 * P), fl(4 * P + 29 * P / 2), blank, fl(4 * P), fl(0.5 * 4 * P)}},
    };
    for (const auto& c : cases) EXPECT_EQ(EstimateTimings(a, c.group), c.want) << int(c.group);
    // The long-run constants.
    const FrameAnalysis longRun{200, 0, 0, 100, 0};
    EXPECT_EQ(EstimateTimings(longRun, SampleGroup::Vowel)[1], u"80"_s);
    EXPECT_EQ(EstimateTimings(longRun, SampleGroup::Nasal)[1], u"130"_s);
    EXPECT_EQ(EstimateTimings(longRun, SampleGroup::Nasal)[3], u"25"_s);
    // A negative blank keeps its sign: ⌊(4 − 0.75 × 8) × P⌋ = ⌊−11.6⌋.
    EXPECT_EQ(EstimateTimings({4, 0, 0, 8, 0}, SampleGroup::Vowel)[2], u"-12"_s);
}

TEST(Estimation, TheLengthCheckOfASilentTable) {
    // All levels 0 in 40 frames: L = 232.2 ms.
    const FrameAnalysis a = AnalyseFrames(frames(40, 0, 0, 0));
    std::array<QString, 5> vowel = EstimateTimings(a, SampleGroup::Vowel);
    EXPECT_EQ(vowel[0], u"232"_s);
    ApplyLengthCheck(a.N, vowel);
    EXPECT_EQ(vowel, (std::array<QString, 5>{u"232"_s, u"0"_s, u"0"_s, u"0"_s, u"0"_s}));
    std::array<QString, 5> plosive = EstimateTimings(a, SampleGroup::Plosive);
    ApplyLengthCheck(a.N, plosive);
    EXPECT_EQ(plosive, (std::array<QString, 5>{u"0"_s, u"77"_s, u"77"_s, u"77"_s, u"0"_s}));
    // An overlap beyond an odd consonant becomes half of it, with its fraction.
    std::array<QString, 5> set{u"10"_s, u"500"_s, u"0"_s, u"0"_s, u"90"_s};
    ApplyLengthCheck(10, set);  // L = 58.05: consonant ⌊48.05 / 3⌋ = 16 ... even
    EXPECT_EQ(set[1], u"16"_s);
    EXPECT_EQ(set[4], u"8"_s);
    std::array<QString, 5> odd{u"7"_s, u"500"_s, u"0"_s, u"0"_s, u"90"_s};
    ApplyLengthCheck(10, odd);  // ⌊51.05 / 3⌋ = 17
    EXPECT_EQ(odd[4], u"8.5"_s);
}

struct ToolsTest : BankTest {
    FakeTool tool;
    FakeView view;
    VoiceBankToolSet tools{tool, view};
    VoiceBankManager m{&tools};

    void SetUp() override {
        bank.oto(u"oto.ini"_s, u"あ.wav=あ,,,,,\r\nか.wav=か,12,34,56,7,8\r\nさ.wav=さ,,,,,\r\n"_s);
        for (const QString& n : {u"あ.wav"_s, u"か.wav"_s, u"さ.wav"_s}) bank.file(n, "RIFF");
        LoadOtoIni(bank.root());
        ASSERT_TRUE(m.BeginShow(bank.root(), QString(), QString(), bank.path(u"cache"_s), false));
    }
    void TearDown() override { ClearOtoTable(); }
    int row(const QString& text) const {
        for (int i = 0; i < m.rows.size(); ++i)
            if (m.rows[i].text == text) return i;
        return -1;
    }
    QStringList values(const QString& text) const {
        const SampleRow& r = m.rows[row(text)];
        return {r.item(2), r.item(3), r.item(4), r.item(5), r.item(6)};
    }
    void cacheFiles(const QStringList& names) {
        for (const QString& n : names) bank.file(u"cache/"_s + n, "x");
    }
    QStringList cacheLeft() const { return QDir(bank.path(u"cache"_s)).entryList(QDir::Files); }
};

// The manager's OK/Cancel questions before a change of many rows show the question icon; Cancel
// changes nothing.
TEST_F(ToolsTest, QuestionsOfTheManagerCarryTheQuestionIcon) {
    const std::pair<const char*, void (VoiceBankManager::*)()> questions[] = {
        {"clear aliases", &VoiceBankManager::Label3_DblClick},
        {"aliases from file names", &VoiceBankManager::AliasFromFileName},
        {"estimate parameters", &VoiceBankManager::Form_DblClick},
    };
    for (const auto& [name, command] : questions) {
        SCOPED_TRACE(name);
        ports.messageBox.shown.clear();
        answer({MsgResult::Cancel});
        (m.*command)();
        ASSERT_EQ(ports.messageBox.shown.size(), 1);
        EXPECT_EQ(ports.messageBox.shown.front().buttons, MsgButtons::OKCancel);
        EXPECT_EQ(ports.messageBox.shown.front().icon, MsgIcon::Question);
        EXPECT_FALSE(m.ListChanged);
    }
}

TEST_F(ToolsTest, EstimationWritesEligibleRowsAndChecksTheLengthOfAll) {
    writeTable(bank.path(u"あ.wav"_s), frames(10, 4, 30, 6));
    writeTable(bank.path(u"か.wav"_s), frames(10, 4, 30, 6));
    writeTable(bank.path(u"さ.wav"_s), frames(10, 4, 30, 6));
    answer({MsgResult::OK});
    m.Form_DblClick();
    const FrameAnalysis a = AnalyseFrames(frames(10, 4, 30, 6));
    auto expected = [&](SampleGroup g) {
        auto t = EstimateTimings(a, g);
        ApplyLengthCheck(a.N, t);
        return QStringList(t.begin(), t.end());
    };
    EXPECT_EQ(values(u"あ.wav"_s), expected(SampleGroup::Vowel));
    EXPECT_EQ(values(u"さ.wav"_s), expected(SampleGroup::Other));
    // A row with values keeps them (they fit: 12 + 34 + 56 + 2 < 290 ms).
    EXPECT_EQ(values(u"か.wav"_s), QStringList({u"12"_s, u"34"_s, u"56"_s, u"7"_s, u"8"_s}));
    EXPECT_EQ(ports.messageBox.shown.front().text, u"パラメータの推定を行います"_s);
    EXPECT_TRUE(m.ListChanged);
    // Single mode visits and selects every row: the last one stays selected.
    EXPECT_EQ(m.selectedRow, int(m.rows.size()) - 1);
}

TEST_F(ToolsTest, EstimationAsksToMakeAMissingTableAndStopsOnCancel) {
    writeTable(bank.path(u"さ.wav"_s), frames(10, 4, 30, 6));
    // あ: Yes makes the table (tool 2 with "GN"); か: Cancel stops before さ.
    answer({MsgResult::OK, MsgResult::Yes, MsgResult::Cancel});
    m.Form_DblClick();
    ASSERT_EQ(tool.commands.size(), 1);
    EXPECT_EQ(tool.commands[0], u"\"/opt/tool 2/vorsa\" \""_s + QDir(bank.root()).filePath(u"あ.wav"_s) + u"\" \""_s +
                                     TempFolder + u"/temp.wav\" 100 100 GN 0 100"_s);
    EXPECT_TRUE(ports.messageBox.shown[1].text.startsWith(u"あ.wavの周波数表を作成しますか？\n「いいえ」：スキップ"_s));
    EXPECT_FALSE(values(u"あ.wav"_s)[0].isEmpty());
    EXPECT_TRUE(values(u"さ.wav"_s)[0].isEmpty());  // after the cancel: untouched
}

TEST_F(ToolsTest, MultiSelectEstimatesOnlyTheSelectedRows) {
    writeTable(bank.path(u"あ.wav"_s), frames(10, 4, 30, 6));
    writeTable(bank.path(u"さ.wav"_s), frames(10, 4, 30, 6));
    m.SetMultiSelect(true);
    for (SampleRow& r : m.rows) r.selected = r.text == u"さ.wav"_s;
    answer({MsgResult::OK});
    m.Form_DblClick();
    EXPECT_EQ(ports.messageBox.shown.front().text, u"選択範囲のパラメータを推定します"_s);
    EXPECT_TRUE(values(u"あ.wav"_s)[0].isEmpty());
    EXPECT_FALSE(values(u"さ.wav"_s)[0].isEmpty());
}

// ---------------------------------------------------------------------------------------------------
// Frequency-table commands

TEST_F(ToolsTest, SingleRowRunMakesTheTableMarksTheRowAndDropsItsRenderings) {
    cacheFiles({u"1_か_C4_480.wav"_s, u"2_さ_C4_480.wav"_s});
    m.selectRow(row(u"か.wav"_s));
    m.CurrentKey = m.rows[m.selectedRow].key;
    answer({MsgResult::OK});
    m.cmdDeleteFreqList_Click();
    EXPECT_EQ(ports.messageBox.shown[0].text, u"「か.wav」の周波数表を再作成します。"_s);
    ASSERT_EQ(tool.commands.size(), 1);
    EXPECT_TRUE(tool.commands[0].endsWith(u"か.wav\" nul 100 100 GN 0 100"_s));
    EXPECT_EQ(m.rows[row(u"か.wav"_s)].item(7), u"○"_s);
    EXPECT_TRUE(m.cmdFreqListEnabled);
    EXPECT_EQ(cacheLeft(), QStringList({u"2_さ_C4_480.wav"_s}));
    EXPECT_EQ(m.RepeatCount, 1);
    EXPECT_FALSE(m.Busy);
}

TEST_F(ToolsTest, TenRunsOrTenCancelsInARowOpenTheBatchGenerator) {
    m.selectRow(row(u"さ.wav"_s));
    for (int i = 0; i < 10; ++i) {
        answer({MsgResult::OK});
        m.cmdDeleteFreqList_Click();
    }
    EXPECT_EQ(m.RepeatCount, 10);
    m.cmdDeleteFreqList_Click();
    EXPECT_EQ(view.generators, QStringList({bank.root()}));
    EXPECT_EQ(m.RepeatCount, 0);
    // Cancels count down; a confirmed run after them starts again from 0.
    answer({MsgResult::Cancel, MsgResult::Cancel, MsgResult::OK});
    for (int i = 0; i < 3; ++i) m.cmdDeleteFreqList_Click();
    EXPECT_EQ(m.RepeatCount, 0);
    answer({MsgResult::OK, MsgResult::Cancel});
    m.cmdDeleteFreqList_Click();
    m.cmdDeleteFreqList_Click();
    EXPECT_EQ(m.RepeatCount, 0);
}

TEST_F(ToolsTest, MultiRowRunThroughTheBatchMarksEveryMadeTableAndDropsTheirRenderings) {
    bank.file(u"さ.wav"_s, QByteArray());
    QFile::remove(bank.path(u"さ.wav"_s));  // a missing sample is skipped silently
    cacheFiles({u"1_あ_C4_480.wav"_s, u"2_か_C4_480.wav"_s, u"3_さ_C4_480.wav"_s});
    m.SetMultiSelect(true);
    for (SampleRow& r : m.rows) r.selected = r.text != u"か.wav"_s;
    answer({MsgResult::OK});
    m.cmdDeleteFreqList_Click();
    ASSERT_EQ(tool.batches.size(), 1);
    EXPECT_EQ(tool.batches[0], TempFolder + u"/temp.bat"_s);
    const QString batch = Cp932::decodeMarked(readFile(tool.batches[0]));
    EXPECT_EQ(batch, u"\"/opt/tool 2/vorsa\" \""_s + QDir(bank.root()).filePath(u"あ.wav"_s) + u"\" nul 100 100 GN 0 100\r\n"_s);
    EXPECT_EQ(m.rows[row(u"あ.wav"_s)].item(7), u"○"_s);
    EXPECT_TRUE(m.rows[row(u"さ.wav"_s)].item(7).isEmpty());
    EXPECT_EQ(cacheLeft(), QStringList({u"2_か_C4_480.wav"_s, u"3_さ_C4_480.wav"_s}));
    EXPECT_EQ(m.RepeatCount, 0);
}

TEST_F(ToolsTest, MultiRowRunInProcessCallsTheLibraryWithItsThirteenTexts) {
    settings().UseDLL = true;
    m.SetMultiSelect(true);
    for (SampleRow& r : m.rows) r.selected = true;
    answer({MsgResult::OK});
    m.cmdDeleteFreqList_Click();
    ASSERT_EQ(tool.execs.size(), 3);
    EXPECT_EQ(tool.execs[0].mid(1), QStringList({u"nul"_s, u"100"_s, u"100"_s, u"GN"_s, u"0"_s, u"100"_s, u"0"_s, u"0"_s,
                                                 u"100"_s, u"0"_s, u"120"_s, QString()}));
    EXPECT_EQ(view.runs, QList<int>({3}));
    EXPECT_EQ(view.ended, 1);
    for (const SampleRow& r : m.rows) EXPECT_EQ(r.item(7), u"○"_s) << r.text.toStdString();
    // With no row selected the question is still asked and the panel opens for none.
    for (SampleRow& r : m.rows) r.selected = false;
    answer({MsgResult::OK});
    m.cmdDeleteFreqList_Click();
    EXPECT_EQ(view.runs, QList<int>({3, 0}));
    EXPECT_EQ(tool.execs.size(), 3);
}

TEST_F(ToolsTest, TheEditorIsOpenedOnTheSelectedSampleAndAChangeDropsItsRenderings) {
    cacheFiles({u"1_か_C4_480.wav"_s});
    m.selectRow(row(u"か.wav"_s));
    view.editorAnswer = true;
    m.RepeatCount = 4;
    m.cmdFreqList_Click();
    EXPECT_EQ(view.editors, QStringList({QDir(bank.root()).filePath(u"か.wav"_s)}));
    EXPECT_TRUE(cacheLeft().isEmpty());
    EXPECT_EQ(m.RepeatCount, 0);
}

// ---------------------------------------------------------------------------------------------------
// Frequency-table editor

struct EditorTest : BankTest {
    FreqTableEditor e;
    QString sample;
    void SetUp() override {
        sample = bank.path(u"か.wav"_s);
        bank.file(u"か.wav"_s, "RIFF");
        QVector<double> f;
        for (int i = 0; i < 10; ++i) f << (i == 2 ? 55.0 : 100.0 + i) << 400.0;
        writeTable(sample, f, 105.0);
        ASSERT_TRUE(e.Load(sample));
    }
    void select(std::initializer_list<int> rows) {
        e.selected.fill(false);
        for (int r : rows) e.selected[r] = true;
        e.listIndex = *rows.begin();
    }
};

TEST_F(EditorTest, LoadShowsEveryFrameAndTheKey) {
    EXPECT_EQ(e.fileName, u"か.wav"_s);
    ASSERT_EQ(e.List1.size(), 10);
    EXPECT_EQ(e.List1[0], u"100.00000000"_s);
    EXPECT_EQ(e.List1[2], u"----"_s);
    EXPECT_EQ(e.txtFreqAvg, u"105.00000000"_s);
    EXPECT_FALSE(e.modified);
    FreqTableEditor missing;
    EXPECT_FALSE(missing.Load(bank.path(u"none.wav"_s)));
}

TEST_F(EditorTest, ArithmeticOnSelectedFramesTreatsNoPitchAsANumber) {
    select({2, 3});
    e.lbx2_DblClick();
    EXPECT_EQ(e.List1[2], u"110.00000000"_s);
    EXPECT_EQ(e.List1[3], u"206.00000000"_s);
    EXPECT_EQ(e.txtFrequency, u"206.00000000"_s);
    EXPECT_TRUE(e.modified);
    select({4});
    e.lbs3_DblClick();
    EXPECT_EQ(e.List1[4], u"34.66666667"_s);
    e.lbx3_DblClick();
    EXPECT_EQ(e.freq(4), 104.0);
    e.lbs2_DblClick();
    EXPECT_EQ(e.List1[4], u"52.00000000"_s);
    select({5, 6});
    e.lbc_DblClick();
    EXPECT_EQ(e.List1[5], u"----"_s);
    EXPECT_EQ(e.freq(6), 55.0);
}

TEST_F(EditorTest, StraightLineJoinsTheEndsOfTheSelection) {
    select({3, 7});
    e.lbavg_DblClick();  // 103 .. 107 through rows 4, 5, 6, selected or not
    EXPECT_EQ(e.List1[4], u"104.00000000"_s);
    EXPECT_EQ(e.List1[6], u"106.00000000"_s);
    select({1, 3});
    e.lbavg_DblClick();  // a no-pitch row between: 101 .. 103
    EXPECT_EQ(e.List1[2], u"102.00000000"_s);
    select({8, 9});
    e.modified = false;
    e.lbavg_DblClick();  // adjacent rows: nothing changes
    EXPECT_FALSE(e.modified);
}

TEST_F(EditorTest, SetValueAndTheKeyBox) {
    select({1});
    e.txtFrequency = u"123.5"_s;
    e.cmdSetValue_Click();
    EXPECT_EQ(e.List1[1], u"123.5"_s);  // as typed
    EXPECT_EQ(e.freq(1), 123.5);
    e.txtFrequency = u"abc"_s;
    e.cmdSetValue_Click();
    EXPECT_EQ(e.freq(1), 123.5);
    e.txtFreqAvg_Change(u"x"_s);
    EXPECT_EQ(e.txtFreqAvg, u"105.00000000"_s);
    e.txtFreqAvg_Change(u"200"_s);
    EXPECT_EQ(e.key, 200.0);
    EXPECT_EQ(e.txtFreqAvg, u"200.00000000"_s);
    select({0, 1, 2});
    e.lbSetKey_DblClick();  // 100 and 123.5; the no-pitch row does not count
    EXPECT_EQ(e.txtFreqAvg, u"111.75000000"_s);
}

TEST_F(EditorTest, WritingKeepsAZeroKeyOutAndReportsBothWays) {
    select({0});
    e.lbx2_DblClick();
    e.txtFreqAvg = u"0"_s;
    e.OKButton_Click();
    EXPECT_EQ(ports.messageBox.lastText(), u"か.wavの周波数表を更新しました。"_s);
    FrqHeader h;
    QVector<double> f;
    ASSERT_TRUE(ReadFrqFile(h, f, sample));
    EXPECT_EQ(h.averageFreq, 105.0);
    EXPECT_EQ(f[0], 200.0);
    EXPECT_TRUE(QFile::exists(bank.path(u"か_wav.bak"_s)));
    EXPECT_FALSE(e.modified);
    e.CancelButton_Click();
    EXPECT_TRUE(e.hidden);
}

// OK with nothing edited writes nothing: the table keeps its bytes and the older backup stays.
TEST_F(EditorTest, OkWithoutAnEditWritesNothing) {
    const QString table = bank.path(u"か_wav.frq"_s);
    QByteArray bytes = readFile(table);
    bytes += QByteArray(12, '\x7f');  // bytes after the frames, as some tools leave them
    bank.file(u"か_wav.frq"_s, bytes);
    bank.file(u"か_wav.bak"_s, "older backup");
    ASSERT_TRUE(e.Load(sample));
    e.txtFreqAvg = u"0"_s;  // refused, so the key stays
    e.OKButton_Click();
    EXPECT_EQ(readFile(table), bytes);
    EXPECT_EQ(readFile(bank.path(u"か_wav.bak"_s)), "older backup");
    EXPECT_EQ(ports.messageBox.lastText(), u"か.wavの周波数表は変更されていないため、書き込みませんでした。"_s);
    // An edit is written.
    select({0});
    e.lbx2_DblClick();
    e.OKButton_Click();
    EXPECT_EQ(ports.messageBox.lastText(), u"か.wavの周波数表を更新しました。"_s);
    EXPECT_NE(readFile(table), bytes);
}

TEST_F(EditorTest, AFailedWriteKeepsTheOldTableAndSaysSo) {
    // The backup's name is taken by a folder that holds a file: the old table cannot make way.
    bank.file(u"か_wav.bak/x"_s, "x");
    select({0});
    e.lbx2_DblClick();
    e.OKButton_Click();
    EXPECT_EQ(ports.messageBox.lastText(), u"か.wavの周波数表を更新出来ませんでした。"_s);
    EXPECT_EQ(ports.messageBox.shown.back().icon, MsgIcon::Exclamation);
    FrqHeader h;
    QVector<double> f;
    ASSERT_TRUE(ReadFrqFile(h, f, sample));
    EXPECT_EQ(f[0], 100.0);
    EXPECT_TRUE(e.modified);
    EXPECT_TRUE(e.result);
    // Closing asks; Cancel keeps the window.
    answer({MsgResult::Cancel});
    e.CancelButton_Click();
    EXPECT_FALSE(e.hidden);
    EXPECT_EQ(ports.messageBox.lastText(), u"ファイルに書き込んでいません。変更を破棄してよろしいですか？"_s);
}

// A frame raised past what a table may hold (100 Hz doubled six times) is not written: a table the
// program itself would take for damaged would be read by nothing and remade over the user's edit by
// the next rendering. The old table stays and the user is told.
TEST_F(EditorTest, AFrameBeyondWhatATableHoldsIsNotWritten) {
    select({0});
    for (int i = 0; i < 6; ++i) e.lbx2_DblClick();
    ASSERT_EQ(e.freq(0), 6400.0);
    e.OKButton_Click();
    EXPECT_EQ(ports.messageBox.lastText(), u"か.wavの周波数表を更新出来ませんでした。"_s);
    FrqHeader h;
    QVector<double> f;
    ASSERT_TRUE(ReadFrqFile(h, f, sample)) << "the table on disk stays readable";
    EXPECT_EQ(f[0], 100.0);
    EXPECT_TRUE(e.modified);
}

TEST_F(EditorTest, RevertReadsTheFileAgain) {
    select({0});
    e.lbx2_DblClick();
    e.lbre_DblClick();
    EXPECT_EQ(e.List1[0], u"100.00000000"_s);
    EXPECT_FALSE(e.modified);
    EXPECT_TRUE(e.txtFrequency.isEmpty());
}

// ---------------------------------------------------------------------------------------------------
// Batch generator

struct GeneratorTest : BankTest {
    FakeTool tool;
    FreqGenerator g{tool};
    void SetUp() override { g.voiceFolder = bank.root(); }
    QStringList batchLines() const {
        return Cp932::decodeMarked(readFile(TempFolder + u"/regen.bat"_s)).split(u"\r\n"_s, Qt::SkipEmptyParts);
    }
};

TEST_F(GeneratorTest, ABankWithoutSubFoldersGivesTwoLinesAndTheClosingThree) {
    g.OKButton_Click();
    const QString root = bank.root();
    EXPECT_EQ(batchLines(), QStringList({u"@for %%i in (\""_s + root + u"/*.wav\") do \"/opt/tool 2/vorsa\" \"%%i\" nul 100 100 GN0 50"_s,
                                         u"@for %%i in (\""_s + root + u"/*.aiff\") do \"/opt/tool 2/vorsa\" \"%%i\" nul 100 100 GN0 50"_s,
                                         u"@echo 周波数表の生成が終了しました。"_s, u"@echo ウィンドウを閉じるには何かキーを押してください。"_s,
                                         u"@pause>nul"_s}));
    EXPECT_EQ(tool.started, QStringList({TempFolder + u"/regen.bat"_s}));
    EXPECT_TRUE(g.hidden);
}

TEST_F(GeneratorTest, SubFoldersAndTheMissingOnlyMode) {
    bank.file(u"sub a/x.wav"_s, "RIFF");
    g.mode = FreqGenerator::GenerateMissing;
    g.chkCloseWindowAtEnd = true;
    g.OKButton_Click();
    const QStringList lines = batchLines();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[2], u"@for %%i in (\""_s + bank.root() + u"/sub a/*.wav\") do \"/opt/tool 2/vorsa\" \"%%i\" nul 100 100 N0 50"_s);
    EXPECT_TRUE(lines[3].contains(u"/sub a/*.aiff"_s));
}

TEST_F(GeneratorTest, DeleteModeDeletesOnlyTheTablesOfTheFoldersItRegenerates) {
    bank.file(u"a_wav.frq"_s, "old");
    bank.file(u"sub/b_wav.frq"_s, "old");
    bank.file(u"sub/deep/canary_wav.frq"_s, "keep");
    bank.file(u"a.wav"_s, "RIFF");
    // A link in the bank to a folder outside it is not followed.
    writeFile(bank.dir.path() + u"/outside/c_wav.frq"_s, "keep");
    ASSERT_TRUE(QFile::link(bank.dir.path() + u"/outside"_s, bank.path(u"linked"_s)));
    g.mode = FreqGenerator::UpdateAfterDelete;
    g.OKButton_Click();
    EXPECT_TRUE(QFile::exists(bank.dir.path() + u"/outside/c_wav.frq"_s));
    EXPECT_FALSE(QFile::exists(bank.path(u"a_wav.frq"_s)));
    EXPECT_FALSE(QFile::exists(bank.path(u"sub/b_wav.frq"_s)));
    EXPECT_TRUE(QFile::exists(bank.path(u"sub/deep/canary_wav.frq"_s)));
    EXPECT_TRUE(QFile::exists(bank.path(u"a.wav"_s)));
    // The batch itself deletes nothing.
    for (const QString& line : batchLines()) EXPECT_FALSE(line.contains(u"del"_s)) << line.toStdString();
}

TEST_F(GeneratorTest, RefusalsAreSaidAndNothingIsDeleted) {
    bank.file(u"a_wav.frq"_s, "old");
    g.mode = FreqGenerator::UpdateAfterDelete;
    // An empty folder name never means "everywhere below the current folder".
    g.voiceFolder.clear();
    g.OKButton_Click();
    EXPECT_FALSE(g.hidden);
    EXPECT_EQ(ports.messageBox.shown.size(), 1);
    // A run of this program still going: no second one.
    g.voiceFolder = bank.root();
    tool.running = true;
    g.OKButton_Click();
    EXPECT_EQ(ports.messageBox.shown.size(), 2);
    EXPECT_TRUE(QFile::exists(bank.path(u"a_wav.frq"_s)));
    EXPECT_TRUE(tool.started.isEmpty());
    // A batch that cannot start is said.
    tool.running = false;
    tool.refuseStart = true;
    g.mode = FreqGenerator::UpdateAll;
    g.OKButton_Click();
    EXPECT_EQ(ports.messageBox.shown.size(), 3);
    EXPECT_TRUE(ports.messageBox.lastText().contains(u"no runner"_s));
    EXPECT_FALSE(g.hidden);
    // No mode chosen: nothing at all.
    g.mode = FreqGenerator::NoMode;
    g.OKButton_Click();
    EXPECT_EQ(ports.messageBox.shown.size(), 3);
}

// A run the generator follows: the batch writes one table between two polls until all are made, or
// the user stops it after `stopAfter` tables.
struct ScriptedRun : FreqGeneratorProgress {
    FakeTool& tool;
    QStringList pending;  // tables the batch is still to write
    int stopAfter = -1;
    int total = -1, made = 0, closed = 0;
    QList<int> updates;
    explicit ScriptedRun(FakeTool& t) : tool(t) {}
    void open(int n) override { total = n; }
    void update(int done) override { updates << done; }
    bool stopRequested() override {
        if (stopAfter >= 0 && made >= stopAfter) return true;
        if (!pending.isEmpty()) writeFile(pending.takeFirst(), "table"), ++made;
        if (pending.isEmpty()) tool.running = false;
        return false;
    }
    void close() override { ++closed; }
};

TEST_F(GeneratorTest, AFollowedRunShowsTheTablesMadeAndSaysHowItEnded) {
    bank.file(u"a.wav"_s, "RIFF");
    bank.file(u"b.aiff"_s, "FORM");
    bank.file(u"sub/c.wav"_s, "RIFF");
    bank.file(u"sub/c_wav.frq"_s, "old");  // made before the run: counts only in the missing-only mode
    QFile old(bank.path(u"sub/c_wav.frq"_s));
    old.open(QIODevice::ReadWrite);
    old.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime);
    old.close();
    ScriptedRun run(tool);
    run.pending = {bank.path(u"a_wav.frq"_s), bank.path(u"b.aiff.frq"_s)};
    g.progress = &run;
    g.pollMs = 1;
    g.mode = FreqGenerator::GenerateMissing;
    tool.runsWhenStarted = true;
    g.OKButton_Click();
    EXPECT_EQ(run.total, 3);
    EXPECT_EQ(run.updates.first(), 1);
    EXPECT_EQ(run.updates.last(), 3);
    EXPECT_EQ(run.closed, 1);
    EXPECT_EQ(ports.messageBox.lastText(), u"周波数表の一括作成が終了しました。（3 / 3）"_s);
    EXPECT_TRUE(g.hidden);

    // Stopped after one table: the batch is stopped and the message says so.
    QFile::remove(bank.path(u"a_wav.frq"_s));
    QFile::remove(bank.path(u"b.aiff.frq"_s));
    ScriptedRun stopped(tool);
    stopped.pending = {bank.path(u"a_wav.frq"_s), bank.path(u"b.aiff.frq"_s)};
    stopped.stopAfter = 1;
    g.progress = &stopped;
    g.mode = FreqGenerator::UpdateAll;
    g.OKButton_Click();
    EXPECT_EQ(tool.stops, 1);
    EXPECT_EQ(stopped.updates.last(), 1);
    EXPECT_EQ(ports.messageBox.lastText(), u"周波数表の一括作成を中止しました。（1 / 3）"_s);
}

// The batch files of the two frequency-table runs on a full disk: nothing is run, the failure is said
// in words, no temporary file stays.
TEST_F(GeneratorTest, AFullDiskRunsNothingAndSaysWhy) {
    {
        FileSizeLimit limit(10);
        g.OKButton_Click();
    }
    EXPECT_TRUE(tool.started.isEmpty());
    EXPECT_FALSE(g.hidden);
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_TRUE(ports.messageBox.lastText().contains(SystemErrorText(EFBIG))) << ports.messageBox.lastText().toStdString();
    EXPECT_EQ(temporaryFiles(TempFolder), QStringList{});
}

TEST_F(ToolsTest, AFullDiskRunsNoBatchAndSaysWhy) {
    m.SetMultiSelect(true);
    for (SampleRow& r : m.rows) r.selected = true;
    answer({MsgResult::OK});
    QString error;
    {
        FileSizeLimit limit(10);
        try {
            m.cmdDeleteFreqList_Click();
        } catch (const TovaError& e) {
            error = e.description();
        }
    }
    EXPECT_TRUE(tool.batches.isEmpty());
    EXPECT_TRUE(error.contains(SystemErrorText(EFBIG))) << error.toStdString();
    EXPECT_EQ(temporaryFiles(TempFolder), QStringList{});
}
