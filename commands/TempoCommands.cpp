#include "commands/TempoCommands.h"

#include "commands/CommandFrame.h"
#include "commands/CommandRegistry.h"
#include "commands/EditContext.h"
#include "platform/Vb.h"
#include "song/NoteExtension.h"
#include "song/Song.h"

namespace tova {

namespace {

const QString kTempo = QStringLiteral("tempo");

// The note under the last ruler press when it is a note of the song, else -1.
qint32 rulerNoteOf(const EditContext& c) {
    const qint32 k = c.rulerNote();
    return k >= 0 && k < c.editedSong().noteCount() ? k : -1;
}

// Records the step of a tempo command over note k (also when the note did not change) and redraws.
void recordTempoStep(EditContext& c, qint32 k, const QString& before, const QString& caption) {
    c.setModified(true);
    c.pushUndo(before, c.editedSong().SerializeNote(QStringLiteral("PROP"), k), caption);
    c.Redraw();
}

}  // namespace

void mnSetTempo_Click(EditContext& c) {
    const qint32 k = rulerNoteOf(c);
    if (k < 0) return;
    Song& s = c.editedSong();
    QString text = GetNoteOption(s.NoteExt.at(k), kTempo);
    float value = 0;
    for (;;) {
        if (!AskText(c, QStringLiteral("テンポの設定"), text)) return;
        value = float(Vb::Val(text));
        if (value == 0 || (value >= kMinNoteTempo && value <= kMaxNoteTempo)) break;
    }
    const QString before = s.SerializeNote(QStringLiteral("PROP"), k);
    if (value == 0) {
        SetNoteOption(s.NoteExt[k], kTempo, QString());
    } else {
        const QString shown = Vb::Format(value, QStringLiteral("0.00"));
        c.setTempoBoxText(shown);
        SetNoteOption(s.NoteExt[k], kTempo, shown);
    }
    recordTempoStep(c, k, before, QStringLiteral("テンポの設定"));
}

void mnTempoDel_Click(EditContext& c) {
    const qint32 k = rulerNoteOf(c);
    if (k < 0) return;
    Song& s = c.editedSong();
    const QString before = s.SerializeNote(QStringLiteral("PROP"), k);
    SetNoteOption(s.NoteExt[k], kTempo, QString());
    recordTempoStep(c, k, before, QStringLiteral("テンポ設定を削除"));
}

void registerTempoCommands(CommandRegistry& registry) {
    addEditCommand(registry, QStringLiteral("mnSetTempo"), mnSetTempo_Click);
    addEditCommand(registry, QStringLiteral("mnTempoDel"), mnTempoDel_Click);
}

}  // namespace tova
