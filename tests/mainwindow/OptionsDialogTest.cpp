#include "../exchange/ExchangeFakes.h"
#include "core/ProgramFolderFixture.h"

#include "core/Settings.h"
#include "core/SettingsFile.h"
#include "mainwindow/OptionsDialog.h"
#include "mainwindow/ui/frmOptions.h"
#include "platform/EventGuard.h"
#include "platform/FakePorts.h"
#include "platform/midi/FakeMidiSystem.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTimer>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;
using namespace Qt::Literals::StringLiterals;

namespace {

class OptionsFixture : public ProgramFolderFixture {
protected:
    void SetUp() override {
        ProgramFolderFixture::SetUp();
        for (const char* tool : {"catena", "vorsa"}) {
            const QString path = file(QString::fromLatin1(tool));
            writeFile(path, "#!/bin/sh\n");
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        writeFile(file(u"plain.txt"_s), "not a program\n");
        QDir().mkpath(file(u"banks"_s));
        settings().Tool1Path = file(u"catena"_s);
        settings().Tool2Path = file(u"vorsa"_s);
    }

    FakeVoiceBank voices;
    ScopedFakePorts ports;
    FakeMidiSystem midi;
};

// Each check of OK: what makes it fail, its message, its tab and its box. The dialog stays open and no
// setting changes.
TEST_F(OptionsFixture, RefusedOkNamesTheTabAndTheBox) {
    using Opt = OptionsDialog::CacheOption;
    struct Case {
        const char* what;
        std::function<void(OptionsDialog&)> change;
        QString message;
        int tab;
        QString box;
    };
    const QString days = u"キャッシュ保存期限の設定が不正です。"_s;
    const QString size = u"キャッシュの容量上限の設定が不正です。"_s;
    const QString tool1 = u"ツール１のパスが不正です。"_s;
    const QString tool2 = u"ツール２のパスが不正です。"_s;
    const QString root = u"原音フォルダが不正です。"_s;
    const Case cases[] = {
        {"days empty", [](OptionsDialog& d) { d.optCache = Opt::DeleteByDate, d.txtCacheDeleteDays.clear(); }, days, 3,
         u"txtCacheDeleteDays"_s},
        {"days without a number", [](OptionsDialog& d) { d.optCache = Opt::DeleteByDate, d.txtCacheDeleteDays = u"x3"_s; },
         days, 3, u"txtCacheDeleteDays"_s},
        {"days below one", [](OptionsDialog& d) { d.optCache = Opt::DeleteByDate, d.txtCacheDeleteDays = u"0.9"_s; }, days,
         3, u"txtCacheDeleteDays"_s},
        {"days negative", [](OptionsDialog& d) { d.optCache = Opt::DeleteByDate, d.txtCacheDeleteDays = u"-5"_s; }, days, 3,
         u"txtCacheDeleteDays"_s},
        {"size zero", [](OptionsDialog& d) { d.optCache = Opt::DeleteBySize, d.txtCacheLimitSize = u"0"_s; }, size, 3,
         u"txtCacheLimitSize"_s},
        {"size negative", [](OptionsDialog& d) { d.optCache = Opt::DeleteBySize, d.txtCacheLimitSize = u"-100"_s; }, size, 3,
         u"txtCacheLimitSize"_s},
        {"size beyond 32 bits", [](OptionsDialog& d) { d.optCache = Opt::DeleteBySize, d.txtCacheLimitSize = u"1e12"_s; },
         size, 3, u"txtCacheLimitSize"_s},
        {"tool 1 missing", [](OptionsDialog& d) { d.txtTool1Path = u"nothing"_s; }, tool1, 4, u"txtTool1Path"_s},
        {"tool 1 a folder", [](OptionsDialog& d) { d.txtTool1Path = u"banks"_s; }, tool1, 4, u"txtTool1Path"_s},
        {"tool 2 not executable", [](OptionsDialog& d) { d.txtTool2Path = u"plain.txt"_s; }, tool2, 4, u"txtTool2Path"_s},
        {"voice root missing", [](OptionsDialog& d) { d.chkVoiceRoot_Click(true), d.txtVoiceParent = u"/no/such"_s; }, root,
         4, u"txtVoiceParent"_s},
        // The first failing check speaks: the cache before the tools.
        {"cache and tool",
         [](OptionsDialog& d) { d.optCache = Opt::DeleteBySize, d.txtCacheLimitSize = u""_s, d.txtTool1Path = u"x"_s; },
         size, 3, u"txtCacheLimitSize"_s},
    };
    for (const Case& c : cases) {
        settings().CacheDeleteSize = 7;
        OptionsDialog d(voices);
        d.Form_Load(1);
        c.change(d);
        ports.messageBox.shown.clear();
        d.cmdOK_Click();
        EXPECT_FALSE(d.hidden) << c.what;
        ASSERT_EQ(ports.messageBox.shown.size(), 1) << c.what;
        EXPECT_EQ(ports.messageBox.lastText(), c.message) << c.what;
        EXPECT_EQ(d.SelectedTab, c.tab) << c.what;
        EXPECT_EQ(d.FocusControl, c.box) << c.what;
        EXPECT_EQ(settings().CacheDeleteSize, 7) << c.what;
        EXPECT_EQ(voices.listLoads, 0) << c.what;
    }
}

// Every setting the dialog shows comes back from "setting.ini" as the dialog stored it.
TEST_F(OptionsFixture, EverySettingRoundTripsThroughTheSettingsFile) {
    midi.inputs = {u"Keys In"_s, u"Pads"_s};
    midi.outputs = {u"Synth"_s, u"Sampler"_s};
    writeFile(file(u"program.txt"_s), "# general MIDI\r\n1 Piano\r\n\r\n25 Guitar\r\n");
    Settings& s = settings();
    s.OtoList = {u"A\t/x/a"_s, QString(), u"B\t/x/b"_s};
    s.MidiProgramChange = 2;
    s.SharpFlat = u"♭"_s;
    s.MidiInDevName = u"Pads"_s;

    OptionsDialog d(voices);
    d.Form_Load(1);
    EXPECT_EQ(d.lstOtoList, (QStringList{u"A\t/x/a"_s, u"B\t/x/b"_s}));
    EXPECT_EQ(d.cboMidiProgramItems, (QStringList{u"1 Piano"_s, u"25 Guitar"_s}));
    EXPECT_TRUE(d.chkMidiSendPC);
    EXPECT_EQ(d.cboMidiProgramIndex, 1);
    EXPECT_EQ(d.cboSharpFlatIndex, 3);
    EXPECT_EQ(d.cboMidiDevIndex, 1);
    EXPECT_EQ(d.cboMidiOutDevIndex, -1);
    EXPECT_EQ(d.txtTool1Path, u"catena"_s);  // shown relative to the program folder
    EXPECT_EQ(d.txtVoiceParent, u"voice"_s);

    d.chkEnterLyric = d.chkNoCheckSetLyrics = d.chkNoOtoReport = d.chkOldTime = d.chkCheckVoiceFile = true;
    d.chkUseDLL_Click(true);
    d.chkNonBatchMode = true;
    d.chkNoCopyVoiceParam_Click(false);
    d.chkExcludeVowelOnSetParam = true;
    d.chkEncPitchDatas = true;
    d.chkDebugMode = true;
    d.lstOtoList_Click(0);
    d.cmdOtoDelete_Click();
    d.txtOtoName_Change(u"名,前"_s);
    d.txtOtoPath_Change(u"/x/c d"_s);
    d.cmdOtoAdd_Click();
    d.chkCacheTemp_Click(true);
    d.optCache = OptionsDialog::CacheOption::DeleteBySize;
    d.txtCacheLimitSize = u"2.5"_s;  // a half goes to the even number
    d.Command1_Click();
    d.chkVoiceRoot_Click(true);
    d.txtVoiceParent = file(u"banks"_s);
    d.cboMidiDevIndex = 0;
    d.cboMidiOutDevIndex = 1;
    d.chkMidiSendNote = true;
    d.cboMidiProgramIndex = 0;
    d.cboSharpFlatIndex = 2;
    d.cmdOK_Click();
    ASSERT_TRUE(d.Result) << ports.messageBox.lastText().toStdString();
    EXPECT_EQ(voices.listLoads, 1);
    EXPECT_FALSE(s.EncodePitchData);  // until the program ends
    EXPECT_TRUE(EventGuard::debugMode());  // the handlers stop trapping at once

    ASSERT_TRUE(SaveSettings());
    s = Settings{};
    ASSERT_TRUE(LoadSettings());
    EXPECT_EQ(s.OtoList, (QStringList{u"B\t/x/b"_s, u"名前\t/x/c d"_s}));
    EXPECT_TRUE(s.EnterLyric && s.NoCheckSetLyrics && s.NoOtoReport && s.OldTime && s.CheckVoiceFile);
    EXPECT_TRUE(s.UseDLL && s.NonBatchMode && s.ExcludeVowelOnSetParam && s.DebugMode);
    EXPECT_FALSE(s.NoCopyVoiceParam);
    EXPECT_TRUE(s.EncodePitchData);  // never stored
    EXPECT_TRUE(s.CacheEnable && s.CacheDeleteBySize);
    EXPECT_FALSE(s.CacheDeleteByDate || s.CacheDeleteOnUnload);
    EXPECT_EQ(s.CacheDeleteSize, 2);
    EXPECT_EQ(s.Tool1Path, file(u"catena"_s));
    EXPECT_EQ(s.Tool2Path, file(u"vorsa"_s));
    EXPECT_EQ(s.VoiceRoot, file(u"banks"_s));
    EXPECT_EQ(s.MidiInDevName, u"Keys In"_s);
    EXPECT_EQ(s.MidiOutDevName, u"Sampler"_s);
    EXPECT_TRUE(s.MidiSendNote);
    EXPECT_EQ(s.MidiProgramChange, 1);
    EXPECT_EQ(s.SharpFlat, u"b"_s);
    settings().DebugMode = false;
}

// The other direction of the cache page and the voice root: off, by date, at unload; "voice" stored
// as an empty root; a device that is not plugged in keeps its name.
TEST_F(OptionsFixture, CachePolicyVoiceRootAndAbsentDevice) {
    Settings& s = settings();
    s.CacheEnable = s.CacheDeleteByDate = true;
    s.CacheDeleteInterval = 14;
    s.CacheDeleteSize = 500;
    s.VoiceRoot = file(u"banks"_s);
    s.MidiOutDevName = u"Unplugged"_s;
    s.SharpFlat = u"?"_s;

    OptionsDialog d(voices);
    d.Form_Load(9);  // no such tab: the first stays
    EXPECT_EQ(d.SelectedTab, 1);
    EXPECT_EQ(d.optCache, OptionsDialog::CacheOption::DeleteByDate);
    EXPECT_EQ(d.txtCacheDeleteDays, u"14"_s);
    EXPECT_EQ(d.txtCacheLimitSize, u"500"_s);
    EXPECT_TRUE(d.chkVoiceRoot && d.txtVoiceParentEnabled);
    EXPECT_EQ(d.cboSharpFlatIndex, -1);
    d.txtCacheDeleteDays = u"3.5"_s;
    QDir().mkpath(file(u"voice"_s));  // the program's own voice folder
    d.txtVoiceParent = u"voice"_s;
    d.cmdOK_Click();
    ASSERT_TRUE(d.Result);
    EXPECT_EQ(s.CacheDeleteInterval, 4);
    EXPECT_EQ(s.CacheDeleteSize, 500);  // kept: its option is not selected
    EXPECT_TRUE(s.VoiceRoot.isEmpty());
    EXPECT_EQ(s.MidiOutDevName, u"Unplugged"_s);
    EXPECT_EQ(s.SharpFlat, u"?"_s);

    OptionsDialog again(voices);
    again.Form_Load(3);
    EXPECT_FALSE(again.chkVoiceRoot);
    again.chkCacheTemp_Click(false);
    EXPECT_FALSE(again.cacheControlsEnabled);
    again.cmdOK_Click();
    EXPECT_FALSE(s.CacheEnable || s.CacheDeleteByDate || s.CacheDeleteBySize || s.CacheDeleteOnUnload);
    EXPECT_EQ(s.OtoList, QStringList{QString()});  // an empty list stores one empty entry

    // Cancel changes nothing.
    OptionsDialog cancelled(voices);
    cancelled.Form_Load(1);
    cancelled.chkEnterLyric = true;
    cancelled.cmdCancel_Click();
    EXPECT_TRUE(cancelled.hidden);
    EXPECT_FALSE(cancelled.Result);
    EXPECT_FALSE(s.EnterLyric);
}

TEST_F(OptionsFixture, RegisteredBanksListAndTabs) {
    OptionsDialog d(voices);
    d.Form_Load(5);
    EXPECT_EQ(d.SelectedTab, 5);
    d.Form_KeyDown_CtrlTab();
    EXPECT_EQ(d.SelectedTab, 1);

    // Add needs both boxes: the empty one gets the focus.
    d.cmdOtoAdd_Click();
    EXPECT_EQ(d.FocusControl, u"txtOtoName"_s);
    d.txtOtoName_Change(u"Alto"_s);
    EXPECT_FALSE(d.cmdOtoAddEnabled);
    d.cmdOtoAdd_Click();
    EXPECT_EQ(d.FocusControl, u"txtOtoPath"_s);
    d.txtOtoPath_Change(u"/v/alto"_s);
    EXPECT_TRUE(d.cmdOtoAddEnabled);
    EXPECT_FALSE(d.cmdOtoSetEnabled);
    d.cmdOtoAdd_Click();
    EXPECT_EQ(d.lstOtoList, QStringList{u"Alto\t/v/alto"_s});
    EXPECT_TRUE(d.txtOtoName.isEmpty() && d.txtOtoPath.isEmpty());

    // Set and Delete with no entry selected change nothing.
    d.txtOtoName_Change(u"X"_s);
    d.txtOtoPath_Change(u"/x"_s);
    d.cmdOtoSet_Click();
    d.cmdOtoDelete_Click();
    EXPECT_EQ(d.lstOtoList, QStringList{u"Alto\t/v/alto"_s});
    d.lstOtoList_Click(0);
    EXPECT_EQ(d.txtOtoName, u"Alto"_s);
    EXPECT_TRUE(d.cmdOtoDeleteEnabled && d.cmdOtoSetEnabled);
    d.txtOtoName_Change(u"Bass"_s);
    d.cmdOtoSet_Click();
    EXPECT_EQ(d.lstOtoList, QStringList{u"Bass\t/v/alto"_s});

    // The folder chooser fills the path and the profile's name, else the folder's last part.
    voices.profiles.insert(u"/v/tenor"_s, {u"テナー"_s, QString(), QString()});
    for (const QString& a : {u"/v/tenor/あ.wav"_s, u"/v/soprano/a.wav"_s, QString()}) ports.fileDialog.answers.enqueue(a);
    d.cmdOtoFolder_Click();
    EXPECT_EQ(d.txtOtoPath, u"/v/tenor"_s);
    EXPECT_EQ(d.txtOtoName, u"テナー"_s);
    d.cmdOtoFolder_Click();
    EXPECT_EQ(d.txtOtoName, u"soprano"_s);
    d.cmdOtoFolder_Click();  // cancelled
    EXPECT_EQ(d.txtOtoPath, u"/v/soprano"_s);
    ASSERT_EQ(ports.fileDialog.asked.size(), 3);
    EXPECT_EQ(ports.fileDialog.asked[0].fileName, u"あ.wav"_s);
}

// "キャッシュを削除" empties the cache folder of the project in use once the user confirms.
TEST_F(OptionsFixture, DeleteCacheEmptiesTheProjectCacheAfterAsking) {
    const QString cache = file(u"song.cache"_s);
    writeFile(cache + u"/1_a_C4_100_0.wav"_s, "x");
    OptionsDialog d(voices, [&cache] { return cache; });
    d.Form_Load(3);
    ports.messageBox.answers.enqueue(MsgResult::Cancel);
    ports.messageBox.answers.enqueue(MsgResult::OK);
    d.cmdDeleteCache_Click();
    EXPECT_TRUE(QFile::exists(cache + u"/1_a_C4_100_0.wav"_s));
    d.cmdDeleteCache_Click();
    EXPECT_FALSE(QFile::exists(cache + u"/1_a_C4_100_0.wav"_s));
    EXPECT_EQ(ports.messageBox.lastText(), u"キャッシュファイルを全て削除します。"_s);
}

// The form: every tab pictured, a refused OK shows the offending page with the focus in its box, and
// the dependent controls follow their check boxes.
TEST_F(OptionsFixture, FormShowsEachTabAndFocusesTheRefusedBox) {
    midi.inputs = {u"Keys In"_s};
    settings().OtoList = {u"Alto\t/v/alto"_s};
    settings().UseDLL = true;
    frmOptions form(voices);
    form.load(1);
    form.show();
    EXPECT_EQ(form.windowTitle(), u"ｵﾌﾟｼｮﾝ"_s);
    EXPECT_FALSE(form.chkNonBatchMode->isEnabled());
    for (int tab = 1; tab <= OptionsDialog::TabCount; ++tab) {
        form.tbsOptions->setCurrentIndex(tab - 1);
        for (int i = 0; i < OptionsDialog::TabCount; ++i) {
            EXPECT_EQ(form.picOptions[i]->isVisible(), i == tab - 1);
            EXPECT_EQ(form.picOptions[i]->x(), i == tab - 1 ? 210 / 15 : -20000 / 15);
        }
        const QString png = savePng(&form, u"frmOptions_tab%1"_s.arg(tab));
        EXPECT_FALSE(QImage(png).isNull());
    }
    QKeyEvent ctrlTab(QEvent::KeyPress, Qt::Key_Tab, Qt::ControlModifier);
    QApplication::sendEvent(&form, &ctrlTab);
    EXPECT_EQ(form.tbsOptions->currentIndex(), 0);

    form.tbsOptions->setCurrentIndex(0);
    form.chkCacheTemp->click();
    EXPECT_TRUE(form.optCacheDeleteBySize->isEnabled());
    form.optCacheDeleteBySize->click();
    form.txtCacheLimitSize->setText(u"0"_s);
    emit form.txtCacheLimitSize->textEdited(u"0"_s);
    form.cmdOK->click();
    EXPECT_EQ(ports.messageBox.lastText(), u"キャッシュの容量上限の設定が不正です。"_s);
    EXPECT_EQ(form.tbsOptions->currentIndex(), 2);
    EXPECT_TRUE(form.picOptions[2]->isVisible());
    EXPECT_EQ(form.focusWidget(), form.txtCacheLimitSize);
    EXPECT_TRUE(form.isVisible());

    form.chkVoiceRoot->click();
    EXPECT_TRUE(form.txtVoiceParent->isEnabled());
    form.chkVoiceRoot->click();
    EXPECT_EQ(form.txtVoiceParent->text(), u"voice"_s);
    EXPECT_FALSE(form.cmdBrowsVFolder->isEnabled());
    EXPECT_FALSE(form.cboMidiProgram->isEnabled());
    form.chkMidiSendPC->click();
    EXPECT_TRUE(form.cboMidiProgram->isEnabled());
    EXPECT_EQ(form.cboMidiDev->count(), 1);
    EXPECT_EQ(form.lstOtoList->count(), 1);
}

TEST_F(OptionsFixture, ShowDialogReturnsTheResult) {
    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<frmOptions*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->tbsOptions->currentIndex(), 1);
        form->chkEnterLyric->click();
        form->cmdOK->click();
    });
    EXPECT_TRUE(frmOptions::ShowDialog(2, nullptr, voices));
    EXPECT_TRUE(settings().EnterLyric);
    QTimer::singleShot(0, [] { qobject_cast<frmOptions*>(QApplication::activeModalWidget())->cmdCancel->click(); });
    EXPECT_FALSE(frmOptions::ShowDialog(1, nullptr, voices));
}

}  // namespace
