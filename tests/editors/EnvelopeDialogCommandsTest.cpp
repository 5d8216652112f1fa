// The commands that open the envelope editor and the pitch-control dialog over the defaults: what the
// dialog is shown and what an accepted one writes back.
#include "commands/CommandRegistry.h"
#include "commands/EditCommandsFixture.h"
#include "editors/EnvelopeDialogCommands.h"
#include "editors/EnvelopeEditor.h"
#include "editors/NoteDialogsPort.h"
#include "render/AliasLookup.h"
#include "song/NoteExtension.h"

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;
using namespace Qt::Literals::StringLiterals;

namespace {

QString option(const EditFixture& f, qint32 note, const QString& key) { return GetNoteOption(f.c.s.NoteExt.at(note), key); }
void setOption(EditFixture& f, qint32 note, const QString& key, const QString& value) {
    SetNoteOption(f.c.s.NoteExt[note], key, value);
}

// The envelope editor records what it was shown and answers as told; the pitch-control dialog records
// its selection.
class ScriptedEnvelope : public NoteDialogsPort {
public:
    bool ShowProperty(qint32, qint32, NoteArrays&, QObject*) override { return false; }
    bool ShowVolumeFunctionizer(qint32, qint32, const QStringList&, QStringList&, QObject*) override { return false; }
    void ShowDefaultProperty(QObject*) override {}
    std::optional<bool> ShowEnvelopeDialog(EnvelopeDialogArgs& args, QObject*) override {
        shown << args;
        if (!accept) return false;
        args.envelope = envelope;
        args.preutterance = preutterance;
        args.overlap = overlap;
        return true;
    }
    bool ShowPitchControl(qint32 selStart, qint32 selEnd, NoteArrays&, float, QObject*) override {
        pitchControl << QString::number(selStart) + u',' + QString::number(selEnd);
        return true;
    }
    bool ShowPitchEditor(float, const QString&, const QString&, qint32, NoteArrays&, QObject*) override { return false; }
    QList<EnvelopeDialogArgs> shown;
    QStringList pitchControl;
    bool accept = true;
    QString envelope, preutterance, overlap;
};

TEST(EnvelopeDialogCommands, TheEditorGetsTheNoteContextAndWritesItsAnswerBack) {
    ResetPrefixMap();
    EditFixture f;
    f.setNotes({u"R"_s, u"か"_s, u"き"_s}, {960, 1920, 960}, {60, 60, 60});
    f.c.s.NoteExt[1].replace(u"::"_s, u"40.50:x:150"_s);
    setOption(f, 1, u"env"_s, u"0 5 35 0 100 100 0 % 10"_s);
    setOption(f, 1, u"tempo"_s, u"60"_s);
    SetNotePreOverlap(f.c.s.NoteExt[2], u"30"_s, u"12"_s);
    f.c.setSelection(1, 1);
    ScriptedEnvelope dialog;
    dialog.envelope = u"0 8 35 0 100 100 0"_s;
    dialog.preutterance = u"33"_s;
    dialog.overlap = u"11"_s;
    mnEnvelope_Click(f.c, dialog);
    ASSERT_EQ(dialog.shown.size(), 1);
    const EnvelopeDialogArgs& a = dialog.shown.at(0);
    EXPECT_TRUE(a.prevIsRest);
    EXPECT_FLOAT_EQ(a.prevLengthMs, 250);   // 960 ticks at 120
    EXPECT_FLOAT_EQ(a.noteLengthMs, 1000);  // 1920 ticks at the note's own 60
    EXPECT_EQ(a.envelope, u"0 5 35 0 100 100 0 % 10"_s);
    EXPECT_EQ(a.preutterance, u"40.5"_s);
    EXPECT_EQ(a.overlap, u"0"_s);  // a non-numeric text reads as its number
    EXPECT_FLOAT_EQ(a.velocityFactor, 1.4142135f);
    EXPECT_FLOAT_EQ(a.nextPre, 30);
    EXPECT_FLOAT_EQ(a.nextOverlap, 12);
    EXPECT_EQ(option(f, 1, u"env"_s), u"0 8 35 0 100 100 0"_s);
    EXPECT_EQ(NoteExtField(f.c.s.NoteExt.at(1), ExtTiming), u"33:11:150"_s);
    EXPECT_EQ(f.c.s.UndoCaptions, QStringList{u"エンベロープ"_s});
    EXPECT_EQ(f.c.cache.deleted.size(), 0);

    // Two notes selected, or a cancelled editor: nothing.
    f.c.setSelection(1, 2);
    mnEnvelope_Click(f.c, dialog);
    EXPECT_EQ(dialog.shown.size(), 1);
    f.c.setSelection(2, 2);
    dialog.accept = false;
    mnEnvelope_Click(f.c, dialog);
    EXPECT_EQ(dialog.shown.size(), 2);
    EXPECT_EQ(f.c.s.UndoPos, 1);
}


TEST(EnvelopeDialogCommands, TheDefaultEnvelopeIsEditedInAFixedContext) {
    EditFixture f;
    f.setNotes({u"か"_s}, {1920}, {60});
    ScriptedEnvelope dialog;
    dialog.envelope = u"0 5 35 0 100 100 0"_s;
    settings().DefaultEnv = u"0 5 20 0 100 100 0"_s;
    mnNoteDefaultEnv_Click(f.c, dialog);
    ASSERT_EQ(dialog.shown.size(), 1);
    const EnvelopeDialogArgs& a = dialog.shown.at(0);
    EXPECT_TRUE(a.prevIsRest);
    EXPECT_EQ(a.prevLengthMs, 120.0f);
    EXPECT_EQ(a.noteLengthMs, 480.0f);
    EXPECT_EQ(a.envelope, u"0 5 20 0 100 100 0"_s);
    EXPECT_EQ(a.preutterance + u'/' + a.overlap, u"20/10"_s);
    EXPECT_EQ(a.otoPre + a.otoOverlap + a.nextPre + a.nextOverlap, 30.0f);
    EXPECT_EQ(settings().DefaultEnv, QString());  // the standard envelope is stored as the empty text
    dialog.envelope = u"0 5 30 0 100 100 0"_s;
    mnNoteDefaultEnv_Click(f.c, dialog);
    EXPECT_EQ(settings().DefaultEnv, u"0 5 30 0 100 100 0"_s);
    EXPECT_EQ(f.c.s.UndoPos, 0);
}


TEST(EnvelopeDialogCommands, WithoutAnEditorTheCommandSaysSo) {
    ResetPrefixMap();  // a voice bank without prefix map
    EditFixture f;
    f.setNotes({u"か"_s}, {1920}, {60});
    f.c.setSelection(0, 0);
    CommandRegistry registry;
    registerEnvelopeDialogCommands(registry, [](EditContext&) -> NoteDialogsPort* { return nullptr; });
    ASSERT_TRUE(registry.run(u"mnEnvEdit"_s, f.c));
    ASSERT_EQ(f.ports.messageBox.shown.size(), 1);
    EXPECT_TRUE(f.ports.messageBox.lastText().contains(u"エンベロープ"_s));
    EXPECT_EQ(f.c.s.UndoPos, 0);
}

TEST(EnvelopeDialogCommands, PitchDefaultsOpenTheDialogWithoutASelection) {
    EditFixture f;
    f.setNotes({u"か"_s}, {1920}, {60});
    f.c.setSelection(0, 0);
    ScriptedEnvelope dialogs;
    CommandRegistry registry;
    registerEnvelopeDialogCommands(registry, [&](EditContext&) -> NoteDialogsPort* { return &dialogs; });
    ASSERT_TRUE(registry.run(u"mnNoteDefaultPitch"_s, f.c));
    EXPECT_EQ(dialogs.pitchControl, QStringList{u"-1,-1"_s});
    EXPECT_EQ(f.c.s.UndoPos, 0);
}

}  // namespace
