#pragma once

#include <QString>
#include <QStringList>

namespace tova {

// The extension string of a note: six TAB-separated fields.
//   0  pre-utterance, overlap and velocity joined by ":" (an empty part means "not set")
//   1  intensity (decimal integer)
//   2  modulation (decimal integer)
//   3  pitch data (blank-separated numbers; current-kind data has "Q" and the tempo after its first value)
//   4  flags (letters each followed by an optional signed number)
//   5  option list: entries key "=" value, separated by the two characters backslash and "n"
// Readers treat the string as exactly six fields (missing ones empty, extra ones ignored); every setter
// rebuilds it from exactly six fields. Keys are compared exactly; the first entry of a key wins.
// None of these accessors fails.

// The two-character separator of option entries (backslash, "n"; not a line break).
inline const QString& OptionSeparator() {
    static const QString s = QStringLiteral("\\n");
    return s;
}

constexpr int ExtFieldCount = 6;
enum ExtField { ExtTiming = 0, ExtIntensity = 1, ExtModulation = 2, ExtPitches = 3, ExtFlags = 4, ExtOptions = 5 };

// The six fields of an extension string.
QStringList SplitNoteExt(const QString& ext);
// The fields joined by TAB, cut or padded to six.
QString JoinNoteExt(QStringList fields);
// Field `index` (0..5) of an extension string.
QString NoteExtField(const QString& ext, int index);

// Value of the first option entry with this key, "" when there is none.
QString GetNoteOption(const QString& ext, const QString& key);
// The same lookup on a bare option list.
QString GetListValue(const QString& list, const QString& key);
// Sets, appends or (with an empty value) removes the entry of a key in field 5; the string comes back
// in its six-field form.
void SetNoteOption(QString& ext, const QString& key, const QString& value);
// Sets the first entry of a key (commas in the value become blanks), appends it when absent, or with an
// empty value removes the first entry of the key (an absent key leaves the list as it is).
void SetListValue(QString& list, const QString& key, const QString& value);

// Every option entry whose first character is "@", each followed by CR LF, in list order.
QString GetNoteAtEntries(const QString& ext);
// For every option entry whose first character is "@": its key, "=", CR LF.
QString GetNoteAtKeys(const QString& ext);

// Replaces the pre-utterance and overlap parts of field 0 (an empty text clears a part); the velocity
// part stays. Field 0 always holds three ":"-separated parts afterwards.
void SetNotePreOverlap(QString& ext, const QString& pre, const QString& overlap);
// Fields 1 and 2 become the two integers in decimal, field 4 the flags text.
void SetNoteIntensityModFlags(QString& ext, qint16 intensity, qint16 modulation, const QString& flags);

// The signed number that follows the first occurrence of a flag letter ("B50g-10Y0", "g" gives "-10");
// "" when the letter is empty or absent or no number follows.
QString GetFlagValue(const QString& flags, const QString& letter);
// Removes that flag with its number from the flags text and returns the removed text ("g-10"); "" and
// no change when the letter is empty or absent.
QString CutFlag(QString& flags, const QString& letter);

}  // namespace tova
