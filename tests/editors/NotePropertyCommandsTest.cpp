// The commands that open the note dialogs: the range they pass, the undo step and the cache.

#include "commands/CommandRegistry.h"
#include "commands/FakeEditContext.h"
#include "editors/NoteDialogsPort.h"
#include "editors/NotePropertyCommands.h"
#include "editors/VolumeFunctionizer.h"

#include <gtest/gtest.h>

namespace tova {
namespace {

// Dialogs that answer as scripted: confirmed or not, and whether a confirmed one changes the notes.
class ScriptedDialogs : public NoteDialogsPort {
public:
    bool confirm = true;
    bool change = true;
    QList<std::pair<qint32, qint32>> opened;
    int defaults = 0;

    bool ShowProperty(qint32 first, qint32 last, NoteArrays& notes, QObject*) override {
        opened.append({first, last});
        if (confirm && change) notes.Lyrics[first] = QStringLiteral("ら");
        return confirm;
    }
    bool ShowVolumeFunctionizer(qint32 first, qint32 last, const QStringList& lyrics, QStringList& ext, QObject*) override {
        opened.append({first, last});
        if (confirm && change) MultiplyVolume(first, last, lyrics, ext, 6);
        return confirm;
    }
    void ShowDefaultProperty(QObject*) override { defaults++; }
    std::optional<bool> ShowEnvelopeDialog(EnvelopeDialogArgs&, QObject*) override { return std::nullopt; }
    bool ShowPitchControl(qint32, qint32, NoteArrays&, float, QObject*) override { return false; }
    bool ShowPitchEditor(float, const QString&, const QString&, qint32, NoteArrays&, QObject*) override { return false; }
};

class NotePropertyCommandsTest : public ::testing::Test {
protected:
    CommandRegistry registry;
    ScriptedDialogs dialogs;
    FakeEditContext c;
    void SetUp() override {
        registerNotePropertyCommands(registry, [this](EditContext&) { return &dialogs; });
        c.s.resizeNotes(4);
        c.s.Lyrics = {QStringLiteral("あ"), QStringLiteral("R"), QStringLiteral("い"), QStringLiteral("う")};
    }
};

TEST_F(NotePropertyCommandsTest, AConfirmedChangeIsOneUndoStepAndDropsTheRangesRenderings) {
    for (const char* command : {"mnToneProp", "mnVolumeFunc"}) {
        SCOPED_TRACE(command);
        FakeEditContext ctx;
        ctx.s.resizeNotes(4);
        ctx.s.Lyrics = c.s.Lyrics;
        ctx.setSelection(3, 2);  // made from right to left
        ASSERT_TRUE(registry.run(QString::fromLatin1(command), ctx));
        EXPECT_EQ(dialogs.opened.last(), std::make_pair(2, 3));
        EXPECT_EQ(ctx.s.UndoPos, 1);
        EXPECT_TRUE(ctx.s.IsModified);
        EXPECT_EQ(ctx.cache.deleted.size(), 2);
        EXPECT_GE(ctx.notesDrawn, 1);
    }
}

TEST_F(NotePropertyCommandsTest, CancelOrNoChangeRecordsNothing) {
    c.setSelection(0, 3);
    dialogs.confirm = false;
    registry.run(QStringLiteral("mnToneProp"), c);
    dialogs.confirm = true;
    dialogs.change = false;
    registry.run(QStringLiteral("mnVolumeFunc"), c);
    EXPECT_EQ(dialogs.opened.size(), 2);
    EXPECT_EQ(c.s.UndoPos, 0);
    EXPECT_FALSE(c.s.IsModified);
    EXPECT_TRUE(c.cache.deleted.isEmpty());
}

TEST_F(NotePropertyCommandsTest, ALoneRestOrNoSelectionOpensNothing) {
    c.setSelection(1, 1);
    registry.run(QStringLiteral("mnToneProp"), c);
    c.setSelection(4, 4);
    registry.run(QStringLiteral("mnToneProp"), c);
    registry.run(QStringLiteral("mnVolumeFunc"), c);
    EXPECT_TRUE(dialogs.opened.isEmpty());
    registry.run(QStringLiteral("mnNoteDefaultBase"), c);
    EXPECT_EQ(dialogs.defaults, 1);
    EXPECT_EQ(c.s.UndoPos, 0);
}

}  // namespace
}  // namespace tova
