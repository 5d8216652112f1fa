#include "../exchange/ZipBuilder.h"
#include "MainWindowRig.h"
#include "mainwindow/ProgramArchiveInstaller.h"
#include "support/TestSupport.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using namespace tova;
using namespace Qt::Literals::StringLiterals;

// The installer in the main window: the progress window over the roll, the completion text in the
// second status panel, the rescanned voice-bank list and the new bank's profile.
TEST(ArchiveInstallWindow, VoiceBankInstalledFromTheWindow) {
    test::MainWindowRig rig;
    ASSERT_TRUE(rig.start());
    test::ZipBuilder zip;
    zip.file("install.txt", "type=voiceset\r\nfolder=aoi\r\ncontentsdir=bank\r\n")
        .file("bank/character.txt", "name=Aoi\r\n")
        .file("bank/a.wav", "RIFF");
    const QString archive = rig.path(u"aoi.zip"_s);
    ASSERT_TRUE(zip.write(archive));
    rig.modal.messageBox.answers.enqueue(MsgResult::OK);
    ProgramArchiveInstaller().InstallArchive(rig.w(), archive);
    EXPECT_EQ(rig.modal.messageBox.shown.size(), 1);
    EXPECT_TRUE(QFileInfo::exists(rig.path(u"voice/aoi/a.wav"_s)));
    EXPECT_EQ(rig.f().statusText(2), u"\"Aoi\"のインストールが完了しました"_s);
    EXPECT_TRUE(rig.voiceBanks.calls.contains(u"LoadVoiceBankList"_s));
    EXPECT_EQ(rig.voiceTools.shown, QStringList{rig.path(u"voice/aoi"_s) + u"||0"_s});
    EXPECT_TRUE(rig.f().isEnabled());  // the progress window gave the window back
}
