#include "MainWindowRig.h"

#include "render/AliasLookup.h"
#include "render/CacheFiles.h"
#include "render/OtoIni.h"
#include "support/TestSupport.h"
#include "voicebank/PrefixMapEditorPort.h"
#include "voicebank/SamplePickerPort.h"
#include "voicebank/SuffixBrokerPort.h"

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

namespace {

// The prefix.map editor as scripted: it writes the file and answers true, or answers false.
class ScriptedPrefixMapEditor : public PrefixMapEditorPort {
public:
    bool save = true;
    QStringList opened;
    bool ShowDialog(const QString& voiceFolder, QObject*) override {
        opened << voiceFolder;
        if (save) test::writeFile(voiceFolder + u"/prefix.map"_s, "C4\t\txyz\r\n");
        return save;
    }
};

class ScriptedSuffixBroker : public SuffixBrokerPort {
public:
    bool ShowDialog(qint32 first, qint32 last, QStringList& lyrics, QObject*) override {
        for (qint32 i = first; i <= last; ++i) lyrics[i] += u"↑"_s;
        return true;
    }
};

class RecordingSamplePicker : public SamplePickerPort {
public:
    QStringList shown;
    void ShowList(const QString& voiceFolder, EditContext&) override { shown << voiceFolder; }
};

}  // namespace

// A saved prefix.map is loaded at once; a cancelled one is not.
TEST(VoiceBankCommands, PrefixMapEditorSavedReloadsTheMap) {
    ScriptedPrefixMapEditor editor;
    test::MainWindowRig rig;
    rig.ports.prefixMapEditor = &editor;
    ASSERT_TRUE(rig.start());
    const QString bank = rig.path(u"bank"_s);
    QDir().mkpath(bank);
    rig.w().song.VoiceDir = bank;
    ResetPrefixMap();
    editor.save = false;
    rig.f().controlAs<QAction>(u"mnEditPrefixmap"_s)->trigger();
    EXPECT_EQ(ApplyPrefixMap(36, u"あ"_s), u"あ"_s);
    editor.save = true;
    rig.f().controlAs<QAction>(u"mnEditPrefixmap"_s)->trigger();
    EXPECT_EQ(editor.opened, (QStringList{bank, bank}));
    EXPECT_EQ(ApplyPrefixMap(36, u"あ"_s), u"あxyz"_s);
    ForgetPrefixMap();
}

// The suffix dialog and the sample picker reach the window's song from its menus.
TEST(VoiceBankCommands, SuffixBrokerAndSamplePickerRunFromTheMenus) {
    ScriptedSuffixBroker broker;
    RecordingSamplePicker picker;
    test::MainWindowRig rig;
    rig.ports.suffixBroker = &broker;
    rig.ports.samplePicker = &picker;
    ASSERT_TRUE(rig.start());
    rig.setSong({480, 480, 480});
    Song& song = rig.w().song;
    song.SelStart = 2;
    song.SelEnd = 1;
    rig.f().controlAs<QAction>(u"mnSurffixBroker"_s)->trigger();
    EXPECT_EQ(song.Lyrics, (QStringList{u"あ"_s, u"あ↑"_s, u"あ↑"_s}));
    EXPECT_EQ(song.UndoCaptions.value(song.UndoPos - 1), u"歌詞の変更"_s);
    EXPECT_TRUE(song.IsModified);

    song.VoiceDir = u"/voices/aiueo"_s;
    rig.f().controlAs<QAction>(u"mnInsertFrom"_s)->trigger();
    rig.f().controlAs<QAction>(u"mnWordList"_s)->trigger();
    EXPECT_EQ(picker.shown, (QStringList{u"/voices/aiueo"_s, u"/voices/aiueo"_s}));
    EXPECT_TRUE(rig.modal.messageBox.shown.isEmpty());
}
