// The pitch commands of the selection: which dialog they open with what, the undo step, the renderings
// they delete; and the range-property command.

#include "commands/CommandRegistry.h"
#include "commands/FakeEditContext.h"
#include "editors/EnvelopeEditor.h"
#include "editors/NoteDialogsPort.h"
#include "editors/NotePropertyCommands.h"
#include "editors/PitchCommands.h"
#include "platform/Errors.h"
#include "platform/FakePorts.h"
#include "song/NoteExtension.h"

#include <gtest/gtest.h>

namespace tova {
namespace {

// Dialogs that record how they were opened and, when confirming, change the notes as told.
class PitchDialogs : public NoteDialogsPort {
public:
    bool confirm = true;
    bool change = true;
    // The dialog changes the notes and then fails (as a dialog's own arithmetic may).
    bool fail = false;
    struct Call {
        QString dialog;
        qint32 first, last;
        float tempo;
    };
    QList<Call> calls;

    bool ShowProperty(qint32 first, qint32 last, NoteArrays& notes, QObject*) override {
        calls.append({QStringLiteral("property"), first, last, 0});
        if (confirm && change) notes.Lyrics[first] = QStringLiteral("ら");
        if (fail) throw OverflowError();
        return confirm;
    }
    bool ShowVolumeFunctionizer(qint32, qint32, const QStringList&, QStringList&, QObject*) override { return false; }
    void ShowDefaultProperty(QObject*) override {}
    std::optional<bool> ShowEnvelopeDialog(EnvelopeDialogArgs&, QObject*) override { return std::nullopt; }
    bool ShowPitchControl(qint32 first, qint32 last, NoteArrays& notes, float tempo, QObject*) override {
        calls.append({QStringLiteral("control"), first, last, tempo});
        if (confirm && change) SetNoteOption(notes.NoteExt[first], QStringLiteral("PBW"), QStringLiteral("80"));
        if (fail) throw OverflowError();
        return confirm;
    }
    bool ShowPitchEditor(float tempo, const QString&, const QString&, qint32 index, NoteArrays& notes, QObject*) override {
        calls.append({QStringLiteral("editor"), index, index, tempo});
        if (confirm && change) notes.NoteExt[index] = QStringLiteral("\t\t\t0Q140 5\t\t");
        if (fail) throw OverflowError();
        return confirm;
    }
};

class PitchCommandsTest : public ::testing::Test {
protected:
    CommandRegistry registry;
    PitchDialogs dialogs;
    FakeEditContext c;
    void SetUp() override {
        registerPitchCommands(registry, [this](EditContext&) { return &dialogs; });
        registerNotePropertyCommands(registry, [this](EditContext&) { return &dialogs; });
        c.s.resizeNotes(5);
        c.s.Lyrics = {QStringLiteral("あ"), QStringLiteral("い"), QStringLiteral("R"), QStringLiteral("う"), QStringLiteral("え")};
        c.s.Tempo = 120;
        c.s.NoteExt[1] = QStringLiteral("\t\t\t\t\ttempo=140");
        c.s.NoteExt[3] = QStringLiteral("\t\t\t\t\ttempo=0");  // no usable tempo
    }
    void run(qint32 a, qint32 b, bool mode2) {
        c.s.Mode2 = mode2;
        c.setSelection(a, b);
        ASSERT_TRUE(registry.run(QStringLiteral("mnTonePitch"), c));
    }
};

TEST_F(PitchCommandsTest, ThePitchEditorEditsTheFirstNoteAsOneStep) {
    run(4, 4, false);
    ASSERT_EQ(dialogs.calls.size(), 1);
    EXPECT_EQ(dialogs.calls[0].dialog, QStringLiteral("editor"));
    EXPECT_EQ(dialogs.calls[0].first, 4);
    EXPECT_EQ(dialogs.calls[0].tempo, 140.0f);  // in force at note 3: note 1's, note 3's 0 does not count
    EXPECT_EQ(c.s.UndoPos, 1);
    EXPECT_EQ(c.s.UndoCaptions[0], QStringLiteral("ピッチの編集"));
    EXPECT_FALSE(c.s.UndoTexts[0].endsWith(u'\n'));  // one bare line
    EXPECT_TRUE(c.s.UndoTexts[0].startsWith(QStringLiteral("PROP\t4\t")));
    EXPECT_TRUE(c.s.RedoTexts[0].contains(QStringLiteral("0Q140 5")));
    EXPECT_EQ(c.cache.deleted, (QList<QPair<QString, qint32>>{{QString(), 4}}));
    EXPECT_TRUE(c.s.IsModified);
    EXPECT_GE(c.notesDrawn, 1);

    run(0, 0, false);
    EXPECT_EQ(dialogs.calls.last().tempo, 120.0f);  // note 0: the project tempo
}

TEST_F(PitchCommandsTest, ThePitchEditorWithoutAChangeOrCancelledRecordsNothing) {
    dialogs.change = false;
    run(0, 0, false);
    dialogs.confirm = false;
    dialogs.change = true;
    run(1, 1, false);
    EXPECT_EQ(dialogs.calls.size(), 2);
    EXPECT_EQ(c.s.UndoPos, 0);
    EXPECT_FALSE(c.s.IsModified);
    EXPECT_TRUE(c.cache.deleted.isEmpty());
}

TEST_F(PitchCommandsTest, PitchControlIsAlwaysOneStepOverTheRange) {
    dialogs.change = false;  // the same options: still a step
    run(3, 1, true);
    ASSERT_EQ(dialogs.calls.size(), 1);
    EXPECT_EQ(dialogs.calls[0].dialog, QStringLiteral("control"));
    EXPECT_EQ(dialogs.calls[0].first, 1);
    EXPECT_EQ(dialogs.calls[0].last, 3);
    EXPECT_EQ(c.s.UndoPos, 1);
    EXPECT_EQ(c.s.UndoCaptions[0], QStringLiteral("ピッチコントロール"));
    EXPECT_EQ(c.s.UndoTexts[0].count(QStringLiteral("\r\n")), 3);
    EXPECT_EQ(c.cache.deleted.size(), 3);
    EXPECT_TRUE(c.s.IsModified);

    dialogs.confirm = false;
    run(0, 4, true);
    EXPECT_EQ(c.s.UndoPos, 1);
}

TEST_F(PitchCommandsTest, WhatTheDispatcherOpens) {
    run(0, 1, false);  // two notes without mode 2: nothing
    run(2, 2, true);   // a lone rest: nothing
    EXPECT_TRUE(dialogs.calls.isEmpty());
    run(0, 1, true);
    ASSERT_EQ(dialogs.calls.size(), 1);
    EXPECT_EQ(dialogs.calls[0].dialog, QStringLiteral("control"));
    c.setSelection(5, 5);  // no selection
    registry.run(QStringLiteral("mnTonePitch"), c);
    EXPECT_EQ(dialogs.calls.size(), 1);
}

TEST_F(PitchCommandsTest, RangePropertiesOfARangeOrTheLengthOfALoneRest) {
    c.setSelection(0, 1);
    registry.run(QStringLiteral("mnPropRange"), c);
    ASSERT_EQ(dialogs.calls.size(), 1);
    EXPECT_EQ(dialogs.calls[0].dialog, QStringLiteral("property"));
    EXPECT_EQ(c.s.UndoCaptions.value(0), QStringLiteral("音符のプロパティ"));

    // A lone rest asks for its length instead (cancelled here).
    ScopedFakePorts ports;
    c.setSelection(2, 2);
    registry.run(QStringLiteral("mnPropRange"), c);
    EXPECT_EQ(dialogs.calls.size(), 1);
    EXPECT_EQ(ports.inputBox.asked.size(), 1);
    EXPECT_EQ(c.curNote(), 2);
}

// A dialog that changed the notes and then failed leaves the song as it was, with no step and no
// modified mark: the error goes on to the handler guard.
TEST_F(PitchCommandsTest, ADialogThatFailsAfterChangingNotesLeavesTheSongAsItWas) {
    dialogs.fail = true;
    const struct {
        const char* command;
        bool mode2;
        qint32 first, last;
    } cases[] = {
        {"mnTonePitch", true, 0, 1},   // pitch control
        {"mnTonePitch", false, 1, 1},  // pitch editor
        {"mnToneProp", false, 0, 1},
        {"mnPropRange", false, 3, 4},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(std::string(t.command) + (t.mode2 ? " mode 2" : ""));
        c.s.Mode2 = t.mode2;
        c.s.IsModified = false;
        const QStringList lyrics = c.s.Lyrics, ext = c.s.NoteExt;
        c.setSelection(t.first, t.last);
        EXPECT_THROW(registry.run(QString::fromLatin1(t.command), c), OverflowError);
        EXPECT_EQ(c.s.Lyrics, lyrics);
        EXPECT_EQ(c.s.NoteExt, ext);
        EXPECT_EQ(c.s.UndoPos, 0);
        EXPECT_FALSE(c.s.IsModified);
    }
}

// The note properties make the ruler's note the one note they open (the range properties: the
// selection start), so that the ruler's label and tempo commands act on it next.
TEST_F(PitchCommandsTest, PropertiesOfOneNoteMakeItTheRulerNote) {
    ScopedFakePorts ports;
    const struct {
        const char* command;
        qint32 selStart, selEnd, ruler;
    } cases[] = {
        {"mnPropRange", 2, 2, 2},  // a lone rest
        {"mnPropRange", 3, 3, 3},
        {"mnToneProp", 1, 1, 1},
        {"mnToneProp", 0, 1, 4},
        {"mnPropRange", 3, 0, 3},  // the range command makes its start the ruler's note whatever the size
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(std::string(t.command) + " " + std::to_string(t.selStart));
        c.ruler = 4;
        c.setSelection(t.selStart, t.selEnd);
        registry.run(QString::fromLatin1(t.command), c);
        EXPECT_EQ(c.ruler, t.ruler);
    }
}

}  // namespace
}  // namespace tova
