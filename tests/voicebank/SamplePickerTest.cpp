// The sample picker's model: the list it fills, what a click plays and what a double click puts into
// the song.
#include "VoiceBankFixture.h"

#include "voicebank/SamplePicker.h"

#include "commands/FakeEditContext.h"
#include "core/Processes.h"
#include "core/Settings.h"
#include "platform/FakePorts.h"
#include "render/OtoIni.h"

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;
using namespace Qt::StringLiterals;

namespace {

struct SamplePickerTest : ::testing::Test {
    BankFolder bank;
    QTemporaryDir temp;
    ScopedFakePorts ports;
    LoggingMci mci;
    SamplePicker p{mci};
    FakeEditContext c;
    QString savedTemp;

    void SetUp() override {
        settings() = Settings{};
        savedTemp = TempFolder;
        TempFolder = temp.path();
        // か is the alias of ka.wav; sa.wav and the sub-folder's samples have no entry.
        bank.oto(u"oto.ini"_s, u"ka.wav=か,0,0,0,0,0\r\nn.wav=,0,0,0,0,0\r\n"_s);
        bank.samples({u"ka.wav"_s, u"sa.wav"_s, u"n.wav"_s, u"o.aiff"_s, u"sub/x.wav"_s});
        LoadOtoIni(bank.root());
        // ka.wav: 100 frames at 440 Hz (A4, note 45).
        ASSERT_TRUE(writeFrq(bank.path(u"ka.wav"_s), 440.0, 100));
        c.s.resizeNotes(2);
        c.s.Lyrics = {u"あ"_s, u"い"_s};
        c.s.NoteNums = {40, 41};
        c.s.Tempo = 120.0f;
    }
    void TearDown() override {
        ClearOtoTable();
        TempFolder = savedTemp;
        settings() = Settings{};
    }
    void open() {
        if (p.ShowList(bank.root(), c, {})) p.FillList({});
    }
    void pick(const QString& text) { p.selected = int(p.items.indexOf(text)); }
};

TEST_F(SamplePickerTest, TheListShowsEverySampleByAliasAndIsKeptForTheSameFolder) {
    EXPECT_TRUE(p.ShowList(bank.root(), c, {}));
    p.FillList({});
    EXPECT_EQ(p.items, (QStringList{u"か"_s, u"n"_s, u"o"_s, u"sa"_s, u"sub\\x"_s}));
    p.selected = 1;
    p.List1_Click();
    // The same folder: nothing to fill. The close box: the next opening fills again.
    EXPECT_FALSE(p.ShowList(bank.root(), c, {}));
    p.CancelButton_Click();
    EXPECT_TRUE(p.LastText.isEmpty());
    EXPECT_FALSE(p.ShowList(bank.root(), c, {}));
    p.cancelRequested();
    EXPECT_TRUE(p.Abort);
    EXPECT_FALSE(p.Result);
    EXPECT_TRUE(p.ShowList(bank.root(), c, {}));
    EXPECT_FALSE(p.Abort);
}

TEST_F(SamplePickerTest, OpeningAnotherFolderDuringAFillEndsTheOlderFill) {
    BankFolder other;
    other.samples({u"x1.wav"_s, u"x2.wav"_s});
    ASSERT_TRUE(p.ShowList(bank.root(), c, {}));
    int calls = 0;
    p.FillList([&] {
        // The window's events while the list grows: the picker is opened on another bank.
        if (++calls == 2 && p.ShowList(other.root(), c, {})) p.FillList({});
    });
    EXPECT_EQ(p.VoiceFolder, other.root());
    EXPECT_EQ(p.items, (QStringList{u"x1"_s, u"x2"_s}));
    // Closing during a fill ends it before its next item.
    p.cancelRequested();
    ASSERT_TRUE(p.ShowList(bank.root(), c, {}));
    p.FillList([&] { p.Abort = p.items.size() == 2; });
    EXPECT_EQ(p.items.size(), 2);
}

TEST_F(SamplePickerTest, AClickPlaysTheSampleUnlessSilent) {
    open();
    pick(u"か"_s);
    p.List1_Click();
    EXPECT_EQ(p.LastText, u"か"_s);
    const QString ka = GetShortPath(bank.path(u"ka.wav"_s));
    EXPECT_EQ(mci.log, (QStringList{u"open "_s + ka, u"play "_s + ka}));

    mci.log.clear();
    p.chkSilent = true;
    pick(u"sa"_s);
    p.List1_Click();
    EXPECT_EQ(p.LastText, u"sa"_s);
    EXPECT_TRUE(mci.log.isEmpty());
    EXPECT_TRUE(ports.messageBox.shown.isEmpty());

    // A failure to play, and a listed name whose file has gone, are shown.
    p.chkSilent = false;
    mci.failure = u"NG:サウンド出力デバイスを開けません。"_s;
    p.List1_Click();
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_TRUE(ports.messageBox.lastText().contains(u"サウンド出力デバイスを開けません。"_s));
    QFile::remove(bank.path(u"sa.wav"_s));
    mci.log.clear();
    p.List1_Click();
    EXPECT_TRUE(mci.log.isEmpty());
    EXPECT_EQ(ports.messageBox.lastText(), bank.path(u"sa.wav"_s) + u" が見つかりません。"_s);
}

TEST_F(SamplePickerTest, ASamplePathWithAnExclamationMarkPlaysFromTheTemporaryCopy) {
    BankFolder odd;
    QDir().mkpath(odd.path(u"wow!"_s));
    writeFile(odd.path(u"wow!/a.wav"_s), "RIFF-bytes");
    ASSERT_TRUE(p.ShowList(odd.path(u"wow!"_s), c, {}));
    p.FillList({});
    ASSERT_EQ(p.items, QStringList{u"a"_s});
    p.selected = 0;
    p.List1_Click();
    const QString copy = temp.path() + u"/temp.wav"_s;
    EXPECT_EQ(mci.log, (QStringList{u"close "_s + copy, u"open "_s + copy, u"play "_s + copy}));
    EXPECT_EQ(readFile(copy), "RIFF-bytes");
}

TEST_F(SamplePickerTest, NoteNumberAndLengthComeFromTheFrequencyTable) {
    open();
    const struct {
        const char* what;
        QString sample;
        float tempo;
        qint32 length, noteNum;
    } cases[] = {
        // 100 frames of 256 samples at 44100 Hz are 0.5805 s: 2229.2 ticks at 120, 1114.6 at 60.
        {"table at 120", u"ka.wav"_s, 120.0f, 2229, 45},
        {"table at 60", u"ka.wav"_s, 60.0f, 1115, 45},
        {"tempo 0 counts as 120", u"ka.wav"_s, 0.0f, 2229, 45},
        {"no table: length stays", u"sa.wav"_s, 120.0f, 7, -1},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        c.s.Tempo = k.tempo;
        p.ShowList(bank.root(), c, {});
        qint32 length = 7, noteNum = 0;
        p.GetItemNoteNum(k.sample, length, noteNum);
        EXPECT_EQ(length, k.length);
        EXPECT_EQ(noteNum, k.noteNum);
    }
    // A key frequency of 0 gives no note.
    ASSERT_TRUE(writeFrq(bank.path(u"n.wav"_s), 0.0, 10));
    qint32 length = 7, noteNum = 0;
    p.GetItemNoteNum(u"n.wav"_s, length, noteNum);
    EXPECT_EQ(noteNum, -1);
    EXPECT_EQ(length, 7);
}

TEST_F(SamplePickerTest, DoubleClicksInsertOrReplaceAtTheSelectionAndMoveOn) {
    open();
    c.setSelection(1, 1);
    pick(u"か"_s);
    p.List1_DblClick();  // table: note 45, 2229 ticks rounded to 2280
    pick(u"sa"_s);
    p.List1_DblClick();  // no table: note 36, the new-note length
    ASSERT_EQ(c.s.noteCount(), 4);
    EXPECT_EQ(c.s.Lyrics, (QStringList{u"あ"_s, u"か"_s, u"sa"_s, u"い"_s}));
    EXPECT_EQ(c.s.NoteNums.mid(1, 2), (QList<qint32>{45, 36}));
    EXPECT_EQ(c.s.Lengths.mid(1, 2), (QList<qint32>{2280, c.newLength}));
    EXPECT_EQ(c.s.SelStart, 3);
    EXPECT_EQ(c.s.UndoPos, 2);
    EXPECT_EQ(c.s.UndoCaptions.last(), u"挿入"_s);

    p.chkReplace = true;
    pick(u"n"_s);
    p.List1_DblClick();  // replaces the lyric of note 3
    EXPECT_EQ(c.s.Lyrics.last(), u"n"_s);
    EXPECT_EQ(c.s.NoteNums.last(), 41);
    EXPECT_EQ(c.s.UndoCaptions.last(), u"歌詞"_s);
    EXPECT_EQ(c.s.SelStart, 4);
    // Past the last note a replace does nothing.
    p.List1_DblClick();
    EXPECT_EQ(c.s.noteCount(), 4);
    EXPECT_EQ(c.s.UndoPos, 3);
    EXPECT_EQ(c.s.SelStart, 4);
    EXPECT_EQ(p.LastText, u"n"_s);
}

}  // namespace
