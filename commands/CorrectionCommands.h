#pragma once

#include <QtGlobal>

namespace tova {

class CommandRegistry;
class EditContext;

// Parameter correction and stretch correction over the selection.

// Corrects note `index` in place: its effective pre-utterance and overlap (own values or the voice
// bank's, times the velocity factor) are fitted so that the part before the note takes at most half of
// a sung previous note (all of a rest), the start point absorbing the cut, and so that the overlap does
// not run past the note's room before the next note; the values are written back as explicit texts
// (divided by the velocity factor, cut to three decimals) and the envelope is fitted to the sounding
// length. `prevTempo`, `tempo` and `nextTempo` are the tempos in force at notes index - 1, index and
// index + 1. True when the envelope or an effective value changed.
bool CorrectNoteParameters(EditContext& context, qint32 index, float prevTempo, float tempo, float nextTempo);

// "mnCorrectParams" (and the tool button "cmdAcceptAutoCorrect"): CorrectNoteParameters over the
// selection; one step "パラメータの補正" holding the notes that changed, whose cached renderings are
// deleted. Redraws in every case.
void mnCorrectParams_Click(EditContext& context);
// "mnForStretch": scales the pre-utterance and overlap of each selected note by the ratio of its
// sample's average frequency (its frequency table) to the note's frequency; notes without a readable
// table stay. One step "stretchの補正"; no redraw.
void mnForStretch_Click(EditContext& context);

void registerCorrectionCommands(CommandRegistry& registry);

}  // namespace tova
