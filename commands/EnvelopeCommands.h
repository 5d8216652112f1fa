#pragma once

#include <QString>

#include <functional>

namespace tova {

class CommandRegistry;
class EditContext;
class EnvelopeDialogPort;

// The envelope commands: the `env` option of notes (an envelope text "p1 p2 p3 v1 v2 v3 v4", optionally
// "%" p4 p5 v5; absent or empty means the default "0 5 35 0 100 100 0").

// "mnResetEnvelop": every note of the selection gets the DefaultEnv setting as its envelope (an empty
// setting removes the option). One step "エンベロープのリセット" holding the notes that changed; the
// render cache stays (tool 1 applies envelopes).
void mnResetEnvelop_Click(EditContext& context);
// "mnEnvelope" (and "mnEnvEdit"): the envelope editor over the one selected note with its timing
// context; on acceptance the envelope, pre-utterance and overlap are written back, one step
// "エンベロープ" when the note changed. Nothing unless exactly one note is selected.
void mnEnvelope_Click(EditContext& context, EnvelopeDialogPort& dialog);
// "mnNoteDefaultEnv": the envelope editor over the DefaultEnv setting, in a fixed sample context; the
// standard envelope is stored as the empty text. No note changes.
void mnNoteDefaultEnv_Click(EditContext& context, EnvelopeDialogPort& dialog);
// "mnCrossFadeEnv" / "mnCrossFadeEnv14": crossfade envelopes on each pair of adjacent sung notes of the
// selection (a first note 0 becomes 1), over the later note's effective overlap; `longForm` is the
// "p1p4" shape. One step "クロスフェードのエンベロープ"; the changed notes lose their cached renderings.
void ApplyCrossFadeEnvelope(EditContext& context, bool longForm);

// Puts an envelope into an extension string and sets its pre-utterance and overlap: every "env=" entry
// of the option list becomes "env=" + `env` (an empty entry when `env` is empty); without one a
// non-empty `env` is appended; field 0 becomes pre ":" overlap.
void EditEnvelopeText(QString& ext, const QString& env, const QString& pre, const QString& overlap);

// Registers the envelope commands and their tool-band buttons; `dialog` finds the envelope editor
// (null: the editor is not available yet).
void registerEnvelopeCommands(CommandRegistry& registry, std::function<EnvelopeDialogPort*(EditContext&)> dialog);

}  // namespace tova
