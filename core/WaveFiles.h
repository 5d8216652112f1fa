#pragma once

#include "core/FrqHeader.h"
#include "core/WaveHeader.h"

#include <QString>
#include <QVector>

class QIODevice;

namespace tova {

// Sample files (RIFF/WAVE and AIFF) and their frequency tables (".frq").
//
// Every path goes through FileSystem::resolve, so "\" separators and loosely spelled letter case in
// names taken from voice banks are accepted.

// Frequency-table name of a sample: the path with ".frq" appended, where the ending ".wav.frq"
// becomes "_wav.frq" (exact case): "a.wav" -> "a_wav.frq", "a.aiff" -> "a.aiff.frq",
// "A.WAV" -> "A.WAV.frq".
QString FrqTableName(const QString& samplePath);
// Backup name of a table: a final ".frq" replaced by ".bak"; any other name gets ".bak" appended.
QString FrqBackupName(const QString& tableName);

// Reads the frequency table of a sample. False for an empty path, a table name holding "*", a table
// that is missing or empty, a header shorter than 40 bytes, a frame count outside 1..4095 (the header
// is filled all the same), frame data shorter than the count says, or values no voice has (a value that
// is no finite number, a frequency above 5000 Hz: see lean::FrqTable::voiceValues). On success `frames` holds
// 2 x count values: the frequency of frame i at 2i (0 = none found; 55.0 marks a frame without
// pitch), its second value at 2i + 1. `frames` is only replaced on success.
bool ReadFrqFile(FrqHeader& header, QVector<double>& frames, const QString& samplePath);

// Writes the frequency table of a sample. False for an empty path, a table name holding "*", a frame
// count outside 1..4095 or one that does not match `frames` (2 x count values), values ReadFrqFile
// refuses (a value that is no number, a frequency above 5000 Hz), or a failure to write. The table is written to a temporary file first; only when that is complete does an existing
// table become the one backup generation (".bak", an older backup is replaced) and the new table take
// its place, so a failed write leaves the old table untouched.
bool WriteFrqFile(const FrqHeader& header, const QVector<double>& frames, const QString& samplePath);

// Reads a RIFF/WAVE or AIFF file into the header and an array of 16-bit values (channels
// interleaved). Returns the number of values read. On every failure - a missing, truncated, empty or
// malformed file, an unsupported sample width - it returns 0, the header's sample rate and data size
// are 0 and `samples` holds one element of value 0. A read error of the device raises IoError.
qint32 ReadWaveFile(WaveHeader& header, QVector<qint16>& samples, const QString& path);

// The two readers over an open device (a file or a buffer of file bytes), positioned anywhere; the
// file functions above call them after their name and existence checks.
bool ReadFrqFrom(FrqHeader& header, QVector<double>& frames, QIODevice& device);
qint32 ReadWaveFrom(WaveHeader& header, QVector<qint16>& samples, QIODevice& device);

}  // namespace tova
