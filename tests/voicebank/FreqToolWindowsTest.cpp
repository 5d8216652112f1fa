#include "VoiceBankFixture.h"

#include "core/Processes.h"
#include "core/Settings.h"
#include "core/WaveFiles.h"
#include "platform/FakePorts.h"
#include "render/OtoIni.h"
#include "support/TestWave.h"
#include "voicebank/SpectrumCache.h"
#include "voicebank/Tool2Calls.h"
#include "voicebank/VoiceBankManager.h"
#include "voicebank/ui/QtVoiceBankManager.h"
#include "voicebank/ui/QtVoiceBankTools.h"
#include "voicebank/ui/frmEditFreqList.h"
#include "voicebank/ui/QtFreqGeneratorProgress.h"
#include "voicebank/ui/frmFreqGen.h"
#include "voicebank/ui/frmOtoEdit.h"

#include <QCheckBox>
#include <QAction>
#include <QTableView>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QScreen>
#include <QStandardPaths>
#include <QApplication>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;
using namespace Qt::StringLiterals;

namespace {

struct QuietTool : Tool2Calls {
    QStringList started;
    void runAndWait(const QString&) override {}
    void runBatchAndWait(const QString&) override {}
    int libraryExec(const QStringList&) override { return 0; }
    bool runWithTimeLimit(const QString&, int) override { return true; }
    bool startBatch(const QString& batch, QString&) override {
        started << batch;
        return true;
    }
    bool batchRunning() override { return false; }
};

// A bank of one sample "か" made as the default voice makes its samples: spoken by the generator,
// with its oto.ini entry and the frequency table of the note renderer.
struct SpokenBank {
    BankFolder bank;
    bool made = false;
    bool skip = false;
    QString why;
    SpokenBank() {
        const QString program = programFolder();
        if (!QFile::exists(program + u"/voice/cantu/initvox"_s) || !QFile::exists(program + u"/vorsa"_s) ||
            QStandardPaths::findExecutable(u"espeak-ng"_s).isEmpty()) {
            skip = true;
            why = u"the generator, the note renderer or espeak-ng is missing"_s;
            return;
        }
        QFile::copy(program + u"/voice/cantu/initvox"_s, bank.path(u"initvox"_s));
        QFile::setPermissions(bank.path(u"initvox"_s), QFile::permissions(program + u"/voice/cantu/initvox"_s));
        bank.file(u"initvox.txt"_s, u"voice=ja+f5\nspeed=80\npitch=70\nname=cantu\nか かー\n"_s.toUtf8());
        QProcess p;
        p.setWorkingDirectory(bank.root());
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(bank.path(u"initvox"_s), {u"initvox.txt"_s, program + u"/vorsa"_s});
        p.waitForFinished(120000);
        made = p.exitCode() == 0 && QFile::exists(bank.path(u"か.wav"_s)) && QFile::exists(bank.path(u"か_wav.frq"_s));
        if (!made) why = u"the generator failed: "_s + QString::fromUtf8(p.readAll());
    }
};

struct ToolWindowsTest : ::testing::Test {
    ScopedFakePorts ports;
    QuietTool tool;
    QString savedTemp;
    void SetUp() override {
        settings() = Settings{};
        savedTemp = TempFolder;
    }
    void TearDown() override {
        ClearOtoTable();
        TempFolder = savedTemp;
        settings() = Settings{};
    }
};

}  // namespace

TEST_F(ToolWindowsTest, TimingEditorOnASampleOfTheDefaultVoice) {
    static SpokenBank spoken;
    if (spoken.skip) GTEST_SKIP() << spoken.why.toStdString();
    ASSERT_TRUE(spoken.made) << spoken.why.toStdString();
    const BankFolder& bank = spoken.bank;
    QFile::remove(bank.path(u"か.wav.kspx"_s));
    LoadOtoIni(bank.root());
    VoiceBankManager m;
    ASSERT_TRUE(m.BeginShow(bank.root(), u"か"_s, QString(), bank.path(u"cache"_s), false));
    const QStringList before{m.rows[m.selectedRow].item(2), m.rows[m.selectedRow].item(5)};

    int result = -2;
    QTimer::singleShot(0, [&] {
        auto* w = qobject_cast<frmOtoEdit*>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        QTest::qWait(50);
        EXPECT_TRUE(w->windowTitle().startsWith(u"か.wav"_s)) << w->windowTitle().toStdString();
        // The handles stand on their marker lines.
        for (int i = 0; i < 5; ++i)
            EXPECT_NEAR(w->Label1[size_t(i)]->x(), w->logic().handleLeft(TimingEditor::Marker(i)) / 15, 1) << i;
        savePng(w, u"frmOtoEdit-waveform"_s);
        // The spectrum: built once into its cache, then drawn from it.
        w->chkSpectrum->click();
        QTest::qWait(50);
        EXPECT_EQ(QFileInfo(bank.path(u"か.wav.kspx"_s)).size(),
                  SpectrumCache::FileSize(SpectrumRowCount(w->logic().samples.size(), w->logic().header.channels)));
        savePng(w, u"frmOtoEdit-spectrum"_s);
        // Dragging the pre-utterance handle 30 pixels to the right writes the row.
        QLabel* pre = w->Label1[TimingEditor::PreUtterance];
        const QPoint grip(pre->width() / 2, pre->height() / 2);
        QTest::mousePress(pre, Qt::LeftButton, Qt::NoModifier, grip);
        QTest::mouseMove(pre, grip + QPoint(30, 0));
        QTest::mouseRelease(pre, Qt::LeftButton, Qt::NoModifier, grip + QPoint(30, 0));
        w->cmdOK->click();
    });
    result = frmOtoEdit::EditEntry(m, tool, nullptr);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(m.rows[m.selectedRow].item(2), before[0]);
    EXPECT_NE(m.rows[m.selectedRow].item(5), before[1]);
    EXPECT_TRUE(m.ListChanged);
}

TEST_F(ToolWindowsTest, FrequencyTableEditorWindow) {
    BankFolder bank;
    bank.file(u"か.wav"_s, "RIFF");
    FrqHeader h;
    h.signature = "TOVAFRQ1";
    h.averageFreq = 220;
    h.frameCount = 120;
    QVector<double> f;
    for (int i = 0; i < 120; ++i) f << (i < 10 ? 55.0 : 220.0 * std::pow(2.0, std::sin(i * 0.1) / 12)) << 400.0 + 40 * i;
    ASSERT_TRUE(WriteFrqFile(h, f, bank.path(u"か.wav"_s)));
    bool changed = false;
    QTimer::singleShot(0, [&] {
        auto* w = qobject_cast<frmEditFreqList*>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->windowTitle(), u"か.wav"_s);
        EXPECT_EQ(w->List1->count(), 120);
        w->List1->item(3)->setSelected(true);
        w->List1->setCurrentRow(3, QItemSelectionModel::Select);
        QTest::mouseDClick(w->findChild<QLabel*>(u"lbx2"_s), Qt::LeftButton);
        EXPECT_EQ(w->List1->item(3)->text(), u"110.00000000"_s);
        QTest::qWait(20);
        savePng(w, u"frmEditFreqList"_s);
        w->OKButton->click();
        EXPECT_EQ(ports.messageBox.lastText(), u"か.wavの周波数表を更新しました。"_s);
        w->CancelButton->click();
    });
    changed = frmEditFreqList::LoadFreqFile(bank.path(u"か.wav"_s), nullptr);
    EXPECT_TRUE(changed);
    FrqHeader read;
    QVector<double> frames;
    ASSERT_TRUE(ReadFrqFile(read, frames, bank.path(u"か.wav"_s)));
    EXPECT_EQ(frames[6], 110.0);
    EXPECT_FALSE(frmEditFreqList::LoadFreqFile(bank.path(u"none.wav"_s), nullptr));
}

TEST_F(ToolWindowsTest, BatchGeneratorWindow) {
    BankFolder bank;
    TempFolder = bank.dir.path();
    QTimer::singleShot(0, [&] {
        auto* w = qobject_cast<frmFreqGen*>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->optUpdateAll->isChecked());
        savePng(w, u"frmFreqGen"_s);
        w->optGanerateAsNoFile->click();
        w->OKButton->click();
    });
    frmFreqGen::ShowDialog(bank.root(), tool);
    ASSERT_EQ(tool.started.size(), 1);
    EXPECT_TRUE(Cp932::decodeMarked(readFile(tool.started[0])).contains(u"nul 100 100 N0 50"_s));
    // The run was followed to its end and its end was said.
    EXPECT_TRUE(ports.messageBox.lastText().startsWith(u"周波数表の一括作成が終了しました。"_s));
}

TEST_F(ToolWindowsTest, BatchGeneratorProgressWindowCountsAndStops) {
    QWidget owner;
    owner.show();
    QtFreqGeneratorProgress progress(&owner);
    progress.open(40);
    progress.update(12);
    auto* dialog = owner.findChild<QProgressDialog*>(u"frmFreqGenProgress"_s);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->value(), 12);
    EXPECT_EQ(dialog->labelText(), u"周波数表作成中... 12 / 40"_s);
    savePng(dialog, u"frmFreqGenProgress"_s);
    EXPECT_FALSE(progress.stopRequested());
    dialog->cancel();
    EXPECT_TRUE(progress.stopRequested());
    progress.close();
    EXPECT_EQ(owner.findChild<QProgressDialog*>(), nullptr);
}

namespace {

// Tool 2 in process: each call makes the sample's table; the first call also presses the break label
// of the manager's progress panel, as a user would while the run goes on.
struct BreakingTool : QuietTool {
    std::function<void()> duringFirst;
    QStringList made;
    int libraryExec(const QStringList& args) override {
        made << args[0];
        FrqHeader h;
        h.frameCount = 1;
        WriteFrqFile(h, {220.0, 400.0}, args[0]);
        if (made.size() == 1 && duringFirst) duringFirst();
        return 0;
    }
};

}  // namespace

TEST_F(ToolWindowsTest, ManagerRunsTheToolsWithItsProgressPanelAndBreakLabel) {
    BankFolder bank;
    bank.oto(u"oto.ini"_s, u"か.wav=か,1,2,3,4,5\r\nさ.wav=さ,1,2,3,4,5\r\nた.wav=た,1,2,3,4,5\r\n"_s);
    for (const QString& n : {u"か.wav"_s, u"さ.wav"_s, u"た.wav"_s}) writeFlatWave(bank.path(n), 44100, 4410, 500);
    LoadOtoIni(bank.root());
    settings().UseDLL = true;
    BreakingTool tool;
    QtVoiceBankManager* managerPointer = nullptr;
    QtVoiceBankTools tools([&] { return managerPointer ? managerPointer->window() : nullptr; }, &tool);
    QtVoiceBankManager manager(&tools.tools());
    managerPointer = &manager;
    bool buttonsWereOff = false;
    bool editorSeen = false;
    tool.duringFirst = [&] {
        frmVoicesetManager* w = manager.window();
        buttonsWereOff = !w->cmdOK->isEnabled() && !w->ListView1->isEnabled();
        QTest::mouseClick(w->lblBreak, Qt::LeftButton);
    };
    QTimer::singleShot(0, [&] {
        frmVoicesetManager* w = manager.window();
        ASSERT_NE(w, nullptr);
        w->action(u"mnMultiSelect"_s)->trigger();
        w->ListView1->selectAll();
        ports.messageBox.answers.enqueue(MsgResult::OK);
        w->cmdDeleteFreqList->click();
        // The break ended the loop after its first sample; the window is usable again.
        EXPECT_EQ(tool.made.size(), 1);
        EXPECT_TRUE(buttonsWereOff);
        EXPECT_TRUE(w->cmdOK->isEnabled());
        EXPECT_TRUE(w->ListView1->isEnabled());
        // The timing editor opens from the manager on the shown row and comes back with its answer.
        w->action(u"mnMultiSelect"_s)->trigger();
        QTimer::singleShot(0, [&] {
            auto* editor = qobject_cast<frmOtoEdit*>(QApplication::activeModalWidget());
            ASSERT_NE(editor, nullptr);
            editorSeen = true;
            EXPECT_EQ(editor->cmdOK->text(), u"閉じる"_s);
            EXPECT_FALSE(editor->cmdCancel->isVisible());
            editor->cmdOK->click();
        });
        w->cmdEditGUI->click();
        w->reject();
    });
    manager.ShowDialog(bank.root(), u"か"_s, QString(), bank.path(u"cache"_s), QString(), false, nullptr);
    EXPECT_TRUE(editorSeen);
}

// Ctrl+G: the timing editor opens straight from the hidden manager. Escape there is its "ｷｬﾝｾﾙ": the
// editor goes and nothing opens after it. Only an editor closed otherwise (its close box) leaves the
// user in the manager.
TEST_F(ToolWindowsTest, QuickOpenedEditorLeftWithEscapeOpensNothingElse) {
    struct Case {
        const char* how;
        bool escape;
        bool managerShown;
    };
    for (const Case& c : {Case{"Escape", true, false}, Case{"close box", false, true}}) {
        SCOPED_TRACE(c.how);
        BankFolder bank;
        bank.oto(u"oto.ini"_s, u"う.wav=う,1,2,3,4,5\r\n"_s);
        writeFlatWave(bank.path(u"う.wav"_s), 44100, 4410, 500);
        LoadOtoIni(bank.root());
        QtVoiceBankManager* managerPointer = nullptr;
        QtVoiceBankTools tools([&] { return managerPointer ? managerPointer->window() : nullptr; }, &tool);
        QtVoiceBankManager manager(&tools.tools());
        managerPointer = &manager;
        QWidget owner;
        owner.show();
        bool editorSeen = false;
        QStringList shownAfter;
        QTimer::singleShot(0, [&] {
            auto* editor = qobject_cast<frmOtoEdit*>(QApplication::activeModalWidget());
            if (!editor) return;
            editorSeen = true;
            // Whatever opens after the editor is noted and closed.
            QTimer::singleShot(50, [&] {
                if (QWidget* next = QApplication::activeModalWidget()) {
                    shownAfter << next->windowTitle();
                    next->close();
                }
            });
            if (c.escape) QTest::keyClick(editor, Qt::Key_Escape);
            else editor->close();
        });
        manager.ShowDialog(bank.root(), u"う"_s, QString(), bank.path(u"cache"_s), QString(), true, &owner);
        QTest::qWait(100);  // the look after the editor has been taken
        EXPECT_TRUE(editorSeen);
        EXPECT_EQ(!shownAfter.isEmpty(), c.managerShown) << shownAfter.join(u", "_s).toStdString();
    }
}

// Ctrl+G opens the timing editor straight from a hidden manager: the editor stands over the window that
// asked for it, not at the corner of the screen where the never-shown manager sits.
TEST_F(ToolWindowsTest, QuickOpenedEditorStandsOverItsOwner) {
    BankFolder bank;
    bank.oto(u"oto.ini"_s, u"か.wav=か,1,2,3,4,5\r\n"_s);
    writeFlatWave(bank.path(u"か.wav"_s), 44100, 4410, 500);
    LoadOtoIni(bank.root());
    QuietTool tool;
    QtVoiceBankManager* managerPointer = nullptr;
    QtVoiceBankTools tools([&] { return managerPointer ? managerPointer->window() : nullptr; }, &tool);
    QtVoiceBankManager manager(&tools.tools());
    managerPointer = &manager;
    QWidget owner;
    owner.setGeometry(QApplication::primaryScreen()->availableGeometry().adjusted(0, 260, 0, 0));
    owner.show();
    QRect editorFrame, ownerFrame;
    QTimer::singleShot(0, [&] {
        QWidget* shown = QApplication::activeModalWidget();
        auto* editor = qobject_cast<frmOtoEdit*>(shown);
        if (!editor) {
            ADD_FAILURE() << (shown ? shown->metaObject()->className() : "no modal window");
            if (shown) shown->close();
            return;
        }
        editorFrame = editor->frameGeometry();
        ownerFrame = owner.frameGeometry();
        editor->cmdOK->click();
        // Whatever opens next (the manager itself) is closed too.
        QTimer::singleShot(0, [] {
            if (QWidget* next = QApplication::activeModalWidget()) next->close();
        });
    });
    manager.ShowDialog(bank.root(), u"か"_s, QString(), bank.path(u"cache"_s), QString(), true, &owner);
    ASSERT_TRUE(editorFrame.isValid());
    EXPECT_NE(editorFrame.topLeft(), QPoint(0, 0));
    const QPoint gap = editorFrame.center() - ownerFrame.center();
    EXPECT_LE(std::abs(gap.x()), 40) << gap.x() << " editor " << editorFrame.x() << "," << editorFrame.y() << " " << editorFrame.width() << "x" << editorFrame.height() << " owner " << ownerFrame.x() << "," << ownerFrame.y();
    EXPECT_LE(std::abs(gap.y()), 40) << gap.y();
}
