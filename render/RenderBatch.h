#pragma once

#include <QString>

#include <cstdint>

namespace tova {

class Song;
class MissingSampleMarks;
class MissingSamples;

// The render batch: two command batch files that render a range of notes through the external tools.
//
// The render batch ("temp.bat" by default) sets each note's parameters as batch variables and then
// either calls the per-note batch (its base name followed by "_helper.bat") or runs tool 1 directly;
// the per-note batch runs tool 2 for one note (reusing a cached rendering when there is one) and tool 1
// to append the note to the output's two parts, the output name with ".whd" and with ".dat" appended,
// which the end of the render batch joins into the output wave file. Both files are CP932 text with
// CR LF line ends; a file that holds a character CP932 lacks (a path or lyric) is written whole in UTF-8
// after the byte-order mark EF BB BF instead. The batch is run with its own folder as the current folder.
//
// Number formats: "plain" is the shortest text of a single-precision value; lengths and oto times use
// "0.0###"; the length of a note in the tick form is ticks (480 a quarter note), "@", the tempo as
// "0.00#" and a millisecond correction as "+.0##;-.0##" (for example "480@120.00+30.0").

// Derives the cache folder and the batch path from a project path and writes the whole song:
// - "" : cache "temp.cache" and batch "temp.bat" in the temporary folder;
// - ".tvx" or ".wsq" (any letter case): cache beside the project with ".cache" in place of the
//   extension, batch "temp.bat" in the temporary folder;
// - ".bat": that batch itself, cache with ".cache" in place of ".bat";
// - anything else: the path followed by ".cache" and by ".bat".
// An empty project name becomes the project file's name (and the caption is refreshed); an output name
// without ".wav" gets it appended. `path` comes back as the batch path; the song keeps the cache folder,
// project name and output name set here.
void GetRenderFileNames(Song& song, QString& path, MissingSampleMarks* marks = nullptr,
                        MissingSamples* missing = nullptr);

// Writes the render batch at `batchPath` (a full path) and the per-note batch beside it for notes
// first..last. Nothing is written when both are -1 or first lies after the last note; any other negative
// first raises InvalidCallError before anything is written. An empty output name becomes the batch's
// base name with ".wav" and is written back. The notes' `expression` and `pitches` options are
// consumed; with the song's mode-2 switch on, each sung note's mode-2 pitch curve is computed first. Every
// note is planned and every value checked (render/RenderValueCheck.h) before anything is written or
// deleted: a value that would break its batch line raises RenderValueError and leaves the disk as it
// was. Older per-note batches of the same base name are deleted. A failure to write raises FileError
// or IoError after keeping what was written so far.
void WriteRenderBatch(Song& song, const QString& projectName, const QString& batchPath, int32_t first, int32_t last,
                      QString& outputName, MissingSampleMarks* marks = nullptr,
                      MissingSamples* missing = nullptr);

// The length of a note in the tick form: the internal length divided by 4 (fraction dropped), "@", the
// tempo ("0.00#") and the correction in ms ("+.0##;-.0##").
QString TickLengthSpec(int32_t internalTicks, float tempo, double correction);

}  // namespace tova
