#pragma once

#include "song/NoteArrays.h"

#include <QString>
#include <QStringList>

namespace tova {

class NoteTimingSource;

// The pitch curve that the note renderer receives for one note, computed before rendering from the
// note's mode-2 points and vibrato.
//
// A pitch list holds one value per sampling step (1/96 of a beat, a whole number of samples at 44100 Hz)
// from the start of the note's rendered sound (its sample starts pre-utterance + start point before the
// note) to where the next note's sample takes over. Each value is an offset in cents from the note's own
// pitch; an empty entry stands for 0. Entry 0 carries the tempo: its value, "Q", the tempo ("-300Q120").
// The lists are stored, joined by single blanks, in the note's `pitches` option; the vibrato's second
// curve in its `expression` option.
//
// Mode-2 points (all numbers read leniently, empty = 0):
//   `PBS`  x[;y]  start of the first segment in ms from the note's start; y, in units of 10 cents, is the
//                 start height after a rest
//   `PBW`  widths of the segments in ms, blank-separated
//   `PBY`  end height of each segment in units of 10 cents (padded or cut to the widths)
//   `PBM`  shape of each segment: "s" straight, "r" fast start, "j" slow start, anything else an S-curve
// `VBR`: length (% of the note, from its end), cycle (ms, 0 = 200), depth (cents), fade-in and fade-out
// (% of the vibrato), phase (% of a cycle), height (% of the depth), expression depth (optional).

// The longest stretch of a note the note renderer renders (10 minutes of output, from the sample's
// offset): pitch values past it are never read, so no list is computed beyond it (plus one step). A
// note of the longest length a file holds would otherwise need hundreds of megabytes.
constexpr double MaxRenderedNoteMs = 600000.0;

// The sampling step in ms at a tempo: Int(60 / 96 / tempo x 44100 + 0.5) samples at 44100 Hz, as a
// single-precision value (230 samples, about 5.2154 ms, at tempo 120).
float PitchStepMs(float tempo);

// Computes note i's pitch list from its own mode-2 curve, what remains of the previous note's curve and
// the start of the next note's curve, over at most MaxRenderedNoteMs; stores it in the note's `pitches`
// option and returns it. A rest
// gets nothing (the result is empty and the option is left alone). `tempo`, `tempoPrev` and `tempoPrev2`
// are the tempos in force at notes i, i - 1 and i - 2; a missing predecessor takes the note's own tempo.
QStringList MakeMode2Pitches(float tempo, float tempoPrev, float tempoPrev2, qint32 i, NoteArrays& notes,
                             const NoteTimingSource& timing);

// How ApplyPitchAndVibrato treats the lists (any other text, the empty one included, replaces the pitch
// values by the vibrato in both the note and the next note's lead-in).
namespace VibratoMode {
inline const QString Reset = QStringLiteral("Reset");        // set the values to 0, empty the expression
inline const QString Override = QStringLiteral("Override");  // add to the note and the next lead-in
inline const QString ThisOnly = QStringLiteral("ThisOnly");  // add to the note only
inline const QString NextOnly = QStringLiteral("NextOnly");  // add to the next note's lead-in only
}  // namespace VibratoMode

// Applies note k's vibrato (`VBR`, at least seven fields) to its pitch list and to the lead-in of the next
// note's list (the part of the next note's sound that starts before note k ends), and writes note k's
// expression list. `tempo` is the tempo in force at note k, `tempoPrev` at note k - 1. A rest, a `VBR` of
// fewer than seven fields or an empty pitch list changes nothing.
void ApplyPitchAndVibrato(float tempo, float tempoPrev, qint32 k, NoteArrays& notes, const NoteTimingSource& timing,
                          const QString& mode = QString());

// Prepares note i's pitch curve for rendering: empties its `pitches` option, computes its mode-2 curve,
// lets the previous sung note's vibrato reach into its lead-in and adds its own vibrato.
void ComputeNotePitch(qint32 i, NoteArrays& notes, const NoteTimingSource& timing);

}  // namespace tova
