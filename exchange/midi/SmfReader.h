#pragma once

#include "exchange/midi/SmfHeader.h"
#include "song/NoteArrays.h"
#include "song/PitchText.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>

class QIODevice;

namespace tova {

class SmfFile;

// Reading Standard MIDI Files (format 0 and 1).
//
// A tempo list holds one text per tempo event: the event's absolute tick in file ticks, a blank and the
// tempo in microseconds per quarter note, in file order. A text list holds the text events (meta type 1)
// decoded from the system code page.
//
// Hostile files: every read is bounded by the file and by the declared length of its chunk; a short
// read, a chunk running past the end of the file, a division of 0 or less, a tempo of 0 and arithmetic
// that leaves 32 bits are format failures (SmfFormatError or OverflowError inside, the entry points'
// failure result outside). Running status starts afresh in every track.

// Note-on counts (velocity above 0) per MIDI channel 0..15 of one track chunk.
using SmfNoteCounts = std::array<qint32, 16>;

// The header chunk: "MThd", its length (6 or more; bytes beyond the six read are skipped), format,
// number of tracks and division. False, with the file closed, when the file does not start with "MThd"
// or the format is 2 or more. SmfFormatError for a header cut short, a length below 6 or a division of
// 0 or less; OverflowError for a field with its top bit set (SMPTE divisions included).
bool SmfReadHeader(SmfFile& file, SmfHeader& header);

// At the start of a track chunk: resets running status, reads "MTrk" and the chunk length and opens the
// chunk, so that reads stop at its declared end. False, with the file closed, when the file ends here or
// the four bytes are not "MTrk"; SmfFormatError when the header is cut short or the length runs past the
// end of the file.
bool SmfBeginTrack(SmfFile& file);

// The microseconds per quarter note of a tempo meta event's bytes (the first three, big-endian).
// SmfFormatError when there are fewer than three or the tempo is 0.
qint32 SmfTempoMicroseconds(const QByteArray& bytes);

// The tempo (beats per minute) of a tempo event's microseconds per quarter note, as a song takes it
// (ImportedTempo): a file can state 3.58 to 60,000,000.
float SmfTempoBpm(qint32 microseconds);
// The tempo of a tempo-list entry ("<tick> <microseconds>"), as SmfTempoBpm gives it.
float SmfTempoOfEntry(const QString& entry);

// A tempo-list entry's tick and microseconds per quarter note. SmfFormatError when the tick lies outside
// 0..2^31 - 1 or the tempo outside 1..2^31 - 1.
void SmfSplitTempoEntry(const QString& entry, qint32& tick, qint32& microseconds);

// Reads one event: its delta time (returned, file ticks) and its status, data bytes and, for system
// exclusive and meta events, its payload into `bytes` (empty for a zero length). A status byte becomes
// the running status; a data byte in its place reuses it. With no usable running status (none yet in
// this track, or a system or meta event last) it shows "Invalid status." and returns -1.
qint32 SmfReadEvent(SmfFile& file, quint8& status, quint8& data1, quint8& data2, QByteArray& bytes);

// Reads a whole track chunk from the current position: appends its tempo events to `tempos` and its
// text events to `texts`, sets the file's LastTrackName (empty when the chunk has none) and fills
// `counts`. Returns 0, or -1 when there is no "MTrk" chunk here (file closed), or the negative result of
// SmfReadEvent. Leaves the file at the chunk's end. With `rawTexts`, the text events' bytes are also
// appended there undecoded (texts cut into several events are joined before decoding).
qint32 SmfReadChunk(SmfFile& file, QStringList& tempos, QStringList& texts, SmfNoteCounts& counts,
                    QList<QByteArray>* rawTexts = nullptr);

// Finds `key` followed by "=" anywhere in the text; `value` receives what follows up to the next blank
// or the end. False, with `value` unchanged, when key and "=" do not occur.
bool GetTextKeyValue(const QString& text, const QString& key, QString& value);

// Pitch data (extension field 3) from pitch-bend points: entries "tick value" joined by ",", the tick
// in file ticks from the note's start, the value the 14-bit bend minus 8192. Samples the bend every
// 1/96 quarter note in cents (value x 100 x bendRange / 8192, rounded down to hundredths), the first
// followed by "Q" and the tempo ("0.00"), until every point has been used, then repeats the last value
// twice. Points later than `noteEnd` (file ticks) lie beyond the note and are dropped; no point or a
// single one gives the empty text. At most `maxValues` values are written (sampling stops early; fewer
// than three gives the empty text). A division of 0 or less raises SmfFormatError.
QString BuildPitchPointText(const QString& points, qint16 division, qint16 bendRange, float tempo, qint64 noteEnd,
                            qsizetype maxValues = MaxDecodedPitchValues);

// The track chooser's list: "1: " and the track's name for every readable track; for a format 0 file
// 16 entries "Channel1:5 notes" .. "Channel16:0 notes" instead. Empty for a file that is not a readable
// format 0/1 file. A file that cannot be opened raises FileError. With `noteCounts`, it receives the
// number of notes of every entry (of the track, or of the channel), in the same order.
QStringList ListSmfTracks(const QString& path, QList<qint32>* noteCounts = nullptr);
QStringList ListSmfTracks(QIODevice& device, QList<qint32>* noteCounts = nullptr);

// Imports track `trackNo` (format 1) or MIDI channel `trackNo` 1..16 (format 0) into the note arrays
// from index `count` on. Returns the new note count (also stored in `count`), or -1 for a file that is
// not a readable format 0/1 file or a malformed track; on failure the arrays, `count` and `tempo` are
// left as they were. `tempo` (beats per minute) comes in as the project tempo and goes out as the
// file's first tempo; it stays when the file has no tempo event or when the tempo list was started from
// it (format 1 with no tempo in track 1, or track 1 chosen).
qint32 ImportSmfTrack(const QString& path, qint16 trackNo, qint32& count, float& tempo, NoteArrays& notes);
qint32 ImportSmfTrack(QIODevice& device, qint16 trackNo, qint32& count, float& tempo, NoteArrays& notes);

// Reads back a file of the plain export: `texts` receives the text events of the first track (and of the
// second when there are more than two tracks), `tempo` the first tempo of the first track (unchanged
// when it has none), and the next track is converted into notes from index 0 on (`channel` 1..16, or 0
// for all channels). Returns the note count: 0 when the file ends after the first track or the second
// cannot be read, -1 for a file that is not a readable format 0/1 file; on -1 nothing is changed.
qint32 ReadSmfFile(float& tempo, QStringList& texts, NoteArrays& notes, const QString& path, int channel = 0);
qint32 ReadSmfFile(float& tempo, QStringList& texts, NoteArrays& notes, QIODevice& device, int channel = 0);

}  // namespace tova
