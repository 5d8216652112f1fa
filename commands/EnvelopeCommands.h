#pragma once

#include <QString>

namespace tova {

class CommandRegistry;
class EditContext;

// The envelope commands: the `env` option of notes (an envelope text "p1 p2 p3 v1 v2 v3 v4", optionally
// "%" p4 p5 v5; absent or empty means the default "0 5 35 0 100 100 0").

// "mnResetEnvelop": every note of the selection gets the DefaultEnv setting as its envelope (an empty
// setting removes the option). One step "エンベロープのリセット" holding the notes that changed; the
// render cache stays (tool 1 applies envelopes).
void mnResetEnvelop_Click(EditContext& context);
// "mnCrossFadeEnv" / "mnCrossFadeEnv14": crossfade envelopes on each pair of adjacent sung notes of the
// selection (a first note 0 becomes 1), over the later note's effective overlap; `longForm` is the
// "p1p4" shape. One step "クロスフェードのエンベロープ"; the changed notes lose their cached renderings.
void ApplyCrossFadeEnvelope(EditContext& context, bool longForm);
void mnCrossFadeEnv_Click(EditContext& context);
void mnCrossFadeEnv14_Click(EditContext& context);
// The tool-band buttons "cmdCrossFadeEnv" and "cmdCrossFadeEnv2" run "mnCrossFadeEnv" and
// "mnCrossFadeEnv14".
void cmdCrossFadeEnv_Click(EditContext& context);
void cmdCrossFadeEnv2_Click(EditContext& context);

// Puts an envelope into an extension string and sets its pre-utterance and overlap: every "env=" entry
// of the option list becomes "env=" + `env` (an empty entry when `env` is empty); without one a
// non-empty `env` is appended; field 0 becomes pre ":" overlap.
void EditEnvelopeText(QString& ext, const QString& env, const QString& pre, const QString& overlap);

// Registers the reset and crossfade commands (the envelope editor's commands are the editors').
void registerEnvelopeCommands(CommandRegistry& registry);

}  // namespace tova
