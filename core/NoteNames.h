#pragma once

#include "platform/lean/NoteName.h"

#include <QString>

#include <cstdint>

namespace tova {

// Conversions between note numbers, frequencies in hertz and note names ("C4").
//
// Note 12 is the C of 65.4063913251497 Hz; note 36 is "C4", note 45 the A of 440 Hz. The octave of a
// note n is floor(n / 12) + 1. Names are written with the accidental style of the `SharpFlat`
// setting ("#", "b", "♯" or "♭"), read at every call.

// The reference frequency of note 12, and one semitone in natural-logarithm units (ln 2 / 12).
constexpr double kNoteRefFreq = lean::kNoteRefFreq;
constexpr double kSemitoneLn = 0.0577622650466666;

// "No note": what the frequency conversions give for a frequency of zero or less (the unvoiced frames
// of a frequency table) or one that is not a number. It lies below every note a positive frequency
// gives, below the lowest named note (so its name is the empty text) and well inside the 16-bit range,
// so callers may still do arithmetic with it.
constexpr int32_t kNoNote = -32768;

// The name of a note ("C4", "C#4", "Db4", ...), or "" for a note below -12 (and for kNoNote).
QString NoteNumToName(int32_t n);

// The note number of a name: the accidental is the second character ("#"/"♯" sharp, "b"/"♭" flat),
// the octave the lenient number after the key. A key its table does not hold counts as C. The empty
// text gives -1. Raises OverflowError outside the 16-bit range.
int16_t NoteNameToNum(const QString& name);

// The frequency of a (possibly fractional) note number.
double NoteNumToFreq(double n);

// The fractional note number of a frequency; kNoNote for a frequency of zero or less.
double FreqToNoteValue(double f);

// The nearest note number of a frequency (halves round up); kNoNote for a frequency of zero or less.
// Raises OverflowError beyond the 32-bit range.
int32_t FreqToNoteNum(double f);

// The name of the nearest note of a frequency; "" for a frequency of zero or less.
QString FreqToNoteName(double f);

}  // namespace tova
