#pragma once

#include <QtGlobal>

#include <functional>

namespace tova {

struct NoteArrays;

// The per-note loops of the tuning tools, carrying the tempo in force from note to note. A note's own
// tempo is its usable `tempo` option; it is in force from that note on.

// Vibrato and combining: notes max(first, 0) .. min(last, last note); the pass gets the tempo at the
// note before and at the note. `tempo` is the tempo in force before `first`.
void RunTwoTempoLoop(float tempo, qint32 first, qint32 last, const NoteArrays& notes,
                     const std::function<void(float previous, float current, qint32 i)>& pass);

// Pitch bends: notes max(first, 1) .. min(last, last note); the pass gets the tempos at the notes two
// back, one back and at the note. `tempo` is the tempo in force two notes before the first one
// processed; the note before it brings its own tempo when it has one.
void RunPitchLoop(float tempo, qint32 first, qint32 last, const NoteArrays& notes,
                  const std::function<void(float twoBack, float previous, float current, qint32 i)>& pass);

// Runs `passes` over the notes. When a pass fails the notes are put back as they were before and the
// failure goes on to the caller, so that a failed tool never leaves half its work behind.
void RunRestoringOnFailure(NoteArrays& notes, const std::function<void()>& passes);

}  // namespace tova
