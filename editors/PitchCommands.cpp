#include "editors/PitchCommands.h"

#include "commands/CommandRegistry.h"
#include "commands/EditContext.h"
#include "commands/MoveCommands.h"
#include "editors/NoteDialogsPort.h"
#include "editors/NotePropertyCommands.h"
#include "render/NoteRenderParams.h"
#include "song/Song.h"

namespace tova {

void EditPitchInForm2(EditContext& context, NoteDialogsPort& dialogs) {
    const NoteRange r = context.selectedRange();
    if (r.empty) return;
    Song& song = context.editedSong();
    const qint32 note = r.first;
    float tempo = song.Tempo;
    if (note > 0) FindTempoAt(song, note - 1, tempo);
    const QString before = song.SerializeNote(QStringLiteral("PROP"), note);
    if (!dialogs.ShowPitchEditor(tempo, song.VoiceDir, song.CacheDir, note, song, context.ownerWindow())) return;
    const QString after = song.SerializeNote(QStringLiteral("PROP"), note);
    if (after == before) return;
    context.deleteCachedNotes(note, note);
    context.pushUndo(before, after, QStringLiteral("ピッチの編集"));
    context.setModified(true);
    context.Redraw();
}

void EditPitchControl(EditContext& context, NoteDialogsPort& dialogs) {
    const NoteRange r = context.selectedRange();
    if (r.empty) return;
    Song& song = context.editedSong();
    const QString before = song.SerializeNoteRange(QStringLiteral("PROP"), r.first, r.last);
    if (!dialogs.ShowPitchControl(r.first, r.last, song, song.Tempo, context.ownerWindow())) return;
    const QString after = song.SerializeNoteRange(QStringLiteral("PROP"), r.first, r.last);
    context.pushUndo(before, after, QStringLiteral("ピッチコントロール"));
    context.setModified(true);
    context.deleteCachedNotes(r.first, r.last);
    context.Redraw();
}

void mnTonePitch_Click(EditContext& context, NoteDialogsPort& dialogs) {
    const NoteRange r = context.selectedRange();
    if (r.empty) return;
    const Song& song = context.editedSong();
    const bool single = context.selStart() == context.selEnd();
    if (single && IsRestLyric(song.Lyrics.at(r.first))) return;
    if (context.mode2())
        EditPitchControl(context, dialogs);
    else if (song.noteCount() > 0 && single)
        EditPitchInForm2(context, dialogs);
}

void mnPropRange_Click(EditContext& context, NoteDialogsPort& dialogs) {
    const NoteRange r = context.selectedRange();
    if (context.editedSong().noteCount() == 0 || r.empty) return;
    const qint32 start = context.selStart();
    context.setRulerNote(start);
    if (context.selStart() == context.selEnd() && IsRestLyric(context.editedSong().Lyrics.at(start))) {
        context.setCurNote(start);
        mnNoteLength_Click(context);
        return;
    }
    mnToneProp_Click(context, dialogs);
}

void registerPitchCommands(CommandRegistry& registry, std::function<NoteDialogsPort*(EditContext&)> dialogs) {
    addNoteDialogCommand(registry, QStringLiteral("mnTonePitch"), QStringLiteral("ピッチの編集"), mnTonePitch_Click, dialogs);
    addNoteDialogCommand(registry, QStringLiteral("mnPropRange"), QStringLiteral("音符のプロパティ"), mnPropRange_Click, dialogs);
}

}  // namespace tova
