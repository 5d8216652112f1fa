#pragma once

#include <QString>
#include <QStringList>

namespace tova {

class ProjectWindow;
class VoiceBankAccess;

// Reads a render batch file ("temp.bat" and its kin, as the render batch writer makes them) back into
// notes: a header of "@set" lines and, per sung note, "@set params=", an optional "@set flag=", further
// "@set" lines and the "call %helper%" line; per rest one direct tool line. Every other line is
// skipped. Lines are CP932 text; CR LF, a lone LF or a lone CR ends a line.
//
// What the writer encodes is undone so that a song written and read back is the same song: quoted
// sample paths are read whole (blanks included), the flags lose their quotes, their "/E" escapes and
// the project flags the writer appended, the velocity of "@set vel=" takes the velocity scaling off
// the pre-utterance, overlap and start point, an envelope or start point the writer left out because
// it equals the previous note's is carried over, and a batch variable of the note's own ("@set name=")
// comes back as its "@name" option. Lengths given in milliseconds are turned into ticks at the tempo in
// force (the project tempo until the first tempo line), rounded to a 48th of a beat; the part of a note
// that the writer gave to the next note's pre-utterance comes back at the tempo of that note.
//
// A hostile file claims no more than it holds: each header value is kept up to ProjectValueLimit
// characters, and pitch text expands to no more values than its note can use (PitchValuesForLength)
// and the whole file to no more than MaxPitchValuesPerFile. Only a regular file is read.
class RenderBatchReader {
public:
    RenderBatchReader(ProjectWindow& window, VoiceBankAccess& voices);

    // Replaces the song by the file's notes and takes the project settings (name, tempo, voice folder,
    // tool paths, output, flags) from its header. The caller has started a new project. A file that
    // cannot be read raises FileError or IoError.
    void ReadBatchNotes(const QString& path);
    // Appends the file's notes after the current notes; of the header only the tempo lines count.
    // Notes that were there before are never changed. An unexpected failure is shown in a message box
    // ("予期せぬエラー") and ends the reading; the notes read so far stay.
    // False when the file could not be read (said in a message).
    bool AppendBatchNotes(const QString& path);

    // The same two readings from the file's lines.
    void readLines(const QStringList& lines, bool append);

    // A batch line split at blanks, a double-quoted part (with its quotes) counting as one word; padded
    // with empty words to at least `minWords`.
    static QStringList splitWords(const QString& line, int minWords);
    // The sample name that a sample word of a tool line names: without its quotes, without the "%oto%\"
    // (or voice folder) in front and without its extension; a sub-folder stays.
    static QString sampleName(const QString& word, const QString& voiceDir);
    // A duration in milliseconds as a note length in ticks at a tempo: rounded to a 48th of a beat
    // (1920 ticks a beat). A tempo of 0 or less cannot convert and gives 0.
    static qint32 msToTicks(double ms, double tempo);

private:
    struct State;
    QStringList refused_;  // the note variables the last reading left out (they name the render's programs or paths)
    qsizetype readNoteGroup(const QStringList& lines, qsizetype i, State& st);
    qsizetype readOlderNoteGroup(const QStringList& lines, qsizetype i, State& st);
    void readRest(const QString& line, State& st);
    QString readFlags(const QString& text) const;
    double tempoFor(const State& st) const;

    ProjectWindow& window_;
    VoiceBankAccess& voices_;
};

}  // namespace tova
