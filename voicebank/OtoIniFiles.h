#pragma once

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

// What reading gave: the entries, and the files that did not decode cleanly (a byte sequence that is
// not code page 932 became U+FFFD); the manager refuses to write those back.
struct OtoReadResult {
    QStringList entries;
    QStringList uncleanFiles;
};

// Reads with `selector` "RELOAD" the voice folder's oto.ini and those of its direct sub-folders (names
// of a sub-folder's entries prefixed by the sub-folder and "\"), with any other selector the one
// oto.ini at that path. Nothing is created on disk. A file that exists but cannot be read raises
// FileError or IoError.
OtoReadResult ReadOtoIni(const QString& voiceFolder, const QString& selector);

// How saving ended.
struct OtoSaveResult {
    enum Status { Saved, NoFolder, Refused };
    Status status = Saved;
    QString message;  // why a save was refused, for the user
    QStringList written;  // the files written, in the order of their first row
};

// Writes the rows to oto.ini files. `base` is the voice folder the list shows; `target` is the file to
// write, or empty for base's own oto.ini. Writing to base's own oto.ini (sub-folder mode) sends each row
// whose name has a sub-folder part naming an existing folder of the bank to that sub-folder's oto.ini,
// under the name without the part; rows of one sub-folder reach its file wherever they stand in the
// list. Any other target receives every row under its full name.
//
// A row whose overlap is empty and whose pre-utterance is not gets the overlap half the rounded
// pre-utterance (halves to even, then divided toward zero); the row itself takes the value too.
// Every line is "name=alias,offset,consonant,cutoff,preutterance,overlap" and CR LF, texts unchanged.
//
// Nothing is written when `base` is empty (NoFolder), when a text cannot be written in code page 932 or
// would break its line (a "=" anywhere, a "," in a value, a line break),
// when a file to be replaced is among `uncleanFiles` (it did not decode cleanly when it was read) or
// when any file cannot be written (Refused, with the message). Each file is replaced whole, only once its
// new contents are complete; a file that cannot be replaced keeps its old contents.
OtoSaveResult SaveOtoIni(QList<SampleRow>& rows, const QString& base, const QString& target,
                         const QStringList& uncleanFiles = {});

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
