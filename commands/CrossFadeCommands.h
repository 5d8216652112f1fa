#pragma once

namespace tova {

class CommandRegistry;
class EditContext;

// "cmdCorrectCrossFade" (and "mnCorrectCrossFade"): moves the start point of every sung note of the
// selection (note 0 has no predecessor) so that its cached rendering joins the previous note's well.
// Runs note by note with the progress window (shown for more than one note); events are handled between
// notes and the window's stop link ends the run, the notes done so far keeping their new start points.
// A run that changed notes asks whether to delete the range's cached renderings and records one step
// "クロスフェード最適化"; a run that changed nothing says so. A second start while a run is going on does
// nothing. The roll gets the keyboard focus at the end.
void cmdCorrectCrossFade_Click(EditContext& context);
void mnCorrectCrossFade_Click(EditContext& context);

void registerCrossFadeCommands(CommandRegistry& registry);

}  // namespace tova
