#pragma once

namespace tova {

class CommandRegistry;
class EditContext;

// The commands that change the pitch and timing structure of the selected notes, each one undo step.

// "選択部分を上へ移動(&U)" / "選択部分を下へ移動(&D)": transposes the selection by one semitone (held
// within 0..83; undo restores notes that were held exactly).
void mnMoveUp_Click(EditContext& context);
void mnMoveDown_Click(EditContext& context);
// "選択部分を数値で移動(&N)...": asks the semitones ("移動量を半音単位で入力", "0"), rounded halves to
// even; 0 does nothing.
void mnMoveNote_Click(EditContext& context);
// "ノート結合(&M)": the selected notes become the first one: their lengths add up, the lyrics of the
// notes that are no rests follow its lyric (a leading "R" is dropped), its note number and parameters
// stay. Step "ノート結合".
void mnNoteMerge_Click(EditContext& context);
// "長さ...": asks the current note's length in file ticks until 15 <= value < 768000. Step "長さを変更".
void mnNoteLength_Click(EditContext& context);
// "クォンタイズ(&Q)...": asks the unit in file ticks ("120"; 0 or less is asked again) and rounds the
// lengths of the selection (the whole song without one) to it, carrying each note's rounding into the
// next; a note rounded to nothing is removed. Step "クォンタイズ".
void mnQuontize_Click(EditContext& context);
// "休符の除去(&J)...": asks a limit in file ticks ("20") and gives every rest of at most that length
// that follows a note of the range to that note. Step "休符の除去".
void mnRemoveR_Click(EditContext& context);

void registerMoveCommands(CommandRegistry& registry);

}  // namespace tova
