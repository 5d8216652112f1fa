// The note-parameter commands: envelopes and crossfade envelopes, the crossfade optimisation with its
// progress and stop, portamento points and curve shapes, vibrato, and the parameter correction. Each
// command's undo step and the cached renderings it deletes.
#include "EditCommandsFixture.h"
#include "support/TestSupport.h"
#include "support/TestWave.h"
#include "commands/CommandRegistry.h"
#include "commands/CorrectionCommands.h"
#include "commands/CrossFadeCommands.h"
#include "commands/EnvelopeCommands.h"
#include "commands/PitchPointCommands.h"
#include "commands/RegionCommands.h"
#include "commands/TempoCommands.h"
#include "core/FrqHeader.h"
#include "core/NoteNames.h"
#include "core/Processes.h"
#include "core/WaveFiles.h"
#include "render/AliasLookup.h"
#include "render/OtoIni.h"
#include "render/RenderCache.h"
#include "song/NoteExtension.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;
using namespace Qt::Literals::StringLiterals;

namespace {

CommandRegistry parameterCommands() {
    CommandRegistry r;
    registerEnvelopeCommands(r);
    registerCrossFadeCommands(r);
    registerPitchPointCommands(r);
    registerCorrectionCommands(r);
    registerTempoCommands(r);
    registerRegionCommands(r);
    return r;
}

QString option(const EditFixture& f, qint32 note, const QString& key) { return GetNoteOption(f.c.s.NoteExt.at(note), key); }
void setOption(EditFixture& f, qint32 note, const QString& key, const QString& value) {
    SetNoteOption(f.c.s.NoteExt[note], key, value);
}

// あ い R う え at tempo 120 (1920 ticks = 500 ms), every sung note with its own pre-utterance 40 and
// overlap 20, so every sung pair crossfades over 20 ms.
void singerSong(EditFixture& f) {
    f.setNotes({u"あ"_s, u"い"_s, u"R"_s, u"う"_s, u"え"_s}, {1920, 1920, 1920, 1920, 1920}, {48, 50, 50, 52, 53});
    for (qint32 i : {0, 1, 3, 4}) SetNotePreOverlap(f.c.s.NoteExt[i], u"40"_s, u"20"_s);
    for (qint32 i : {0, 1, 3, 4}) {
        setOption(f, i, u"PBS"_s, u"-40"_s);
        setOption(f, i, u"PBW"_s, u"40 60"_s);
        setOption(f, i, u"PBY"_s, u"5"_s);
    }
}

TEST(NoteParameterCommands, EachIsOneUndoStepThatUndoAndRedoTakeBackAndForth) {
    const struct {
        const char16_t* command;
        qint32 selStart, selEnd, point, ruler;
        QStringList answers;
        const char16_t* caption;
    } cases[] = {
        {u"mnResetEnvelop", 0, 4, -1, -1, {}, u"エンベロープのリセット"},
        {u"mnCrossFadeEnv", 4, 0, -1, -1, {}, u"クロスフェードのエンベロープ"},
        {u"mnCrossFadeEnv14", 0, 1, -1, -1, {}, u"クロスフェードのエンベロープ"},
        {u"mnPBPAdd", 3, 3, 1, -1, {}, u"ポルタメント点を増やす"},
        {u"mnPBPDec", 3, 3, 0, -1, {}, u"ポルタメント点を減らす"},
        {u"mnCurve3", 3, 3, 2, -1, {}, u"線種の変更"},
        {u"mnVBRAdd", 1, 1, 0, -1, {}, u"ビブラートの追加"},
        {u"mnCorrectParams", 0, 4, -1, -1, {}, u"パラメータの補正"},
        {u"mnSetTempo", 0, 0, -1, 3, {u"150"_s}, u"テンポの設定"},
        {u"mnTempoDel", 0, 0, -1, 4, {}, u"テンポ設定を削除"},
        {u"mnLabelDel", 0, 0, -1, 2, {}, u"ラベルの削除"},
        {u"mnSelectRegionAdd", 3, 1, -1, -1, {u"サビ"_s}, u"選択範囲を記録"},
    };
    const CommandRegistry registry = parameterCommands();
    for (const auto& t : cases) {
        const QString name = QString::fromUtf16(t.command);
        SCOPED_TRACE(name.toStdString());
        EditFixture f;
        singerSong(f);
        settings().DefaultEnv = u"0 5 20 0 100 90 0"_s;
        SetNotePreOverlap(f.c.s.NoteExt[1], u"400"_s, u"20"_s);  // too long for half of note 0
        setOption(f, 4, u"tempo"_s, u"100.00"_s);
        f.c.setSelection(t.selStart, t.selEnd);
        f.c.pitchPoint = t.point;
        f.c.ruler = t.ruler;
        for (const QString& a : t.answers) f.ports.inputBox.answers.enqueue({true, a});
        f.expectOneStep(registry, name, QString::fromUtf16(t.caption));
    }
}

TEST(NoteParameterCommands, EachDeletesTheCachedRenderingsOfTheNotesItChanged) {
    // Real cache files in a folder: every note has one, plus a file of another form that stays.
    const struct {
        const char16_t* command;
        qint32 selStart, selEnd, point, ruler;
        QList<qint32> deleted;
    } cases[] = {
        // Envelopes are applied by the concatenator: the renderings stay.
        {u"mnResetEnvelop", 0, 4, -1, -1, {}},
        // The changed notes of the sung pairs (0, 1) and (3, 4); the rest and its neighbours' pairs stay.
        {u"mnCrossFadeEnv", 0, 4, -1, -1, {0, 1, 3, 4}},
        {u"mnCrossFadeEnv14", 2, 3, -1, -1, {}},
        // Points and shapes: the note and both neighbours; vibrato: the note and the next one.
        {u"mnPBPAdd", 3, 3, 2, -1, {2, 3, 4}},
        {u"mnPBPDec", 0, 0, 1, -1, {0, 1}},
        {u"mnCurve1", 4, 4, 1, -1, {3, 4}},
        {u"mnCurve0", 4, 4, 1, -1, {}},  // already the S shape: no change
        {u"mnVBRAdd", 3, 3, 0, -1, {3, 4}},
        {u"mnVBRDel", 3, 3, 0, -1, {}},
        // Only note 1 needs fitting into note 0.
        {u"mnCorrectParams", 0, 4, -1, -1, {1}},
        {u"mnSetTempo", 0, 0, -1, 1, {}},
        {u"mnTempoDel", 0, 0, -1, 1, {}},
        {u"mnLabelDel", 0, 0, -1, 1, {}},
    };
    const CommandRegistry registry = parameterCommands();
    for (const auto& t : cases) {
        const QString name = QString::fromUtf16(t.command);
        SCOPED_TRACE(name.toStdString());
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        EditFixture f;
        RenderCache cache;
        f.c.cacheInUse = &cache;
        singerSong(f);
        f.c.s.CacheDir = dir.path();
        SetNotePreOverlap(f.c.s.NoteExt[1], u"400"_s, u"20"_s);
        settings().DefaultEnv = u"0 5 20 0 100 90 0"_s;
        for (qint32 i = 0; i < 5; ++i) writeFile(dir.filePath(QString::number(i) + u"_あ_C4_500_0.wav"_s), "x");
        writeFile(dir.filePath(u"notes.wav"_s), "x");
        f.c.setSelection(t.selStart, t.selEnd);
        f.c.pitchPoint = t.point;
        f.c.ruler = t.ruler;
        f.ports.inputBox.answers.enqueue({true, u"90"_s});
        ASSERT_TRUE(registry.run(name, f.c));

        QList<qint32> gone;
        for (qint32 i = 0; i < 5; ++i)
            if (!QFile::exists(dir.filePath(QString::number(i) + u"_あ_C4_500_0.wav"_s))) gone << i;
        EXPECT_EQ(gone, t.deleted);
        EXPECT_TRUE(QFile::exists(dir.filePath(u"notes.wav"_s)));
    }
}

TEST(EnvelopeCommands, CrossfadeEnvelopesAt30Milliseconds) {
    const struct {
        const char* what;
        const char16_t* command;
        QStringList lyrics;
        const char16_t* timing;  // of note 1
        const char16_t *envA, *envB;
    } cases[] = {
        {"p2p3", u"mnCrossFadeEnv", {u"か"_s, u"き"_s}, u"60:30:", u"0 5 30 0 100 100 0", u"0 30 35 0 100 100 0"},
        {"p1p4", u"mnCrossFadeEnv14", {u"か"_s, u"き"_s}, u"60:30:", u"0 5 5 0 100 100 100 % 30", u"30 5 35 100 100 100 0"},
        // Velocity 200 halves the overlap: 15 ms.
        {"velocity", u"mnCrossFadeEnv", {u"か"_s, u"き"_s}, u"120:30:200", u"0 5 15 0 100 100 0", u"0 15 35 0 100 100 0"},
        {"overlap below 10 ms", u"mnCrossFadeEnv", {u"か"_s, u"き"_s}, u"60:9.5:", u"", u""},
        {"a rest and a note", u"mnCrossFadeEnv", {u"R"_s, u"き"_s}, u"60:30:", u"", u""},
    };
    const CommandRegistry registry = parameterCommands();
    for (const auto& t : cases) {
        SCOPED_TRACE(t.what);
        EditFixture f;
        f.setNotes(t.lyrics, {1920, 1920}, {60, 62});
        f.c.s.NoteExt[0].replace(u"::"_s, u"60:10:"_s);
        f.c.s.NoteExt[1].replace(u"::"_s, QString::fromUtf16(t.timing));
        f.c.setSelection(0, 1);  // a selection from note 0 starts with the pair (0, 1)
        ASSERT_TRUE(registry.run(QString::fromUtf16(t.command), f.c));
        EXPECT_EQ(option(f, 0, u"env"_s), QString::fromUtf16(t.envA));
        EXPECT_EQ(option(f, 1, u"env"_s), QString::fromUtf16(t.envB));
        EXPECT_EQ(f.c.s.UndoPos, QString::fromUtf16(t.envA).isEmpty() ? 0 : 1);
    }
}

TEST(EnvelopeCommands, ResetWithAnEmptyDefaultRemovesTheEnvelopes) {
    EditFixture f;
    singerSong(f);
    setOption(f, 1, u"env"_s, u"0 5 20 0 100 100 0"_s);
    setOption(f, 3, u"env"_s, u"1 2 3 4 5 6 7"_s);
    f.c.setSelection(4, 0);
    mnResetEnvelop_Click(f.c);
    for (qint32 i = 0; i < 5; ++i) EXPECT_EQ(option(f, i, u"env"_s), QString()) << i;
    ASSERT_EQ(f.c.s.UndoPos, 1);
    EXPECT_EQ(f.c.s.UndoTexts.at(0).count(u"\r\n"_s), 2);  // only the two notes that had one
    EXPECT_EQ(f.c.cache.deleted.size(), 0);

    // Notes without an envelope: no change, no step.
    mnResetEnvelop_Click(f.c);
    EXPECT_EQ(f.c.s.UndoPos, 1);
    // A set default is written to every note.
    settings().DefaultEnv = u"0 5 30 0 100 100 0"_s;
    mnResetEnvelop_Click(f.c);
    for (qint32 i = 0; i < 5; ++i) EXPECT_EQ(option(f, i, u"env"_s), u"0 5 30 0 100 100 0"_s) << i;
}

TEST(EnvelopeCommands, EditEnvelopeTextReplacesTheEntryAndKeepsTheVelocity) {
    QString ext = u"1:2:150\t100\t0\t\t\tenv=1 2 3\\nlabel=a"_s;
    EditEnvelopeText(ext, u"0 5 35 0 100 100 0"_s, u"30"_s, u"5"_s);
    EXPECT_EQ(ext, u"30:5:150\t100\t0\t\t\tenv=0 5 35 0 100 100 0\\nlabel=a"_s);
    QString bare = u"\t\t\t\t\t"_s;
    EditEnvelopeText(bare, u"0 1 2 3 4 5 6"_s, QString(), QString());
    EXPECT_EQ(GetNoteOption(bare, u"env"_s), u"0 1 2 3 4 5 6"_s);
}

// ---- crossfade optimisation ----

class CrossFadeRun : public ::testing::Test {
protected:
    // x y z (A4, B4, C5; 500 ms each at 120), every note's rendering deterministic noise in the cache.
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        f.c.cacheInUse = &cache;
        f.setNotes({u"x"_s, u"y"_s, u"z"_s}, {1920, 1920, 1920}, {45, 47, 48});
        SetNotePreOverlap(f.c.s.NoteExt[0], u"50"_s, u"0"_s);
        SetNotePreOverlap(f.c.s.NoteExt[1], u"30"_s, u"20"_s);
        SetNotePreOverlap(f.c.s.NoteExt[2], u"30"_s, u"20"_s);
        f.c.s.CacheDir = dir.path();
        const char16_t* names[] = {u"0_x_A4_600_0.wav", u"1_y_B4_600_0.wav", u"2_z_C5_600_0.wav"};
        quint32 x = 12345;
        for (const char16_t* name : names) {
            std::vector<int16_t> samples(26000);
            for (int16_t& v : samples) {
                x = x * 1103515245u + 12345u;
                v = int16_t(int((x >> 16) & 0x7fff) - 16384);
            }
            writeWave16(dir.filePath(QString::fromUtf16(name)), 44100, 1, samples);
        }
    }
    bool cached(qint32 note) const {
        return !QDir(dir.path()).entryList({QString::number(note) + u"_*.wav"_s}).isEmpty();
    }

    QTemporaryDir dir;
    RenderCache cache;
    EditFixture f;
};

TEST_F(CrossFadeRun, MovesTheStartPointsAsOneStepAndOffersToDropTheCache) {
    f.c.setSelection(2, 0);
    f.ports.messageBox.answers.enqueue(MsgResult::No);
    cmdCorrectCrossFade_Click(f.c);
    EXPECT_FALSE(option(f, 1, u"stp"_s).isEmpty());
    EXPECT_FALSE(option(f, 2, u"stp"_s).isEmpty());
    EXPECT_EQ(f.c.progressWindow.started, 1);
    EXPECT_EQ(f.c.progressWindow.finished, 1);
    EXPECT_TRUE(f.c.progressWindow.shown);
    EXPECT_EQ(f.c.progressWindow.max, 3);
    EXPECT_EQ(f.c.progressWindow.text, u"クロスフェード最適化中"_s);
    ASSERT_EQ(f.ports.messageBox.shown.size(), 1);
    EXPECT_EQ(f.ports.messageBox.shown.at(0).text, u"適用範囲のキャッシュを削除しますか？"_s);
    EXPECT_EQ(f.ports.messageBox.shown.at(0).buttons, MsgButtons::YesNo);
    // No keeps every rendering; the step is recorded all the same.
    EXPECT_TRUE(cached(0) && cached(1) && cached(2));
    EXPECT_EQ(f.c.s.UndoCaptions, QStringList{u"クロスフェード最適化"_s});
    EXPECT_EQ(f.c.focus, u"Picture2"_s);
    ASSERT_TRUE(f.c.s.Undo());
    EXPECT_TRUE(option(f, 1, u"stp"_s).isEmpty());
    EXPECT_TRUE(option(f, 2, u"stp"_s).isEmpty());
}

TEST_F(CrossFadeRun, YesDeletesTheRenderingsOfTheWholeRange) {
    f.c.setSelection(1, 2);
    f.ports.messageBox.answers.enqueue(MsgResult::Yes);
    cmdCorrectCrossFade_Click(f.c);
    EXPECT_TRUE(cached(0));
    EXPECT_FALSE(cached(1));
    EXPECT_FALSE(cached(2));
}

TEST_F(CrossFadeRun, OneNoteRunsWithoutTheWindowAndNote0AloneFindsNothing) {
    f.c.setSelection(2, 2);
    f.ports.messageBox.answers.enqueue(MsgResult::No);
    cmdCorrectCrossFade_Click(f.c);
    EXPECT_FALSE(f.c.progressWindow.shown);
    EXPECT_EQ(f.c.s.UndoPos, 1);

    f.c.setSelection(0, 0);
    cmdCorrectCrossFade_Click(f.c);
    EXPECT_EQ(f.ports.messageBox.lastText(), u"対象なし/最適化済み/キャッシュがありません"_s);
    EXPECT_EQ(f.ports.messageBox.shown.back().icon, MsgIcon::Exclamation);
    EXPECT_EQ(f.c.s.UndoPos, 1);
    EXPECT_EQ(f.c.progressWindow.started, f.c.progressWindow.finished);
}

TEST_F(CrossFadeRun, TheStopLinkEndsTheRunAndTheNotesDoneStayInTheStep) {
    f.c.setSelection(0, 2);
    // The events handled before note 2 are the user's press on the stop link; they also try to start
    // the command again, which does nothing while it runs.
    f.c.progressWindow.onStatus = [this](int value) {
        if (value == 3) {
            cmdCorrectCrossFade_Click(f.c);
            StopRequested = -1;
        }
    };
    f.ports.messageBox.answers.enqueue(MsgResult::No);
    cmdCorrectCrossFade_Click(f.c);
    EXPECT_FALSE(option(f, 1, u"stp"_s).isEmpty());
    EXPECT_TRUE(option(f, 2, u"stp"_s).isEmpty());
    EXPECT_EQ(f.c.progressWindow.started, 1);
    EXPECT_EQ(f.c.progressWindow.finished, 1);
    EXPECT_EQ(f.ports.messageBox.shown.size(), 1);  // the cache question
    EXPECT_EQ(f.c.s.UndoPos, 1);
    StopRequested = 0;
}

TEST_F(CrossFadeRun, AFailureEndsTheProgressAndRecordsNothing) {
    f.c.setSelection(0, 2);
    f.c.progressWindow.onStatus = [](int value) {
        if (value == 3) throw std::runtime_error("broken");
    };
    const std::string before = f.notes();
    const CommandRegistry registry = parameterCommands();
    EXPECT_THROW(registry.run(u"mnCorrectCrossFade"_s, f.c), std::runtime_error);
    EXPECT_EQ(f.notes(), before);
    EXPECT_EQ(f.c.s.UndoPos, 0);
    EXPECT_EQ(f.c.progressWindow.finished, 1);
    EXPECT_EQ(f.c.focus, u"Picture2"_s);
    // The next run starts normally.
    f.c.progressWindow.onStatus = nullptr;
    f.ports.messageBox.answers.enqueue(MsgResult::No);
    ASSERT_TRUE(registry.run(u"cmdCorrectCrossFade"_s, f.c));
    EXPECT_EQ(f.c.s.UndoPos, 1);
}

// ---- portamento points, curve shapes and vibrato ----

TEST(PitchPointCommands, AddingAndRemovingPoints) {
    const struct {
        const char* what;
        bool add;
        qint32 point;
        const char16_t *pbs, *pbw, *pby;           // before
        const char16_t *pbsAfter, *pbwAfter, *pbyAfter;
    } cases[] = {
        {"add at the last point", true, 1, u"-40", u"80", u"", u"-40", u"80 30", u""},
        {"add in a segment", true, 1, u"-40", u"40 80", u"10 ", u"-40", u"40 40 40", u"10 5 "},
        {"add at the start point", true, 0, u"-40", u"40 80", u"0 ", u"-40", u"20 20 80", u"10 0 "},
        {"add halves odd widths", true, 0, u"10", u"81", u"", u"10", u"40.5 40.5", u"0 "},
        {"add to a start point without segments", true, 0, u"-40", u"", u"", u"-40", u"30", u""},
        {"remove the start point", false, 0, u"-40", u"40 60", u"", u"0", u"60", u""},
        {"remove the start point keeps its height", false, 0, u"-40;3", u"40 60", u"7 ", u"0;3", u"60", u""},
        {"remove the last point", false, 2, u"-40", u"40 60", u"5 ", u"-40", u"40", u""},
        {"remove a middle point", false, 1, u"-40", u"40 60 20", u"5 8 ", u"-40", u"100 20", u"8"},
        {"remove from one segment", false, 1, u"-40", u"80", u"", u"-40", u"80", u""},
        {"remove without segments", false, 0, u"-40", u"", u"", u"-40", u"", u""},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.what);
        EditFixture f;
        f.setNotes({u"か"_s, u"き"_s}, {1920, 1920}, {62, 60});  // the previous note is 2 semitones higher
        setOption(f, 1, u"PBS"_s, QString::fromUtf16(t.pbs));
        setOption(f, 1, u"PBW"_s, QString::fromUtf16(t.pbw));
        setOption(f, 1, u"PBY"_s, QString::fromUtf16(t.pby));
        f.c.setSelection(1, 1);
        f.c.pitchPoint = t.point;
        const std::string before = f.notes();
        t.add ? mnPBPAdd_Click(f.c) : mnPBPDec_Click(f.c);
        EXPECT_EQ(option(f, 1, u"PBS"_s), QString::fromUtf16(t.pbsAfter));
        EXPECT_EQ(option(f, 1, u"PBW"_s), QString::fromUtf16(t.pbwAfter));
        EXPECT_EQ(option(f, 1, u"PBY"_s), QString::fromUtf16(t.pbyAfter));
        EXPECT_EQ(f.c.s.UndoPos, f.notes() == before ? 0 : 1);
    }
}

TEST(PitchPointCommands, TheLastPointStopsAt51Widths) {
    EditFixture f;
    f.setNotes({u"か"_s}, {1920}, {60});
    QStringList widths(51, u"10"_s);
    setOption(f, 0, u"PBS"_s, u"0"_s);
    setOption(f, 0, u"PBW"_s, widths.join(u' '));
    f.c.setSelection(0, 0);
    f.c.pitchPoint = 51;
    mnPBPAdd_Click(f.c);
    EXPECT_EQ(f.c.s.UndoPos, 0);
    widths.removeLast();
    setOption(f, 0, u"PBW"_s, widths.join(u' '));
    f.c.pitchPoint = 50;
    mnPBPAdd_Click(f.c);
    EXPECT_EQ(option(f, 0, u"PBW"_s).split(u' ').size(), 51);
}

TEST(PitchPointCommands, CurveTypeLetters) {
    const struct {
        int type;
        qint32 point;
        const char16_t *pbm, *after;
    } cases[] = {
        {0, 1, u"", u""},  // the only segment S-shaped: the option stays absent
        {1, 1, u"", u"s"},
        {2, 3, u"s", u"s  r"},
        {3, 2, u"s r j", u"s j j"},
        {0, 1, u"s r", u" r"},
        {1, 0, u"r", u"r"},  // the start point has no segment before it
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.type);
        EditFixture f;
        f.setNotes({u"か"_s, u"き"_s, u"く"_s}, {1920, 1920, 1920}, {60, 60, 60});
        setOption(f, 1, u"PBM"_s, QString::fromUtf16(t.pbm));
        f.c.setSelection(1, 1);
        f.c.pitchPoint = t.point;
        SetPitchCurveType(f.c, t.type);
        EXPECT_EQ(option(f, 1, u"PBM"_s), QString::fromUtf16(t.after));
        const bool changed = QString::fromUtf16(t.pbm) != QString::fromUtf16(t.after);
        EXPECT_EQ(f.c.s.UndoPos, changed ? 1 : 0);
        EXPECT_EQ(f.c.cache.deleted.size(), changed ? 3 : 0);
    }
    EXPECT_EQ(CurveTypeLetter(0) + CurveTypeLetter(1) + CurveTypeLetter(2) + CurveTypeLetter(3), u"srj"_s);
}

TEST(PitchPointCommands, DefaultVibratoAndItsRemoval) {
    EditFixture f;
    f.setNotes({u"か"_s, u"き"_s}, {1920, 1920}, {60, 60});
    f.c.setSelection(1, 1);
    mnVBRAdd_Click(f.c);
    EXPECT_EQ(option(f, 1, u"VBR"_s), u"65 180 35 20 20 0 0 0"_s);
    EXPECT_EQ(f.c.s.UndoCaptions, QStringList{u"ビブラートの追加"_s});
    ASSERT_EQ(f.c.cache.deleted.size(), 1);  // note 1 is the last: no note 2 to clear
    // The same vibrato again: nothing.
    mnVBRAdd_Click(f.c);
    EXPECT_EQ(f.c.s.UndoPos, 1);
    // The setting's vibrato replaces it.
    settings().Mode2VBR = u"70,100,30,10,10,0,0,0"_s;
    f.c.setSelection(0, 0);
    mnVBRAdd_Click(f.c);
    EXPECT_EQ(option(f, 0, u"VBR"_s), u"70 100 30 10 10 0 0 0"_s);
    EXPECT_EQ(f.c.cache.deleted.size(), 3);
    mnVBRDel_Click(f.c);
    mnVBRDel_Click(f.c);
    EXPECT_EQ(option(f, 0, u"VBR"_s), QString());
    EXPECT_EQ(f.c.s.UndoPos, 3);
}

// ---- parameter correction ----

TEST(CorrectionCommands, FitsEachNoteIntoItsNeighbours) {
    // Note 1 follows a sung note of 500 ms (half: 250) or a rest (all 500 ms) and is corrected alone.
    const struct {
        const char* what;
        const char16_t* prevLyric;
        const char16_t* timing;  // of note 1: pre:overlap:velocity
        const char16_t* stp;
        const char16_t *timingAfter, *stpAfter;
        bool changed;
    } cases[] = {
        // pre - ovl = 300 > 250: both scaled by 250/300, the start point grows by the pre-utterance's loss.
        {"half of a sung note", u"か", u"330:30:", u"", u"275:25:", u"55", true},
        {"all of a rest", u"R", u"330:30:", u"", u"330:30:", u"", false},
        {"already fitting", u"か", u"100:20:", u"5", u"100:20:", u"5", false},
        // Velocity 200 halves the effective values (165 and 15 fit: the note stays as it was) ...
        {"velocity 200", u"か", u"330:30:200", u"", u"330:30:200", u"", false},
        // ... and a cut one is fitted as 330, 30 and 5, written back doubled.
        {"velocity 200 cut", u"か", u"660:60:200", u"10", u"550:50:200", u"120", true},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.what);
        EditFixture f;
        f.setNotes({QString::fromUtf16(t.prevLyric), u"き"_s, u"R"_s}, {1920, 1920, 1920}, {60, 60, 60});
        f.c.s.NoteExt[1].replace(u"::"_s, QString::fromUtf16(t.timing));
        setOption(f, 1, u"stp"_s, QString::fromUtf16(t.stp));
        setOption(f, 1, u"env"_s, u"0 5 35 0 100 100 0"_s);
        f.c.setSelection(1, 1);
        mnCorrectParams_Click(f.c);
        EXPECT_EQ(NoteExtField(f.c.s.NoteExt.at(1), ExtTiming), QString::fromUtf16(t.timingAfter));
        EXPECT_EQ(option(f, 1, u"stp"_s), QString::fromUtf16(t.stpAfter));
        EXPECT_EQ(f.c.s.UndoPos, t.changed ? 1 : 0);
        EXPECT_EQ(f.c.cache.deleted.size(), t.changed ? 1 : 0);
        EXPECT_GE(f.c.backgrounds, 1);  // redrawn in every case
    }
}

TEST(CorrectionCommands, TheOverlapEndsWithinTheNoteAndTheEnvelopeFitsTheSound) {
    // The first note is not fitted to a predecessor; the last one has no next note: its overlap is
    // limited to pre + 500 ms.
    EditFixture f;
    f.setNotes({u"か"_s, u"き"_s}, {1920, 1920}, {60, 60});
    f.c.s.NoteExt[0].replace(u"::"_s, u"900:20:"_s);
    f.c.s.NoteExt[1].replace(u"::"_s, u"10:700:"_s);
    f.c.setSelection(0, 1);
    mnCorrectParams_Click(f.c);
    EXPECT_EQ(NoteExtField(f.c.s.NoteExt.at(0), ExtTiming), u"900:20:"_s);
    EXPECT_EQ(NoteExtField(f.c.s.NoteExt.at(1), ExtTiming), u"10:510:"_s);
    ASSERT_EQ(f.c.s.UndoPos, 1);
    // The default envelopes fit both sounds (note 1's: 500 + 10 ms): they stay absent.
    EXPECT_EQ(option(f, 0, u"env"_s), QString());
    EXPECT_EQ(option(f, 1, u"env"_s), QString());
    EXPECT_EQ(f.c.cache.deleted.size(), 1);
}

TEST(CorrectionCommands, StretchScalesByTheSamplesPitchOverTheNotes) {
    // "ka" has a frequency table an octave above note 60 (ratio 2); "ki" has none and stays.
    QTemporaryDir bank;
    ASSERT_TRUE(bank.isValid());
    writeFile(bank.filePath(u"oto.ini"_s), "ka.wav=ka,0,0,0,30,10\r\nki.wav=ki,0,0,0,40,20\r\n");
    writeFlatWave(bank.filePath(u"ka.wav"_s), 44100, 100, 0);
    writeFlatWave(bank.filePath(u"ki.wav"_s), 44100, 100, 0);
    FrqHeader header;
    header.signature = "FREQ0003";
    header.averageFreq = NoteNumToFreq(60) * 2;
    header.frameCount = 1;
    ASSERT_TRUE(WriteFrqFile(header, {440.0, 0.0}, bank.filePath(u"ka.wav"_s)));
    LoadOtoIni(bank.path());
    ResetPrefixMap();

    EditFixture f;
    f.setNotes({u"ka"_s, u"ki"_s}, {1920, 1920}, {60, 60});
    f.c.s.VoiceDir = bank.path();
    f.c.setSelection(1, 0);
    mnForStretch_Click(f.c);
    EXPECT_EQ(NoteExtField(f.c.s.NoteExt.at(0), ExtTiming), u"60:20:"_s);
    EXPECT_EQ(NoteExtField(f.c.s.NoteExt.at(1), ExtTiming), u"::"_s);
    EXPECT_EQ(f.c.s.UndoCaptions, QStringList{u"stretchの補正"_s});
    ASSERT_EQ(f.c.cache.deleted.size(), 1);
    EXPECT_EQ(f.c.cache.deleted.at(0).second, 0);
    EXPECT_EQ(f.c.backgrounds, 0);  // not redrawn
    // Scaled again from the voice bank's values: the same texts, no new step.
    mnForStretch_Click(f.c);
    EXPECT_EQ(f.c.s.UndoPos, 1);
    ClearOtoTable();
}

}  // namespace
