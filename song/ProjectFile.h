#pragma once

#include "song/NoteArrays.h"
#include "song/ProjectSettings.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tova {

// The project file (".tvx"): text in code page 932 (or, when it holds a character that code page lacks,
// the whole text in UTF-8 after the byte-order mark EF BB BF; the reader takes both), CR LF line ends, a "[#SETTING]" section, one section
// per note headed "[#" index "]" (four digits at least) and "[#TRACKEND]". Inside a section every line
// is key "=" value; only the text between the first and a second "=" is the value. Numbers use ".".

// The whole file text for these settings and notes.
QString ProjectFileText(const ProjectSettings& settings, const NoteArrays& notes);
// Writes the project file. The text goes to a temporary file beside the target that then replaces it, so
// a failed save leaves the old file as it was; failures raise FileError or IoError.
void WriteProjectFile(const QString& path, const ProjectSettings& settings, const NoteArrays& notes);

// Reads a project file. Settings that the file names overwrite those in `settings` (the mode-2 flag is
// cleared first; a tempo of 0 afterwards becomes 120). Notes are stored from `index` on, the arrays being
// sized to end with the last note read; on return `index` is the index after the last note read, which is
// also the result. A file that cannot be opened raises FileError; a settings line that holds one of the
// settings keys without "=" raises TovaError (the notes read so far stay); a negative index raises
// InvalidCallError. Only a regular file is read (a pipe or device raises FileError without waiting).
// What a hostile or damaged file can claim is bounded: a settings value is kept up to 4096 characters
// (the flags up to 1024), a note's pitch list up to what the note can use (PitchValuesForLength) and
// all pitch lists of the file together up to MaxPitchValuesPerFile. A tempo, of the song or of a
// note, that ReadableTempo refuses keeps the value in force. A note option that would set one of the
// render's program or path variables, or a variable without a plain name or an "=" (see
// song/ReservedNoteVariables.h), is not taken. Each such event, and text that does
// not decode cleanly, adds a line to `problems` (when given) naming the line of the file.
qint32 ReadProjectFile(const QString& path, ProjectSettings& settings, qint32& index, NoteArrays& notes,
                       QStringList* problems = nullptr);
// The same from the decoded file text.
qint32 ReadProjectText(const QString& text, ProjectSettings& settings, qint32& index, NoteArrays& notes,
                       QStringList* problems = nullptr);

// One note section: the header "[#" header "]" and the lines of the note, each ending with CR LF.
QString FormatNoteSection(const QString& header, qint32 length, const QString& lyric, qint32 noteNum,
                          const QString& ext);
// Applies the lines of one note section (separated by CR LF, LF, CR or backslash-n; the header line may
// be included) to a note. Keys that are absent or whose values are rejected leave the note's values.
// An option that would set a batch variable a note must not set, or one without a plain name or an "="
// (song/ReservedNoteVariables.h), is not taken; its key is added to `refused` when given.
void ParseNoteSection(const QString& text, qint32& length, QString& lyric, qint32& noteNum, QString& ext,
                      QStringList* refused = nullptr);

}  // namespace tova
