#pragma once

#include <functional>

namespace tova {

class CommandRegistry;
class EditContext;
class NoteDialogsPort;

// The pitch commands of the selection and the range-property command.
//   EditPitchInForm2   the pitch editor over the first selected note, tempo in force before it; one
//                      step "ピッチの編集" when the note changed
//   EditPitchControl   the pitch-control dialog over the selection; a confirmed dialog is always one
//                      step "ピッチコントロール"
// Both delete the renderings of the notes they cover and redraw.
void EditPitchInForm2(EditContext& context, NoteDialogsPort& dialogs);
void EditPitchControl(EditContext& context, NoteDialogsPort& dialogs);
//   "mnTonePitch"  (also "mnPitchEdit", "mnPBMode2Prop"): with the Mode2 switch on the pitch-control
//                  dialog; otherwise, for one selected note, the pitch editor. Nothing for a lone rest.
void mnTonePitch_Click(EditContext& context, NoteDialogsPort& dialogs);
//   "mnPropRange"  the note properties of the selection; for one selected rest its length instead.
void mnPropRange_Click(EditContext& context, NoteDialogsPort& dialogs);

void registerPitchCommands(CommandRegistry& registry, std::function<NoteDialogsPort*(EditContext&)> dialogs);

}  // namespace tova
