#pragma once

#include <QString>

namespace tova {

// The pitch text that carries a note's pitch curve to the note renderer: each value (clamped to
// -2048..2047, held as 12-bit two's complement) is two symbols of the 64-symbol alphabet below, high six
// bits first; a repeated pair is written once followed by "#", the number of further copies and "#".
// None of these functions fails: text of another shape is returned unchanged or decoded as far as it goes.

// "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"
const QString& PitchAlphabet();

// Two symbols for a value (clamped to -2048..2047). 0 is "AA", -1 is "//", -2048 is "gA".
QString EncodePitchPair(qint16 value);
// The value of two symbols; a symbol outside the alphabet counts as digit -1, a missing one as 0.
qint16 DecodePitchPair(QStringView pair);
// A blank-separated list of numbers as a pair string: each token's leading number (0 when none) is
// clamped to -2048..2047 and rounded with halves going up.
QString EncodePitchList(const QString& list);
// A pair string as a blank-separated list of integers ("" for an empty text).
QString DecodePitchList(const QString& pairs);
// Run-compresses a pair string: a pair repeated in the middle three or more times, and any repeat at the
// very end, is written once followed by "#", the number of further copies and "#".
QString EncodePitchRun(const QString& pairs);
// The most values DecodePitchRun expands: far more than any note carries, and a bound on the memory a
// damaged count in a file can claim.
constexpr qsizetype MaxDecodedPitchValues = 1 << 20;
// The most pitch values a reader takes from one file, all notes together: some three hours of sound at
// the pitch step, whatever the notes' lengths say.
constexpr qsizetype MaxPitchValuesPerFile = 1 << 21;
// What a pitch list may hold beyond its note's own length: the lead-in before the note (pre-utterance and
// start point) and the tail into the next note.
constexpr qsizetype PitchLeadValues = 1024;

// The most pitch values a note of this length (internal ticks) can use: its length at the pitch step (one
// value per 1/96 of a beat, 20 internal ticks) and PitchLeadValues; at most MaxDecodedPitchValues.
qsizetype PitchValuesForLength(qint64 internalTicks);

// Expands a run-compressed pair string. Decoding stops at a "#" that is never closed (after expanding
// its count) and once the result would exceed `maxValues` values (at most MaxDecodedPitchValues).
QString DecodePitchRun(const QString& text, qsizetype maxValues = MaxDecodedPitchValues);

// A pitch data field (field 3 of the extension string) whose first token holds "Q" as pitch text:
// "!", the tempo text after the "Q", a blank and the run-compressed pairs of all values. Any other field,
// and every field while `encodingOn` is false, is returned unchanged.
QString EncodePitchText(const QString& field, bool encodingOn);
// The same, switched by the program's `EncodePitchData` setting (on unless the options dialog turned it off).
QString EncodePitchText(const QString& field);
// Pitch text back to a pitch data field: the values (at most `maxValues`) with "Q" and the tempo after
// the first one. Text that does not begin with "!" and a tempo before its first blank is returned
// unchanged.
QString DecodePitchText(const QString& text, qsizetype maxValues = MaxDecodedPitchValues);

}  // namespace tova
