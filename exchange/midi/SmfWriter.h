#pragma once

#include "song/NoteArrays.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tova {

// Writing the song as a format 1 Standard MIDI File (division 480): a conductor track with the tempo,
// the time signature, the header lines as text events and one tempo event per note that carries a
// `tempo` option, and a voice track with the notes on channel 1.
//
// The mode chooses the variant:
// - "" (plain): every note parameter that the MIDI reader takes back: a text event of key=value pairs
//   (offset, mod, flag and the option list), a "pitch=" text event and the lyric (less every "?");
// - "TM": each syllable chosen by a program change from "songtm.cfg", with bank 50 selected;
// - "AQ": each syllable chosen by a controller-10 value from "aquestone.cfg", bend range 80.
// Mode-2 pitch data (a field holding "Q") also becomes pitch bends, one every 1/96 beat, clamped to
// 0..16383; velocities are the intensity held within 1..127 (0 or none gives 100).
//
// A sung note whose MIDI note number (note number + 24) lies outside 0..127 cannot be written: the
// whole export is refused with SmfNoteRangeError (naming the note) and nothing is written. Positions,
// not lengths, are rounded to file ticks, so every event lies within half a tick of where the song has
// it. The conductor's tempo events fall on the very ticks at which their notes start in the voice track.

// The lines of an export configuration file (CP932, lines of TAB-separated fields: the number sent,
// an unused field, a lyric prefix); empty when the file does not exist.
QStringList ReadExportConfig(const QString& path);
// "songtm.cfg" and "aquestone.cfg" of the program folder, read afresh on every call.
QStringList ReadSongtmConfig();
QStringList ReadAquestoneConfig();
// The number for a lyric: the configuration is scanned from its last line to its first; the first
// line of three or more fields whose third field begins the lyric gives its first field, rounded and
// held within 0..127 (a MIDI data byte). No match gives 0. The "AQ" variant first drops every "?" from
// the lyric.
quint8 ParseSongtmLine(const QStringList& config, const QString& lyric);
quint8 ParseAquestoneLine(const QStringList& config, const QString& lyric);

// The bytes of the file. `config` is the configuration of the mode ("TM", "AQ"); unused for plain.
// Empty for a song without notes.
QByteArray SmfFileBytes(float tempo, const QStringList& headerLines, const NoteArrays& notes, const QString& mode,
                        const QStringList& config);
// Writes the file at `path`, replacing an existing file only once the new one is complete. Does nothing
// for a song without notes. FileError or IoError when the file cannot be written.
void WriteSmfFile(float tempo, const QStringList& headerLines, const NoteArrays& notes, const QString& path,
                  const QString& mode);

// Replaces (or makes) the file at `path` with `bytes` in one step: FileError when it cannot be made,
// IoError when writing fails; an existing file is left as it was on failure.
void SaveExchangeFile(const QString& path, const QByteArray& bytes);

// The file tick (480 a beat) nearest to an internal position (1920 a beat), halves up. Positions, not
// lengths, are rounded: every event lies within half a file tick of where the song has it, however many
// lengths fall between the file's ticks, and a length of at least one file tick keeps at least one.
qint64 SmfFileTick(qint64 position);

// The tempo of the first "tempo=" of an extension string (its leading number), cut to hundredths; 0
// when there is none or it is not positive.
double SmfOptionTempo(const QString& ext);

// The microseconds per quarter note of a tempo, held within what a tempo event holds (1..2^24 - 1).
qint32 SmfTempoValue(double beatsPerMinute);

}  // namespace tova
