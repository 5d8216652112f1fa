#pragma once

#include <QString>

namespace tova {

class CommandRegistry;
class EditContext;

// Mode-2 pitch curves rendered into the notes, and fitting a note's pitch points into its length.

// The tool button "Render": with the Mode2 switch on, the pitch curves of the selected notes are
// computed and written into their pitch-data field as one step "ピッチをレンダリング" that holds every
// note of the range (rests included) and marks the project modified. Redraws in trace mode; the roll
// gets the keyboard focus in every case.
void cmdRender_Click(EditContext& context);
// Computes the curve of each note first..last (rests included) into its pitch-data field and empties
// its `pitches` and `expression` options.
void RenderNotePitches(EditContext& context, qint32 first, qint32 last);
// Puts a text into field 3 (pitch data) of a note's extension string.
void SetPitchDataField(EditContext& context, qint32 index, const QString& text);
// Fits the mode-2 points of an extension string into a note of `length` ticks at `tempo`: when the last
// point ends after the note (length x 31.25 / tempo ms), the start offset and every point are scaled
// by the note's length over that end; points that fall on the same millisecond become one with the mean
// height. Shapes and the start height stay. Nothing changes without a `PBS` option or when the points
// end within the note.
void ScalePitchPoints(qint32 length, QString& extension, float tempo);

void registerPitchRenderCommands(CommandRegistry& registry);

}  // namespace tova
