#pragma once

#include "voicebank/KeptTextFile.h"
#include "voicebank/SampleRow.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

namespace tova {

// The voice-bank manager's own reading and writing of oto.ini.
//
// oto.ini is code page 932 text, one entry a line: file name, "=", then alias, offset, consonant,
// cutoff, pre-utterance and overlap separated by ",". A line must hold exactly one "=". A bank keeps one
// oto.ini in its folder and may keep one in each direct sub-folder; the row sub\ka.wav is stored as
// ka.wav in the oto.ini of sub.
//
// In memory an entry is the file name, then (when the text after "=" is not empty) TAB and the fields
// joined by TAB. A folder without oto.ini contributes its ".wav" files (its ".aiff" files when it has
// none), each as the name followed by one TAB.
//
// Banks are kept for years and under version control, so the files read are kept line by line
// (KeptTextFile) and each entry knows the line it came from: saving changes only the lines of edited
// entries, removes the lines of removed ones and appends new ones, and leaves every other byte alone.

// What reading gave: the entries, where each came from, and the files read.
struct OtoReadResult {
    QStringList entries;
    QList<OtoOrigin> origins;  // one per entry; file indexes count in `files`
    QList<KeptTextFile> files;
};

// Reads with `selector` "RELOAD" the voice folder's oto.ini and those of its direct sub-folders (names
// of a sub-folder's entries prefixed by the sub-folder and "\"), with any other selector the one
// oto.ini at that path. A sample a folder lists without oto.ini that an entry already names (in any
// letter case) is not listed again. Nothing is created on disk. A file that exists but cannot be read
// raises FileError or IoError.
OtoReadResult ReadOtoIni(const QString& voiceFolder, const QString& selector);

// Adds the sub-folder files of the voice folder to a result, as "RELOAD" reads them.
void ReadOtoSubFolders(const QString& voiceFolder, OtoReadResult& out);

// How saving ended.
struct OtoSaveResult {
    enum Status { Saved, NoFolder, Refused };
    Status status = Saved;
    QString message;  // why a save was refused, for the user (empty when the user chose not to save)
    QStringList written;  // the files written
};

// Writes the rows to oto.ini files. `base` is the voice folder the list shows; `target` is the file to
// write, or empty for base's own oto.ini; `files` are the files the rows were read from.
//
// Saving to base's own oto.ini: a row read from a line whose values were not changed leaves its line
// alone; a changed one rewrites only its own line in the file it came from (the file name as written
// and any fields after the sixth kept); the line of an entry whose row was removed goes. Rows no line
// gave are appended: a copy to its source's file, a sample found in the folder (only once it has a
// value) to the oto.ini of the direct sub-folder its name begins with, else to base's own oto.ini.
// Lines no entry came from (comments, blank and broken lines) stay. A file whose bytes would not
// change is not written, so an unedited bank is not touched and no file is created for it.
// Any other target receives every row under its full name, in the order of the files and lines they
// came from, then the rest in list order, as a new code page 932 file with CR LF line ends.
//
// A row whose overlap is empty and whose pre-utterance is not gets the overlap half the rounded
// pre-utterance (halves to even, then divided toward zero) when its line is written; the row takes it.
//
// Nothing is written when `base` is empty (NoFolder), when a text to be written cannot be held by its
// file's encoding or would break its line (a "=" anywhere, a "," in a value, a line break), when an
// edited line had bytes that did not decode, when a file changed on disk since it was read and the user
// does not want it overwritten (asked through the message box), or when any file cannot be written
// (Refused, with the message). The files are replaced as a set (FileSetCommit): all or none.
OtoSaveResult SaveOtoIni(QList<SampleRow>& rows, const QString& base, const QString& target,
                         const QList<KeptTextFile>& files);

// The entries of a folder in listing order: its files and its direct sub-folders (without "." and "..").
void ListFolder(const QString& folder, QStringList& files, QStringList& folders);

// The path of a row's sample in the voice folder, or "" when the name is empty, absolute or steps
// outside the folder with a ".." part: such a name counts as a missing sample.
QString SampleFilePath(const QString& voiceFolder, const QString& name);

// The frequency-table file of a sample path: the path with ".frq" appended, where ".wav.frq" becomes
// "_wav.frq" (a.wav has a_wav.frq, a.aiff has a.aiff.frq).
QString FrqFilePath(const QString& samplePath);

// The frequency-table mark of a row's name: "○" when the table exists, else `none`.
QString FrqMark(const QString& voiceFolder, const QString& name, const QString& none = QString());

// The frequency-table marks of many rows at once: each folder of the bank is listed once (a mark per
// row would otherwise look through the folder for every row of a large bank).
class FrqMarks {
public:
    explicit FrqMarks(const QString& voiceFolder) : folder_(voiceFolder) {}
    QString mark(const QString& name, const QString& none = QString());

private:
    QString folder_;
    QHash<QString, QSet<QString>> tables_;  // folder part as written -> lower-case names of its ".frq" files
};

// The sort key of a file name: the code of its first character in code page 932 as four upper-case
// hexadecimal digits (a double-byte character gives its two-byte code, "82A0" for あ), then the name.
QString RowSortKey(const QString& name);

// True when every character of the text can be written in code page 932.
bool Cp932CanHold(const QString& text);

}  // namespace tova
