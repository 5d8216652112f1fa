#include "VoiceBankFixture.h"

#include "core/Processes.h"
#include "core/Settings.h"
#include "core/WaveFiles.h"
#include "platform/FakePorts.h"
#include "platform/SystemPaths.h"
#include "render/OtoIni.h"
#include "support/TestWave.h"
#include "voicebank/TimingEditor.h"
#include "voicebank/Tool2Calls.h"
#include "voicebank/VoiceBankManager.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;
using namespace Qt::StringLiterals;

namespace {

struct PlaybackTool : Tool2Calls {
    QStringList commands;
    bool finish = true;
    void runAndWait(const QString&) override {}
    void runBatchAndWait(const QString&) override {}
    int libraryExec(const QStringList&) override { return 0; }
    bool runWithTimeLimit(const QString& line, int) override {
        commands << line;
        return finish;
    }
    bool startBatch(const QString&, QString&) override { return false; }
    bool batchRunning() override { return false; }
};

struct TimingTest : ::testing::Test {
    BankFolder bank;
    ScopedFakePorts ports;
    VoiceBankManager m;
    TimingEditor e;
    PlaybackTool tool;
    QString savedTemp;

    void SetUp() override {
        settings() = Settings{};
        settings().Tool2Path = u"/t/vorsa"_s;
        savedTemp = TempFolder;
        TempFolder = bank.dir.path();
        bank.oto(u"oto.ini"_s, u"ka.wav=か,100,50,-200,30,10\r\nsa.wav=さ,0,0,0,0,0\r\n"_s);
        writeFlatWave(bank.path(u"ka.wav"_s), 44100, 44100, 1000);  // T = 44100 units
        writeFlatWave(bank.path(u"sa.wav"_s), 22050, 4410, 1000);   // 0.2 s at half rate: T = 8820
        LoadOtoIni(bank.root());
        ASSERT_TRUE(m.BeginShow(bank.root(), u"か"_s, QString(), bank.path(u"cache"_s), false));
        e.tool = &tool;
        ASSERT_TRUE(e.Begin(m, bank.root(), bank.path(u"cache"_s)));
    }
    void TearDown() override {
        ClearOtoTable();
        TempFolder = savedTemp;
        settings() = Settings{};
    }
    // Drags a handle so that its line lands on file position p (44.1 kHz units).
    void dragTo(TimingEditor::Marker mk, double p, int shift = 0) {
        const double left = p / e.zoom - e.viewLeft - 60;
        e.dragDown(mk, e.handleLeft(mk), 0);
        e.dragUp(mk, left, shift);
    }
    const SampleRow& row() const { return m.rows[m.selectedRow]; }
};

}  // namespace

TEST_F(TimingTest, LoadTakesTheRowsValuesInUnitsAndTheCaption) {
    EXPECT_EQ(e.captionText, u"ka.wav \"か\""_s);
    EXPECT_DOUBLE_EQ(e.total, 44100);
    EXPECT_DOUBLE_EQ(e.value[TimingEditor::Offset], 4410);
    EXPECT_DOUBLE_EQ(e.value[TimingEditor::Cutoff], -8820);
    EXPECT_DOUBLE_EQ(e.used(), 8820);
    m.selectRow(1);
    e.ShowEntry();
    EXPECT_DOUBLE_EQ(e.rateFactor, 2);
    EXPECT_DOUBLE_EQ(e.total, 8820);
}

TEST_F(TimingTest, ZoomStepsAndTheirEnds) {
    const std::pair<double, double> in[] = {{2, 1}, {1, 0.5}, {0.5, 0.25}, {0.25, 0.25}, {7, 6}};
    for (const auto& [from, to] : in) {
        e.zoom = from;
        e.cmdZoomIn();
        EXPECT_EQ(e.zoom, to) << from;
    }
    const std::pair<double, double> out[] = {{1, 2}, {0.5, 1}, {0.25, 0.5}, {7, 8}, {8, 8}};
    for (const auto& [from, to] : out) {
        e.zoom = from;
        e.cmdZoomOut();
        EXPECT_EQ(e.zoom, to) << from;
    }
}

TEST_F(TimingTest, DraggingHoldsEachValueToItsRange) {
    e.viewLeft = 0;
    e.zoom = 2;
    // The cutoff of −200 ms holds the pre-utterance to 200 ms after the offset.
    dragTo(TimingEditor::PreUtterance, 4410 + 20000);
    EXPECT_DOUBLE_EQ(e.value[TimingEditor::PreUtterance], 8820);
    dragTo(TimingEditor::PreUtterance, 100);  // left of the offset: 0
    EXPECT_DOUBLE_EQ(e.value[TimingEditor::PreUtterance], 0);
    dragTo(TimingEditor::Overlap, 1000);  // left of the offset: negative
    EXPECT_DOUBLE_EQ(e.value[TimingEditor::Overlap], 1000 - 4410);
    dragTo(TimingEditor::Consonant, 10);
    EXPECT_DOUBLE_EQ(e.value[TimingEditor::Consonant], 0);
    // Shift alone: negative cutoffs; left of the offset gives 0.
    dragTo(TimingEditor::Cutoff, 20000, 1);
    EXPECT_DOUBLE_EQ(e.value[TimingEditor::Cutoff], 4410 - 20000);
    dragTo(TimingEditor::Cutoff, 1000, 1);
    EXPECT_DOUBLE_EQ(e.value[TimingEditor::Cutoff], 0);
    // Without Shift: past the end gives 0, left of the consonant's end T − C − O.
    dragTo(TimingEditor::Cutoff, 50000);
    EXPECT_DOUBLE_EQ(e.value[TimingEditor::Cutoff], 0);
    e.value[TimingEditor::Consonant] = 2205;
    dragTo(TimingEditor::Cutoff, 100);
    EXPECT_DOUBLE_EQ(e.value[TimingEditor::Cutoff], 44100 - 2205 - 4410);
    dragTo(TimingEditor::Offset, -500);
    EXPECT_DOUBLE_EQ(e.value[TimingEditor::Offset], 0);
}

TEST_F(TimingTest, EveryFinishedDragIsWrittenIntoTheRowInWholeMilliseconds) {
    bank.file(u"cache/1_ka_C4_480.wav"_s, "x");
    bank.file(u"cache/2_sa_C4_480.wav"_s, "x");
    e.value[TimingEditor::Offset] = 12.6 * 44.1;
    e.value[TimingEditor::Overlap] = -12.6 * 44.1;
    e.modified = true;
    e.CommitEntry();
    EXPECT_EQ(row().item(2), u"13"_s);
    EXPECT_EQ(row().item(6), u"-13"_s);
    EXPECT_TRUE(m.ListChanged);
    EXPECT_EQ(m.txtOffset, u"13"_s);
    EXPECT_EQ(QDir(bank.path(u"cache"_s)).entryList(QDir::Files), QStringList({u"2_sa_C4_480.wav"_s}));
    // Cancel afterwards leaves the row as dragged.
    e.cmdCancel();
    EXPECT_EQ(e.result, 0);
    EXPECT_EQ(row().item(2), u"13"_s);
    EXPECT_EQ(e.hintText(TimingEditor::Overlap, 25 * 44.1), u"Overlap 25ms"_s);
}

TEST_F(TimingTest, ADragChangesOnlyTheDraggedValue) {
    m.rows[m.selectedRow].item(4) = u"-200.25"_s;
    m.rows[m.selectedRow].item(5) = u"85.5"_s;
    m.rows[m.selectedRow].item(6) = u"10.0"_s;
    e.ShowEntry();
    dragTo(TimingEditor::Offset, 50 * 44.1);
    EXPECT_EQ(row().item(2), u"50"_s);
    EXPECT_EQ(row().item(3), u"50"_s);
    EXPECT_EQ(row().item(4), u"-200.25"_s);
    EXPECT_EQ(row().item(5), u"85.5"_s);
    EXPECT_EQ(row().item(6), u"10.0"_s);
}

TEST_F(TimingTest, ScrollRangeAndNavigation) {
    e.width = 9000;
    e.ScrollRange();  // (44100 + 6615) / 2 = 25357 > 9000
    EXPECT_EQ(e.scrollMax, int((25357.5 - 9000) / 60));
    EXPECT_EQ(e.scrollLargeChange, 75);
    e.cmdDn();
    EXPECT_EQ(m.selectedRow, 1);
    EXPECT_EQ(e.scrollMax, 0);  // a sample shorter than the window
    EXPECT_EQ(m.txtName, u"sa.wav"_s);
    e.cmdDn();  // past the last row: stays
    EXPECT_EQ(m.selectedRow, 1);
    e.cmdUp();
    EXPECT_EQ(m.selectedRow, 0);
}

TEST_F(TimingTest, PlaybackRendersTheUsedPartWithinATimeLimit) {
    e.PlayRange();
    ASSERT_EQ(tool.commands.size(), 1);
    EXPECT_EQ(tool.commands[0], u"\"/t/vorsa\" \""_s + bank.path(u"ka.wav"_s) + u"\" \""_s + TempFolder + u"/temp.wav\" 100 100 N 100 200"_s);
    EXPECT_TRUE(ports.messageBox.shown.isEmpty());
    tool.finish = false;  // the tool did not end in time: said, nothing played
    e.PlayRange();
    EXPECT_EQ(ports.messageBox.shown.size(), 1);
}

TEST_F(TimingTest, AHeaderWithoutFrameSizeIsUnreadable) {
    QByteArray bytes = readFile(bank.path(u"sa.wav"_s));
    bytes[32] = 0;  // block align
    bytes[33] = 0;
    writeFile(bank.path(u"sa.wav"_s), bytes);
    m.selectRow(1);
    e.ShowEntry();
    EXPECT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_DOUBLE_EQ(e.total, 44100);  // what was loaded stays
}

TEST_F(TimingTest, DrawingRegionsRulerAndSpectrumColours) {
    e.width = 9000;
    e.height = 3000;
    e.viewLeft = -2205;  // the sample starts 2205 twips right of the edge
    const TimingDisplay d = e.Redraw();
    ASSERT_GE(d.size(), 8);
    EXPECT_EQ(d[0].rect, QRectF(0, 0, 2205, 3000));
    EXPECT_EQ(d[0].colour, Rgb(192, 192, 192));
    EXPECT_EQ(d[1].rect, QRectF(2205, 0, 2205, 3000));  // offset 4410 / zoom 2
    QStringList labels;
    for (const TimingDrawOp& op : d)
        if (op.kind == TimingDrawOp::Text) labels << op.text;
    EXPECT_EQ(labels.mid(0, 3), QStringList({u"0.0"_s, u"0.1"_s, u"0.2"_s}));
    // v = 300 in scheme 0 is RGB(0, 44, 255).
    e.SetScheme(0);
    EXPECT_EQ(e.SpectrumColour(300), Rgb(0, 44, 255));
    EXPECT_EQ(e.SpectrumColour(-5), 0u);
    EXPECT_EQ(e.SpectrumColour(1000), Rgb(255, 255, 255));
    // With range 128 the boxes of a column tile the height.
    e.spectrumShown = true;
    e.noCache = true;
    e.SetRange(0);
    int boxes = 0;
    for (const TimingDrawOp& op : e.Redraw())
        if (op.kind == TimingDrawOp::Box && op.rect.height() == 3000.0 / 128) ++boxes;
    EXPECT_EQ(boxes % 128, 0);
    EXPECT_GT(boxes, 0);
}

TEST_F(TimingTest, ASpectrumShownOnAWritableBankLeavesItsCacheBehind) {
    e.visible = true;
    e.spectrumShown = true;
    e.Redraw();
    EXPECT_EQ(QFileInfo(bank.path(u"ka.wav.kspx"_s)).size(), 4 + 173 * 256);
    // No-cache mode from the menu asks, and OK deletes the bank's caches.
    ports.messageBox.answers.enqueue(MsgResult::OK);
    e.mnNocache_Click();
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_EQ(ports.messageBox.shown.front().icon, MsgIcon::Question);
    EXPECT_TRUE(e.noCache);
    EXPECT_FALSE(QFile::exists(bank.path(u"ka.wav.kspx"_s)));
    e.Redraw();
    EXPECT_FALSE(QFile::exists(bank.path(u"ka.wav.kspx"_s)));
}

// The editor's view settings go into the program folder's "settings/geneditor.ini" when it closes; a
// folder where that file cannot be written says so instead of losing them silently.
TEST_F(TimingTest, ViewSettingsThatCannotBeKeptAreSaid) {
    QTemporaryDir program;
    SystemPaths::setProgramFolder(program.path());
    struct Restore {
        ~Restore() { SystemPaths::setProgramFolder(QString()); }
    } restore;
    e.sldLevel = 7;
    e.Form_Unload();
    EXPECT_TRUE(ports.messageBox.shown.isEmpty());
    EXPECT_TRUE(readFile(program.filePath(u"settings/geneditor.ini"_s)).contains("speclevel=7"));

    // "settings" is no folder here, as a program folder the user may not write makes it.
    ASSERT_TRUE(QDir(program.path() + u"/settings"_s).removeRecursively());
    writeFile(program.filePath(u"settings"_s), "x");
    e.Form_Unload();
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_TRUE(ports.messageBox.lastText().startsWith(program.path() + u"/settings"_s))
        << ports.messageBox.lastText().toStdString();
}
