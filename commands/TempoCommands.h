#pragma once

#include "song/ProjectSettings.h"

namespace tova {

class CommandRegistry;
class EditContext;

// Tempo changes: the `tempo` option of the note where a tempo takes effect, set and removed on the note
// under the last ruler press (`rulerNote`). Both do nothing without such a note, and neither deletes
// cached renderings (a rendering's name holds what its tempo made of it).

// The lowest and highest tempo a note may set (those of the project tempo box).
constexpr float kMinNoteTempo = MinTempo;
constexpr float kMaxNoteTempo = MaxTempo;

// "mnSetTempo" (and "mnSetTempo2"): asks for the tempo "テンポの設定", starting from the note's own; 0,
// an empty or a non-numeric text removes the change; a tempo outside 10..512 is asked again; otherwise it
// is stored "0.00" and shown in the tempo box. One step "テンポの設定", also when nothing changed;
// cancelling records nothing.
void mnSetTempo_Click(EditContext& context);
// "mnTempoDel": removes the note's tempo change; one step "テンポ設定を削除", also when there was none.
void mnTempoDel_Click(EditContext& context);

void registerTempoCommands(CommandRegistry& registry);

}  // namespace tova
