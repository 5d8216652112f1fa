#pragma once

#include "song/NoteArrays.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace tova {

// Where a note's sample starts against the note: its pre-utterance (sung ahead of the note's start)
// and overlap (crossfade with the previous note), in milliseconds, from the note's own values or the
// voice bank's oto record, scaled by the consonant velocity and shrunk to fit the previous note.

// Pre-utterance and overlap of one note. The note's own values (field 0 of the extension string:
// pre-utterance, overlap and velocity joined by ":") win; a missing one comes from the oto record of
// the lyric at that note (0 when the bank has none). Both are multiplied by the consonant factor
// 2^(1 - velocity / 100) (velocity 100 when not set), which is returned. A rest gives factor 1 and 0, 0.
float GetNoteOtoTiming(const QString& ext, int32_t noteNum, const QString& lyric, float& preutterance,
                       float& overlap);

// Shrinks pre-utterance and overlap by one ratio when the part of the sample before the note's start
// (pre-utterance minus overlap) would take more than half of a sung preceding note, or more than the
// whole of a preceding rest. Adds the reduction of the pre-utterance to `shift` and returns it (0 when
// nothing changed). `prevLength` is the preceding note's length in milliseconds.
float AdjustPreutterance(float prevLength, float& preutterance, float& overlap, float& shift, bool prevIsRest);

// The effective pre-utterance, overlap and start point (`stp` option, scaled by the consonant factor)
// of note i, shrunk like AdjustPreutterance to fit note i - 1 at `tempo` (the tempo in force at the
// previous note, beats per minute) with the start point absorbing the cut. Returns the amount the
// pre-utterance was shortened. `velocityFactor`, when given, receives the consonant factor.
float GetNoteStartTime(float tempo, const QList<qint32>& noteNums, const QList<qint32>& lengths,
                       const QStringList& lyrics, const QStringList& noteExt, qint32 i, float& preutterance,
                       float& overlap, float& stp, float* velocityFactor = nullptr);
// The same on a song's four arrays.
float GetNoteStartTime(float tempo, const NoteArrays& notes, qint32 i, float& preutterance, float& overlap,
                       float& stp, float* velocityFactor = nullptr);

}  // namespace tova
