#pragma once

#include <functional>

namespace tova {

class CommandRegistry;
class EditContext;
class NoteDialogsPort;

// The commands that open the envelope editor and the pitch-control dialog over the defaults of new notes.
//   "mnEnvelope" (also "mnEnvEdit")  the envelope editor over the one selected note with its timing
//                  context; on acceptance the envelope, pre-utterance and overlap are written back, one
//                  step "エンベロープ" when the note changed (the renderings stay: tool 1 applies
//                  envelopes). Nothing unless exactly one note is selected.
//   "mnNoteDefaultEnv"  the envelope editor over the DefaultEnv setting in a fixed sample context; the
//                  default envelope is stored as the empty text. No note changes.
//   "mnNoteDefaultPitch"  the pitch-control dialog over the defaults of new notes (no note, no step).
void mnEnvelope_Click(EditContext& context, NoteDialogsPort& dialogs);
void mnEnvEdit_Click(EditContext& context, NoteDialogsPort& dialogs);  // the same as "mnEnvelope"
void mnNoteDefaultEnv_Click(EditContext& context, NoteDialogsPort& dialogs);
void mnNoteDefaultPitch_Click(EditContext& context, NoteDialogsPort& dialogs);

// Registers the three; `dialogs` finds the window's dialogs (null: the command says it is not available).
void registerEnvelopeDialogCommands(CommandRegistry& registry, std::function<NoteDialogsPort*(EditContext&)> dialogs);

}  // namespace tova
