// The main window's commands that open the suffix dialog and the sample picker.
#include "voicebank/SamplePickerPort.h"
#include "voicebank/SuffixBroker.h"
#include "voicebank/SuffixBrokerPort.h"
#include "voicebank/VoiceBankNoteCommands.h"

#include "commands/CommandRegistry.h"
#include "commands/FakeEditContext.h"
#include "platform/FakePorts.h"

#include <gtest/gtest.h>

using namespace tova;
using namespace Qt::StringLiterals;

namespace {

// The suffix dialog as scripted: applied with a suffix, or cancelled.
class ScriptedBroker : public SuffixBrokerPort {
public:
    bool apply = true;
    QString suffix = u"↑"_s;
    QList<std::pair<qint32, qint32>> opened;
    bool ShowDialog(qint32 first, qint32 last, QStringList& lyrics, QObject*) override {
        opened.append({first, last});
        if (!apply) return false;
        SuffixBroker b;
        b.cboSurffix = suffix;
        b.Apply(first, last, lyrics);
        return true;
    }
};

class RecordingPicker : public SamplePickerPort {
public:
    QStringList shown;
    void ShowList(const QString& voiceFolder, EditContext&) override { shown << voiceFolder; }
};

// A cache that notes the state of the song at each deletion, to show the order of the closing calls.
class OrderedCache : public NoteCache {
public:
    explicit OrderedCache(Song& s) : song(s) {}
    void DeleteNoteCacheFiles(const QString&, qint32 index) override {
        log << u"%1 modified=%2 steps=%3"_s.arg(index).arg(song.IsModified).arg(song.UndoPos);
    }
    Song& song;
    QStringList log;
};

struct OrderedContext : FakeEditContext {
    OrderedCache ordered{s};
    NoteCache* renderCache() override { return &ordered; }
};

struct VoiceBankNoteCommandsTest : ::testing::Test {
    CommandRegistry registry;
    ScriptedBroker broker;
    RecordingPicker picker;
    OrderedContext c;
    ScopedFakePorts ports;
    OrderedCache& cache = c.ordered;
    void SetUp() override {
        registerVoiceBankNoteCommands(
            registry, [this](EditContext&) { return &broker; }, [this](EditContext&) { return &picker; });
        c.s.resizeNotes(4);
        c.s.Lyrics = {u"あ"_s, u"か強"_s, u"R"_s, u"さ"_s};
    }
};

TEST_F(VoiceBankNoteCommandsTest, AnAppliedSuffixIsOneStepAfterTheRenderingsWereDeleted) {
    c.setSelection(3, 1);
    c.s.CacheDir = u"/cache"_s;
    const QString before = c.s.SerializeNoteRange(u"PROP"_s, 1, 3);
    ASSERT_TRUE(registry.run(u"mnSurffixBroker"_s, c));
    EXPECT_EQ(broker.opened.last(), std::make_pair(1, 3));
    EXPECT_EQ(c.s.Lyrics, (QStringList{u"あ"_s, u"か↑"_s, u"R"_s, u"さ↑"_s}));
    // Deleted first, then marked modified and recorded, then redrawn.
    EXPECT_EQ(cache.log, (QStringList{u"1 modified=0 steps=0"_s, u"2 modified=0 steps=0"_s, u"3 modified=0 steps=0"_s}));
    EXPECT_TRUE(c.s.IsModified);
    ASSERT_EQ(c.s.UndoPos, 1);
    EXPECT_EQ(c.s.UndoCaptions[0], u"歌詞の変更"_s);
    EXPECT_EQ(c.s.UndoTexts[0], before);
    EXPECT_EQ(c.s.RedoTexts[0], c.s.SerializeNoteRange(u"PROP"_s, 1, 3));
    EXPECT_EQ(c.notesDrawn, 1);
    EXPECT_EQ(c.backgrounds, 1);
}

TEST_F(VoiceBankNoteCommandsTest, CancelNoChangeOrNoSelectionRecordNothing) {
    c.setSelection(0, 0);
    broker.apply = false;
    registry.run(u"mnSurffixBroker"_s, c);  // cancelled
    broker.apply = true;
    c.setSelection(2, 2);
    registry.run(u"mnSurffixBroker"_s, c);  // a rest: unchanged
    c.setSelection(4, 4);
    registry.run(u"mnSurffixBroker"_s, c);  // no selection: no dialog
    EXPECT_EQ(broker.opened.size(), 2);
    EXPECT_EQ(c.s.UndoPos, 0);
    EXPECT_FALSE(c.s.IsModified);
    EXPECT_TRUE(cache.log.isEmpty());
    EXPECT_EQ(c.notesDrawn, 0);
}

TEST_F(VoiceBankNoteCommandsTest, ThePickerOpensOnTheProjectsVoiceFolder) {
    c.s.VoiceDir = u"/voices/aoi"_s;
    ASSERT_TRUE(registry.run(u"mnInsertFrom"_s, c));
    EXPECT_EQ(picker.shown, QStringList{u"/voices/aoi"_s});

    // Without the dialogs the commands say so.
    CommandRegistry bare;
    registerVoiceBankNoteCommands(bare, {}, [](EditContext&) { return nullptr; });
    bare.run(u"mnSurffixBroker"_s, c);
    bare.run(u"mnInsertFrom"_s, c);
    ASSERT_EQ(ports.messageBox.shown.size(), 2);
    EXPECT_EQ(ports.messageBox.shown[0].text, u"SurffixBrokerはまだ使用できません。"_s);
    EXPECT_EQ(ports.messageBox.shown[1].text, u"音リストを表示はまだ使用できません。"_s);
}

}  // namespace
