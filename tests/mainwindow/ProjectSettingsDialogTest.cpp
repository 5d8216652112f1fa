#include "../exchange/ExchangeFakes.h"

#include "core/ReadmeMarker.h"
#include "core/Settings.h"
#include "mainwindow/OptionsDialogPort.h"
#include "commands/VoiceToolsPort.h"
#include "mainwindow/ProjectSettingsDialog.h"
#include "platform/FakePorts.h"
#include "platform/SystemPaths.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;

namespace {

struct FakeProfile : VoiceToolsPort {
    QStringList shown;
    bool ShowVoiceProperty(const QString& folder, const QString& caption, bool registerButton, QObject*) override {
        shown << folder;
        EXPECT_TRUE(caption.isEmpty());
        EXPECT_FALSE(registerButton);
        return false;
    }
};

struct FakeOptions : OptionsDialogPort {
    QList<int> tabs;
    bool answer = true;
    std::function<void()> whileOpen;
    bool ShowOptions(int tab) override {
        tabs << tab;
        if (whileOpen) whileOpen();
        return answer;
    }
};

void makeProgram(const QString& path) {
    writeFile(path, "#!/bin/sh\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// A program folder with two tools and two banks under its voice root, a cache folder with two cache
// files and one file of the user's.
struct DialogFixture : ::testing::Test {
    QTemporaryDir dir;
    QString program, cache;
    FakeVoiceBank voices;
    FakeProfile profile;
    FakeOptions options;
    ScopedFakePorts ports;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        program = dir.filePath(u"prog"_qs);
        cache = dir.filePath(u"song.cache"_qs);
        QDir().mkpath(program + u"/voice/cantu"_qs);
        QDir().mkpath(program + u"/voice/uta"_qs);
        makeProgram(program + u"/catena"_qs);
        makeProgram(program + u"/vorsa"_qs);
        makeProgram(program + u"/vorsa2"_qs);
        writeFile(cache + u"/0_a_C4_600.wav"_qs, "x");
        writeFile(cache + u"/1_i_C4_600.wav"_qs, "x");
        writeFile(cache + u"/mine.txt"_qs, "keep");
        SystemPaths::setProgramFolder(program);
        settings() = Settings{};
        settings().Tool1Path = program + u"/catena"_qs;
        settings().Tool2Path = program + u"/vorsa"_qs;
        voices.banks = {u"カントゥ\t"_qs + program + u"/voice/cantu"_qs, QString(), u"broken"_qs,
                        u"うた\t"_qs + program + u"/voice/uta"_qs};
    }
    void TearDown() override {
        SystemPaths::setProgramFolder(QString());
        settings() = Settings{};
    }
    ProjectSettingsValues given() const {
        return {u"歌"_qs, u"out.wav"_qs, program + u"/voice/cantu"_qs, QString(),
                program + u"/catena"_qs, program + u"/vorsa"_qs, cache, u"g-5"_qs};
    }
    int cacheFileCount() const { return int(QDir(cache).entryList({u"*.wav"_qs}, QDir::Files).size()); }
};

TEST_F(DialogFixture, LoadsTheValuesRelativeToTheProgramFolder) {
    ProjectSettingsDialog d(voices, &profile, &options);
    d.Form_Load(given());
    EXPECT_EQ(d.cboVoiceNameItems, (QStringList{u"カントゥ"_qs, u"うた"_qs}));
    EXPECT_EQ(d.mnVoiceCaptions, (QStringList{u"カントゥ"_qs, u"うた"_qs}));
    EXPECT_EQ(d.cboVoiceNameIndex, 0);
    EXPECT_EQ(d.mnVoiceChecked, 0);
    EXPECT_EQ(d.lbOtoFolder, u"voice/cantu"_qs);
    EXPECT_FALSE(d.lbOtoFolderRed);
    EXPECT_EQ(d.txtTool1Path, u"catena"_qs);
    EXPECT_EQ(d.txtTool2Path, u"vorsa"_qs);
    EXPECT_FALSE(d.txtTool1PathRed);
    EXPECT_FALSE(d.txtTool2PathRed);
    EXPECT_EQ(d.txtProjectName, u"歌"_qs);
    EXPECT_EQ(d.txtOutputWavName, u"out.wav"_qs);
    EXPECT_EQ(d.txtFlags, u"g-5"_qs);
    EXPECT_TRUE(d.cmdDeleteCacheEnabled);
    EXPECT_TRUE(d.toolControlsEnabled);

    d.mnVoice_Click(1);
    EXPECT_EQ(d.lbOtoFolder, u"voice/uta"_qs);
    EXPECT_EQ(d.mnVoiceChecked, 1);
    d.mnSetDefault_Click();
    EXPECT_EQ(settings().DefaultVoice, u"うた"_qs);
}

TEST_F(DialogFixture, RedPathsAreRefusedOnOkUnlessTheLibraryRendersInProcess) {
    struct Case {
        const char* what;
        QString voice, tool1, tool2;
        bool useDll;
        QString message;  // empty: OK accepted
    };
    const Case cases[] = {
        {"all black", u"voice/cantu"_qs, u"catena"_qs, u"vorsa"_qs, false, QString()},
        {"voice folder missing", u"voice/none"_qs, u"catena"_qs, u"vorsa"_qs, false, u"原音の選択が無効です。"_qs},
        {"voice folder missing, even in process", u"voice/none"_qs, u"catena"_qs, u"vorsa"_qs, true,
         u"原音の選択が無効です。"_qs},
        {"a file is no voice folder", u"catena"_qs, u"catena"_qs, u"vorsa"_qs, false, u"原音の選択が無効です。"_qs},
        {"tool 1 missing", u"voice/cantu"_qs, u"nothing"_qs, u"nothing"_qs, false, u"ツール１が無効です。"_qs},
        {"tool 2 a folder", u"voice/cantu"_qs, u"catena"_qs, u"voice"_qs, false, u"ツール２が無効です。"_qs},
        {"tool 2 not executable", u"voice/cantu"_qs, u"catena"_qs, u"../song.cache/mine.txt"_qs, false,
         u"ツール２が無効です。"_qs},
        {"red tools do not count in process", u"voice/cantu"_qs, QString(), u"nothing"_qs, true, QString()},
    };
    for (const Case& c : cases) {
        ports.messageBox.shown.clear();
        ProjectSettingsDialog d(voices, &profile, &options);
        d.Form_Load(given());
        d.setLbOtoFolder(c.voice);
        d.txtTool1Path_Change(c.tool1);
        d.txtTool2Path_Change(c.tool2);
        d.chkUseReamplerDll_Click(c.useDll);
        EXPECT_EQ(d.toolControlsEnabled, !c.useDll) << c.what;
        d.cmdOK_Click();
        if (c.message.isEmpty()) {
            EXPECT_TRUE(d.Result && d.hidden) << c.what;
            EXPECT_TRUE(ports.messageBox.shown.isEmpty()) << c.what;
        } else {
            EXPECT_FALSE(d.Result || d.hidden) << c.what;
            ASSERT_EQ(ports.messageBox.shown.size(), 1) << c.what;
            EXPECT_EQ(ports.messageBox.shown[0].text, c.message) << c.what;
            EXPECT_EQ(ports.messageBox.shown[0].icon, MsgIcon::Exclamation) << c.what;
        }
    }
}

TEST_F(DialogFixture, OkWritesBackCleanedValuesAndEmptiesTheCacheOnlyWhenTheRenderingChanges) {
    struct Case {
        const char* what;
        QString voice, tool1, tool2, flags, output, outputBack, flagsBack;
        bool cacheCleared;
    };
    const Case cases[] = {
        {"nothing changed", u"voice/cantu"_qs, u"catena"_qs, u"vorsa"_qs, u"g-5"_qs, u"out.wav"_qs, u"out.wav"_qs,
         u"g-5"_qs, false},
        {"tool 1 alone", u"voice/cantu"_qs, u"vorsa2"_qs, u"vorsa"_qs, u"g-5"_qs, u"song.WAV"_qs, u"song.WAV"_qs,
         u"g-5"_qs, false},
        {"blanks and the other removed characters are no change", u"voice/cantu"_qs, u"catena"_qs, u"vorsa"_qs,
         u" g-5;:\"<>|&/\\*?%"_qs, u"song.mp3"_qs, u"song.mp3.wav"_qs, u"g-5"_qs, false},
        {"flags", u"voice/cantu"_qs, u"catena"_qs, u"vorsa"_qs, u"g-5 B40"_qs, QString(), u".wav"_qs, u"g-5B40"_qs,
         true},
        {"tool 2", u"voice/cantu"_qs, u"catena"_qs, u"vorsa2"_qs, u"g-5"_qs, u"a"_qs, u"a.wav"_qs, u"g-5"_qs, true},
        {"voice bank", u"voice/uta"_qs, u"catena"_qs, u"vorsa"_qs, u"g-5"_qs, u"a"_qs, u"a.wav"_qs, u"g-5"_qs, true},
    };
    for (const Case& c : cases) {
        writeFile(cache + u"/0_a_C4_600.wav"_qs, "x");
        ProjectSettingsDialog d(voices, &profile, &options);
        ProjectSettingsValues values = given();
        d.Form_Load(values);
        d.setLbOtoFolder(c.voice);
        d.txtTool1Path_Change(c.tool1);
        d.txtTool2Path_Change(c.tool2);
        d.txtFlags = c.flags;
        d.txtOutputWavName = c.output;
        d.txtProjectName = u"新しい名前"_qs;
        d.cmdOK_Click();
        ASSERT_TRUE(d.Result) << c.what;
        d.ApplyResult(values);
        EXPECT_EQ(values.ProjectName, u"新しい名前"_qs) << c.what;
        EXPECT_EQ(values.OutFile, c.outputBack) << c.what;
        EXPECT_EQ(values.Flags, c.flagsBack) << c.what;
        EXPECT_EQ(values.VoiceDir, program + u'/' + c.voice) << c.what;
        EXPECT_EQ(values.Tool1, program + u'/' + c.tool1) << c.what;
        EXPECT_EQ(values.Tool2, program + u'/' + c.tool2) << c.what;
        EXPECT_EQ(values.CacheDir, cache) << c.what;
        EXPECT_EQ(cacheFileCount() == 0, c.cacheCleared) << c.what;
        EXPECT_TRUE(QFile::exists(cache + u"/mine.txt"_qs)) << c.what;
    }
    EXPECT_TRUE(ports.messageBox.shown.isEmpty());
}

TEST_F(DialogFixture, DeleteCacheButton) {
    ProjectSettingsDialog d(voices, &profile, &options);
    ProjectSettingsValues empty = given();
    empty.CacheDir = dir.filePath(u"nothing.cache"_qs);
    d.Form_Load(empty);
    EXPECT_FALSE(d.cmdDeleteCacheEnabled);

    ProjectSettingsDialog e(voices, &profile, &options);
    e.Form_Load(given());
    ASSERT_TRUE(e.cmdDeleteCacheEnabled);
    e.cmdDeleteCache_Click();
    EXPECT_EQ(cacheFileCount(), 0);
    EXPECT_TRUE(QFile::exists(cache + u"/mine.txt"_qs));
    EXPECT_FALSE(e.cmdDeleteCacheEnabled);
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_EQ(ports.messageBox.shown[0].text, u"WAV作成時の中間ファイルを全て削除しました。"_qs);
    // Cancel does not bring the files back, and an empty folder shows nothing.
    e.cmdCancel_Click();
    EXPECT_FALSE(e.Result);
    e.cmdDeleteCache_Click();
    EXPECT_EQ(ports.messageBox.shown.size(), 1);
}

TEST_F(DialogFixture, UnlistedFoldersAndTheVoiceMenu) {
    const QString own = dir.filePath(u"own/bank"_qs);
    QDir().mkpath(own);
    voices.profiles.insert(own, {u"わたし"_qs, QString(), QString()});

    // A folder that is not listed: an extra combo entry named after the folder, no menu entry.
    ProjectSettingsDialog d(voices, &profile, &options);
    ProjectSettingsValues values = given();
    values.VoiceDir = own;
    d.Form_Load(values);
    EXPECT_EQ(d.cboVoiceNameItems, (QStringList{u"カントゥ"_qs, u"うた"_qs, own}));
    EXPECT_EQ(d.cboVoiceNameIndex, 2);
    EXPECT_EQ(d.mnVoiceCaptions.size(), 2);
    EXPECT_EQ(d.mnVoiceChecked, -1);
    EXPECT_EQ(d.lbOtoFolder, own);
    d.cmdOK_Click();
    d.ApplyResult(values);
    EXPECT_EQ(values.VoiceName, u"bank"_qs);

    // Chosen through the sample dialog: named after its profile.
    ProjectSettingsDialog e(voices, &profile, &options);
    e.Form_Load(given());
    ports.fileDialog.answers.enqueue(own + u"/あ.wav"_qs);
    e.cmdBrowsOtoDir_Click();
    ASSERT_EQ(ports.fileDialog.asked.size(), 1);
    EXPECT_EQ(ports.fileDialog.asked[0].fileName, program + u"/voice/cantu/あ.wav"_qs);
    EXPECT_EQ(e.cboVoiceNameItems.back(), u"わたし"_qs);
    EXPECT_EQ(e.cboVoiceNameText(), u"わたし"_qs);
    EXPECT_EQ(e.lbOtoFolder, own);
    // Cancelling the dialog changes nothing.
    e.cmdBrowsOtoDir_Click();
    EXPECT_EQ(e.lbOtoFolder, own);

    // An empty bank list: no menu entries (the menu shows its single disabled "（なし）").
    voices.banks.clear();
    ProjectSettingsDialog f(voices, &profile, &options);
    f.Form_Load(given());
    EXPECT_TRUE(f.mnVoiceCaptions.isEmpty());
}

TEST_F(DialogFixture, ReloadOptionsProfileAndReadme) {
    ProjectSettingsDialog d(voices, &profile, &options);
    d.Form_Load(given());
    d.mnVoice_Click(1);
    voices.banks.prepend(u"新\t/x/new"_qs);
    d.mnReloadList_Click();
    EXPECT_EQ(voices.listLoads, 1);
    EXPECT_EQ(d.cboVoiceNameItems.size(), 3);
    EXPECT_EQ(d.cboVoiceNameText(), u"うた"_qs);
    EXPECT_EQ(d.mnVoiceChecked, 2);

    options.whileOpen = [] { settings().UseDLL = true; };
    d.mnSetting_Click();
    EXPECT_EQ(options.tabs, QList<int>{2});
    EXPECT_TRUE(d.chkUseReamplerDll);
    EXPECT_FALSE(d.toolControlsEnabled);
    EXPECT_EQ(d.cboVoiceNameText(), u"うた"_qs);

    d.cmdInfo_Click();
    EXPECT_EQ(profile.shown, QStringList{program + u"/voice/uta"_qs});

    // A bank with "read me.txt" and no marker: its profile is offered after OK; a second time (the
    // marker written by the profile dialog) it is not.
    writeFile(program + u"/voice/uta/read me.txt"_qs, "hello");
    profile.shown.clear();
    ProjectSettingsValues values = given();
    d.cmdOK_Click();
    d.ApplyResult(values);
    EXPECT_EQ(profile.shown, QStringList{program + u"/voice/uta"_qs});
    EXPECT_TRUE(settings().UseDLL);
    ASSERT_TRUE(WriteReadMarker(program + u"/voice/uta"_qs));
    d.ApplyResult(values);
    EXPECT_EQ(profile.shown.size(), 1);

    // Without the options and profile windows the commands say they are not available.
    ProjectSettingsDialog bare(voices, nullptr, nullptr);
    bare.Form_Load(given());
    bare.mnSetting_Click();
    bare.cmdInfo_Click();
    ASSERT_EQ(ports.messageBox.shown.size(), 2);
    EXPECT_EQ(ports.messageBox.shown[0].text, u"オプションはまだ使用できません。"_qs);
    EXPECT_EQ(ports.messageBox.shown[1].text, u"音源の情報はまだ使用できません。"_qs);
}

}  // namespace
