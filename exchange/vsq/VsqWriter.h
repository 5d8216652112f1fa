#pragma once

#include "song/NoteArrays.h"

#include <QByteArray>
#include <QString>

namespace tova {

// Writing the song as a VSQ sequence file: a format 1 Standard MIDI File (division 480) whose master
// track holds the tempo and the time signature, and whose one voice track carries the sequence text
// ("[Common]", "[Master]", "[Mixer]", "[EventList]", the event records "[ID#nnnn]" and the lyric
// handles "[h#nnnn]", lines ending in LF) in the system code page, cut into text events "DM:nnnn:" of at
// most 119 text bytes each.
//
// The voice track begins after one 4/4 measure of lead-in (tick 1920, "PreMeasure=1"); the master
// track's tempo events for notes with a `tempo` option carry the same lead-in, so each tempo change
// falls on its note's tick. Rests write no record. Positions, not lengths, are rounded to file ticks,
// so every event lies within half a tick of where the song has it. A sung note whose file note number
// (note number + 24) lies outside 0..127 cannot be written: the export is refused with
// SmfNoteRangeError (naming the note) and nothing is written.

// The phonetic symbols of a lyric from the built-in kana table ("a" when the lyric is not a key).
QString LyricToVsqPhonetic(const QString& lyric);

// The sequence text of the voice track (before conversion to the code page).
QString VsqSequenceText(const NoteArrays& notes);
// Appends the text events that carry `text`: each "DM:", its number in four (or more) digits, ":" and
// the next 119 bytes of the text (the last event the rest), with delta time 0.
void AppendVsqTextEvents(QByteArray& track, const QByteArray& text);
// The bytes of the whole file.
QByteArray VsqFileBytes(float tempo, const NoteArrays& notes);
// Writes the file at `path`, replacing an existing file only once the new one is complete; FileError or
// IoError when it cannot be written.
void WriteVsqFile(float tempo, const NoteArrays& notes, const QString& path);

}  // namespace tova
