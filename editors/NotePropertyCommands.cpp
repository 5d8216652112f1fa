#include "editors/NotePropertyCommands.h"

#include "commands/CommandFrame.h"
#include "commands/CommandRegistry.h"
#include "commands/EditContext.h"
#include "commands/NotAvailable.h"
#include "editors/NoteDialogsPort.h"
#include "song/Song.h"

namespace tova {

void mnToneProp_Click(EditContext& context, NoteDialogsPort& dialogs) {
    const NoteRange r = context.selectedRange();
    if (r.empty) return;
    Song& song = context.editedSong();
    if (r.first == r.last) {
        context.setRulerNote(r.first);
        if (IsRestLyric(song.Lyrics.at(r.first))) return;
    }
    context.beginPropUndo(r.first, r.last, QStringLiteral("音符のプロパティ"));
    if (!dialogs.ShowProperty(r.first, r.last, song, context.ownerWindow())) return;
    if (context.endPropUndo(true)) context.Redraw();
}

void mnVolumeFunc_Click(EditContext& context, NoteDialogsPort& dialogs) {
    const NoteRange r = context.selectedRange();
    if (r.empty) return;
    Song& song = context.editedSong();
    context.beginPropUndo(r.first, r.last, QStringLiteral("強さの変更"));
    if (!dialogs.ShowVolumeFunctionizer(r.first, r.last, song.Lyrics, song.NoteExt, context.ownerWindow())) return;
    if (context.endPropUndo(true)) context.Redraw();
}

void mnNoteDefaultBase_Click(EditContext& context, NoteDialogsPort& dialogs) {
    dialogs.ShowDefaultProperty(context.ownerWindow());
}

void addNoteDialogCommand(CommandRegistry& registry, const QString& name, const QString& feature,
                          void (*command)(EditContext&, NoteDialogsPort&),
                          const std::function<NoteDialogsPort*(EditContext&)>& dialogs) {
    registry.add(name, [dialogs, feature, command](EditContext& context) {
        NoteDialogsPort* port = dialogs ? dialogs(context) : nullptr;
        if (!port) {
            ReportNotAvailable(feature);
            return;
        }
        // The dialog changes the notes before the step is recorded: a failure after it puts them back.
        RunEditCommand(context, [&] { command(context, *port); });
    });
}

void registerNotePropertyCommands(CommandRegistry& registry, std::function<NoteDialogsPort*(EditContext&)> dialogs) {
    addNoteDialogCommand(registry, QStringLiteral("mnToneProp"), QStringLiteral("音符のプロパティ"), mnToneProp_Click, dialogs);
    addNoteDialogCommand(registry, QStringLiteral("mnVolumeFunc"), QStringLiteral("強さの変更"), mnVolumeFunc_Click, dialogs);
    addNoteDialogCommand(registry, QStringLiteral("mnNoteDefaultBase"), QStringLiteral("音符のデフォルト設定"),
                         mnNoteDefaultBase_Click, dialogs);
}

}  // namespace tova
