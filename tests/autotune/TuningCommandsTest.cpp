// The four tuning commands over a scripted port: the range and start tempo each hands to its dialog,
// the snapshot range of the undo step, the renderings deleted, and the one-click outcomes.

#include "autotune/TuningCommands.h"
#include "autotune/TuningDialogsPort.h"
#include "commands/CommandRegistry.h"
#include "commands/FakeEditContext.h"
#include "song/NoteExtension.h"

#include <gtest/gtest.h>

namespace tova {
namespace {

// Dialogs that answer as scripted; a confirmed one stamps every note of first..last (and the note
// before, like the passes that edit it) or, for the one-click "all", every note.
class ScriptedTuning : public TuningDialogsPort {
public:
    bool confirm = true;
    bool change = true;
    qint16 omakase = 2;
    struct Call {
        QString tool;
        float tempo;
        qint32 first, last;
    };
    QList<Call> calls;

    void stamp(NoteArrays& notes, qint32 from, qint32 to) {
        if (!change) return;
        for (qint32 i = std::max(from, 0); i <= std::min(to, notes.lastNote()); ++i)
            SetNoteOption(notes.NoteExt[i], QStringLiteral("VBR"), QStringLiteral("1 2 3"));
    }
    bool ShowAutoVibratoDialog(float& tempo, qint32 first, qint32 last, NoteArrays& notes, const NoteTimingSource&,
                               QObject*) override {
        calls.append({QStringLiteral("vibrato"), tempo, first, last});
        if (confirm) stamp(notes, first, last);
        return confirm;
    }
    bool ShowAutoCombineDialog(float tempo, qint32 first, qint32 last, NoteArrays& notes, const NoteTimingSource&,
                               QObject*) override {
        calls.append({QStringLiteral("combine"), tempo, first, last});
        if (confirm) stamp(notes, first - 1, last);
        return confirm;
    }
    bool ShowAutoPitchDialog(float& tempo, qint32 first, qint32 last, NoteArrays& notes, const NoteTimingSource&,
                             QObject*) override {
        calls.append({QStringLiteral("pitch"), tempo, first, last});
        if (confirm) stamp(notes, first - 1, last);
        return confirm;
    }
    qint16 ShowOmakaseDialog(float tempo, qint32 first, qint32 last, NoteArrays& notes, const NoteTimingSource&,
                             QObject*) override {
        calls.append({QStringLiteral("omakase"), tempo, first, last});
        if (omakase == 2) stamp(notes, first - 1, last);
        if (omakase == 1) stamp(notes, 0, notes.lastNote());
        return omakase;
    }
};

class TuningCommandsTest : public ::testing::Test {
protected:
    CommandRegistry registry;
    ScriptedTuning dialogs;
    FakeEditContext c;
    void SetUp() override {
        registerTuningCommands(registry, [this](EditContext&) { return &dialogs; });
        c.s.resizeNotes(8);
        for (int i = 0; i < 8; ++i) c.s.Lyrics[i] = QStringLiteral("あ");
        c.s.Tempo = 100;
        // Tempo 90 from note 2 on, 150 from note 4 on.
        SetNoteOption(c.s.NoteExt[2], QStringLiteral("tempo"), QStringLiteral("90"));
        SetNoteOption(c.s.NoteExt[4], QStringLiteral("tempo"), QStringLiteral("150"));
    }
    QList<qint32> deleted() const {
        QList<qint32> out;
        for (const auto& d : c.cache.deleted) out << d.second;
        return out;
    }
};

TEST_F(TuningCommandsTest, RangesStartTemposAndSnapshots) {
    const struct {
        const char* command;
        qint32 from, to;  // selection
        float tempo;      // handed to the dialog
        qint32 snapFrom;  // first note of the undo snapshot
        const char* caption;
    } cases[] = {
        {"mnAutoBibrato", 5, 6, 150, 5, "オートで波打たせる"},  // tempo at note 4
        {"mnAutoComb", 5, 6, 150, 4, "母音結合"},               // tempo at note 4
        {"mnAutoPitch", 5, 6, 90, 4, "オートピッチ"},           // tempo at note 3
        {"mnOmakase", 5, 6, 90, 4, "おま☆かせ"},               // tempo at note 3
        {"mnAutoPitch", 0, 2, 100, 0, "オートピッチ"},          // project tempo; snapshot from note 0
        {"mnAutoComb", 1, 20, 100, 0, "母音結合"},              // tempo at note 0; last cut to the song
        {"mnAutoBibrato", 0, 0, 100, 0, "オートで波打たせる"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.command);
        FakeEditContext ctx;
        static_cast<NoteArrays&>(ctx.s) = static_cast<const NoteArrays&>(c.s);
        ctx.s.Tempo = 100;
        ctx.setSelection(k.to, k.from);
        const QString before = ctx.s.SerializeNoteRange(QStringLiteral("PROP"), k.snapFrom, std::min(k.to, 7));
        ASSERT_TRUE(registry.run(QString::fromLatin1(k.command), ctx));
        EXPECT_EQ(dialogs.calls.last().tempo, k.tempo);
        EXPECT_EQ(dialogs.calls.last().first, k.from);
        EXPECT_EQ(dialogs.calls.last().last, std::min(k.to, 7));
        ASSERT_EQ(ctx.s.UndoPos, 1);
        EXPECT_EQ(ctx.s.UndoTexts.at(0), before);
        EXPECT_EQ(ctx.s.RedoTexts.at(0), ctx.s.SerializeNoteRange(QStringLiteral("PROP"), k.snapFrom, std::min(k.to, 7)));
        EXPECT_EQ(ctx.s.UndoCaptions.at(0), QString::fromUtf8(k.caption));
        EXPECT_TRUE(ctx.s.IsModified);
        QList<qint32> expected;
        for (qint32 i = k.snapFrom; i <= std::min(k.to, 7); ++i) expected << i;
        QList<qint32> got;
        for (const auto& d : ctx.cache.deleted) got << d.second;
        EXPECT_EQ(got, expected);
        EXPECT_GE(ctx.notesDrawn, 1);
    }
}

TEST_F(TuningCommandsTest, AConfirmedDialogRecordsAStepEvenWithoutAChange) {
    dialogs.change = false;
    c.setSelection(2, 3);
    registry.run(QStringLiteral("mnAutoBibrato"), c);
    EXPECT_EQ(c.s.UndoPos, 1);
    EXPECT_TRUE(c.s.IsModified);
    EXPECT_EQ(deleted(), (QList<qint32>{2, 3}));
}

TEST_F(TuningCommandsTest, CancelledOrNoSelectionRecordsNothing) {
    dialogs.confirm = false;
    dialogs.omakase = 0;
    c.setSelection(2, 3);
    for (const char* command : {"mnAutoBibrato", "mnAutoComb", "mnAutoPitch", "mnOmakase"})
        registry.run(QString::fromLatin1(command), c);
    EXPECT_EQ(dialogs.calls.size(), 4);
    c.setSelection(8, 8);
    for (const char* command : {"mnAutoBibrato", "mnAutoComb", "mnAutoPitch", "mnOmakase"})
        registry.run(QString::fromLatin1(command), c);
    EXPECT_EQ(dialogs.calls.size(), 4);
    EXPECT_EQ(c.s.UndoPos, 0);
    EXPECT_FALSE(c.s.IsModified);
    EXPECT_TRUE(c.cache.deleted.isEmpty());
}

TEST_F(TuningCommandsTest, OneClickAllNotesSnapshotsTheWholeSong) {
    dialogs.omakase = 1;
    c.setSelection(5, 5);
    const QString song = c.s.SerializeNoteRange(QStringLiteral("PROP"), 0, 7);
    registry.run(QStringLiteral("mnOmakase"), c);
    ASSERT_EQ(c.s.UndoPos, 1);
    EXPECT_EQ(c.s.UndoTexts.at(0), song);
    EXPECT_EQ(c.s.RedoTexts.at(0), c.s.SerializeNoteRange(QStringLiteral("PROP"), 0, 7));
    EXPECT_EQ(deleted(), (QList<qint32>{0, 1, 2, 3, 4, 5, 6, 7}));
    // Undo puts every note back.
    ASSERT_TRUE(c.s.Undo());
    for (qint32 i = 0; i < 8; ++i) EXPECT_EQ(GetNoteOption(c.s.NoteExt.at(i), QStringLiteral("VBR")), QString()) << i;
    EXPECT_EQ(GetNoteOption(c.s.NoteExt.at(4), QStringLiteral("tempo")), QStringLiteral("150"));
}

}  // namespace
}  // namespace tova
