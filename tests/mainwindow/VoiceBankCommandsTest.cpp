#include "MainWindowRig.h"

#include "render/AliasLookup.h"
#include "render/CacheFiles.h"
#include "render/OtoIni.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QDir>

#include <gtest/gtest.h>

using namespace tova;
using namespace Qt::StringLiterals;

// The Tools menu's "原音の設定(&S)..." opens the manager at the sample the note at the selection start
// would use: its lyric through the bank's prefix.map, or the plain lyric when that has no entry and
// CheckVoiceFile is on.
TEST(VoiceBankCommands, ManagerOpensAtTheSelectedNotesSample) {
    test::MainWindowRig rig;
    ASSERT_TRUE(rig.start());
    const QString bank = rig.path(u"bank"_s);
    QDir().mkpath(bank);
    // Internal note 40 is E4: its lyrics get the suffix "強".
    test::writeFile(bank + u"/prefix.map"_s, "E4\t\t\x8b\xad\r\n");
    test::writeFile(bank + u"/oto.ini"_s, "a.wav=\x82\xa0,0,100,0,50,20\r\n");
    LoadOtoIni(bank);
    LoadPrefixMap(bank);
    Song& song = rig.w().song;
    song.VoiceDir = bank;
    song.Tool2 = u"/opt/tools/vorsa"_s;
    const QString temporaryCache = CacheFolderOrTemp(QString());
    ASSERT_TRUE(temporaryCache.endsWith(u"temp.cache"_s));

    const struct {
        const char* what;
        int notes;
        qint32 selStart;
        bool checkVoiceFile;
        QString cacheDir;
        QString expected;
    } cases[] = {
        {"no notes", 0, 0, false, QString(), bank + u"|||"_s + temporaryCache},
        {"selection beyond the last note", 2, 2, false, QString(), bank + u"|||"_s + temporaryCache},
        {"mapped lyric", 2, 1, false, u"/p.cache"_s, bank + u"|あ強|あ|/p.cache"_s},
        {"mapped lyric without entry, checked", 2, 1, true, u"/p.cache"_s, bank + u"|あ|あ|/p.cache"_s},
    };
    for (const auto& c : cases) {
        rig.setSong(QList<qint32>(c.notes, 480));
        song.SelStart = song.SelEnd = c.selStart;
        song.CacheDir = c.cacheDir;
        settings().CheckVoiceFile = c.checkVoiceFile;
        rig.voiceBankManager.shown.clear();
        rig.f().controlAs<QAction>(u"mnEditAlias"_s)->trigger();
        ASSERT_EQ(rig.voiceBankManager.shown.size(), 1) << c.what;
        EXPECT_EQ(rig.voiceBankManager.shown[0], c.expected + u"|/opt/tools/vorsa|0"_s) << c.what;
    }
    ClearOtoTable();
    ForgetPrefixMap();
}

TEST(VoiceBankCommands, PrefixMapEditorIsNotAvailableYet) {
    test::MainWindowRig rig;
    ASSERT_TRUE(rig.start());
    rig.modal.messageBox.shown.clear();
    rig.f().controlAs<QAction>(u"mnEditPrefixmap"_s)->trigger();
    EXPECT_EQ(rig.modal.messageBox.lastText(), u"prefix.mapの編集はまだ使用できません。"_s);
}
