#pragma once

#include <QString>

#include <functional>

namespace tova {

class CommandRegistry;
class EditContext;
class NoteDialogsPort;

// The commands that open the note dialogs. The two that change notes record one undo step, delete the
// renderings of the range and redraw, only when the dialog was confirmed and the notes changed.
//   "mnToneProp"         note properties of the selection ("音符のプロパティ"); nothing for a lone rest
//   "mnVolumeFunc"       volume multiplier of the selection ("強さの変更")
//   "mnNoteDefaultBase"  the defaults of new notes (no undo step)
void mnToneProp_Click(EditContext& context, NoteDialogsPort& dialogs);
void mnVolumeFunc_Click(EditContext& context, NoteDialogsPort& dialogs);
void mnNoteDefaultBase_Click(EditContext& context, NoteDialogsPort& dialogs);

// Registers a command that works with the window's note dialogs under `name`; without them (null from
// `dialogs`) it says that `feature` is not available.
void addNoteDialogCommand(CommandRegistry& registry, const QString& name, const QString& feature,
                          void (*command)(EditContext&, NoteDialogsPort&),
                          const std::function<NoteDialogsPort*(EditContext&)>& dialogs);

// Registers the three; `dialogs` finds the window's dialogs (null: the command says it is not
// available).
void registerNotePropertyCommands(CommandRegistry& registry, std::function<NoteDialogsPort*(EditContext&)> dialogs);

}  // namespace tova
