#pragma once

#include "song/NoteArrays.h"

#include <QString>

class QIODevice;

namespace tova {

// Reading one voice track of a VSQ sequence file into notes and rests.
//
// The file is a Standard MIDI File: track 1 is the master track (its tempo events time the song),
// tracks 2 and up are voice tracks whose text events "DM:nnnn:" carry the sequence text. The text's
// bytes are joined in event order and then decoded from the system code page (a character cut between
// two events reads whole); lines end at LF, and a CR before it is dropped. The event list
// ("[EventList]": tick "=" record name), the event records "[ID#nnnn]" (`Type`, `Length`, `Note#`,
// `Dynamics`, `LyricHandle`, `PMBendDepth`), the lyric handles "[h#nnnn]" (`L0`) and the pitch-bend
// points "[PitchBendBPList]" are read; everything else is passed over.
//
// Each record whose name is found in the event list (at or after the previous record's entry) becomes
// an element at its tick: lengths in internal ticks (file ticks x 1920 / division, rounded), note
// numbers `Note#` - 24, non-"Anote" records rests "R" of note 36. A gap of 40 internal ticks or more to
// the next event inserts a rest "R" (note 36), a shorter one is dropped, an overlap shortens the element;
// elements of no length are overwritten by the next record. The first element of positive length and
// every one at which the tempo changes carry the option "tempo=" with the tempo ("0.00"): the record's
// own element, or the rest after it when the element has no length. Bend points
// from an element's start up to the next element's start (the last element: all that remain), under a
// non-zero `PMBendDepth`, become the element's pitch data (as the MIDI reader builds it), all
// curves of one file together capped at MaxDecodedPitchValues values. Sung notes then get the default
// note settings: mode-2 portamento and vibrato, the default envelope, and intensity, modulation and
// flags from the settings (the file's `Dynamics` does not survive). Every element has six fields.
//
// `track` is the 1-based track to read; a number outside 2 .. the track count is corrected to 2 in place.
// Returns the number of elements: -1 for a file that is not a format 0/1 Standard MIDI File or is
// damaged (a short read, a length beyond the file, a number too large for its field); 0 when a track
// chunk cannot be read or the file ends after the master track, or when no element was read. Only a
// result above 0 changes `notes` (replaced by exactly those elements) and `tempo` (the first tempo of
// the master track, unchanged when it has none). A file that cannot be opened raises FileError, and so
// does a track whose sequence text exceeds VsqSequenceLimit (the message names the file): far beyond
// any song's notes and bend points, it would hold the program for seconds.
inline constexpr qsizetype VsqSequenceLimit = qsizetype(4) << 20;
qint32 ReadVsqFile(const QString& path, float& tempo, NoteArrays& notes, qint16& track);
qint32 ReadVsqFile(QIODevice& device, float& tempo, NoteArrays& notes, qint16& track);

}  // namespace tova
