#pragma once

#include "song/NoteArrays.h"

#include <QString>

#include <cstdint>

namespace tova {

class Song;

// Per-note values that the renderers and the editing dialogs read out of the notes: the tempo in force
// at a note, a note's own tempo, start point and envelope, the tempo stamped into mode-2 pitch data and
// the envelope fitted to the length a note sounds.
//
// Numbers are read by the leading-number rule (Vb::Val). A `tempo` option whose value is 0 or less
// counts as absent wherever a tempo is taken for timing, since every length in milliseconds divides
// by it.

// The tempo in force at note `index`: `projectTempo`, replaced by each usable `tempo` option of the
// notes 0 to `index`. An index of -1 (or below) or past the last note gives the project tempo.
void FindTempoAt(const NoteArrays& notes, float projectTempo, qint32 index, float& tempo);
void FindTempoAt(const Song& song, qint32 index, float& tempo);

// Replaces `tempo` by note `index`'s own usable `tempo` option; only for 1 <= index <= last note
// (note 0's tempo is the one FindTempoAt starts from).
void GetNoteTempo(const NoteArrays& notes, qint32 index, float& tempo);

// For drawing: the value after the first "tempo=" anywhere in the option field of an extension
// string (120 when it is 0 or less); `found` tells whether there was one. A string of fewer than six
// fields leaves both alone apart from `found`.
void ParseTempoField(const QString& ext, float& tempo, bool& found);

// The three render parameters of an extension string: the value after the first "tempo=" (when
// usable; otherwise `tempo` keeps its value), after the first "stp=" (0 without one) and the text
// after the first "env=" up to the next option separator (otherwise `env` keeps its value). A string
// of fewer than six fields changes nothing.
void ParseNoteParamFields(const QString& ext, float& tempo, float& stp, QString& env);

// Writes tempo (format "0.00", left out when 0), stp (left out when 0) and env (left out when empty)
// as the whole option list of an extension string; other options are dropped.
void SetNoteParamFields(QString& ext, float tempo, float stp, const QString& env);

// Stamps a tempo into mode-2 pitch data: the text up to its first "Q", the tempo cut to two decimals,
// then the text from the first blank on. Text without "Q" is unchanged.
void ParseLengthQ(QString& pitches, float tempo);

// Completes an envelope ("p1 p2 p3 v1 v2 v3 v4", or the long form with "%" and p4 p5 v5) and fits
// its times into a sound of `length` milliseconds.
void NormalizeEnvelope(QString& env, int32_t length);

}  // namespace tova
