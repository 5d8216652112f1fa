#pragma once

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

// Registers the three; `dialogs` finds the window's dialogs (null: the command says it is not
// available).
void registerNotePropertyCommands(CommandRegistry& registry, std::function<NoteDialogsPort*(EditContext&)> dialogs);

}  // namespace tova
