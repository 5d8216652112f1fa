#pragma once

#include <functional>

namespace tova {

class CommandRegistry;
class EditContext;
class TuningDialogsPort;

// The commands of the built-in tuning tools. Each runs its dialog over the selection with the tempo in
// force before it, and after a confirmed dialog records one undo step whatever changed: the notes it
// may have changed are snapshot before and after, their renderings deleted, the project marked
// modified, and the roll redrawn.
//   "mnAutoBibrato"  vibrato over first..last, tempo at first - 1 ("オートで波打たせる")
//   "mnAutoComb"     combining over first - 1 (when first > 0)..last, tempo at first - 1 ("母音結合")
//   "mnAutoPitch"    pitch bends over first - 1 (when first > 0)..last, tempo at first - 2 ("オートピッチ")
//   "mnOmakase"      the one-click tuning, tempo at first - 2; the selection's range as for pitch bends,
//                    or every note of the song when applied to all ("おま☆かせ")
// A tempo index below 0 takes the project tempo.
void mnAutoBibrato_Click(EditContext& context, TuningDialogsPort& dialogs);
void mnAutoComb_Click(EditContext& context, TuningDialogsPort& dialogs);
void mnAutoPitch_Click(EditContext& context, TuningDialogsPort& dialogs);
void mnOmakase_Click(EditContext& context, TuningDialogsPort& dialogs);

// Registers the four; `dialogs` finds the window's tuning dialogs (null: the command says it is not
// available).
void registerTuningCommands(CommandRegistry& registry, std::function<TuningDialogsPort*(EditContext&)> dialogs);

}  // namespace tova
