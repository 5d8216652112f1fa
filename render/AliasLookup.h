#pragma once

#include "render/PrefixMapRecord.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace tova {

// Turning a note's lyric into an oto record of the current voice bank, through the bank's prefix.map.
//
// prefix.map (CP932, in the voice folder): one line per note, note name ("C4"), TAB, prefix, TAB,
// suffix; missing fields are empty, further fields ignored, empty lines skipped. A lyric sung at a
// note gets that note's prefix and suffix; a lyric starting with "?" is taken literally.
//
// A lookup result ("fields") is a list of texts: when a record is found, eight slots - sample file
// (with extension and sub-folder), alias, offset, consonant, cutoff, pre-utterance, overlap and one
// spare; when nothing is found, seven empty slots. Slot 0 empty means "not found".

// The records of the loaded prefix.map in file order.
QList<PrefixMapRecord>& PrefixMapEntries();
// Note number -> record index. Its upper bound is the highest note the file names (at least 0); a
// slot the file does not name holds 0, so it uses the first record.
QList<int32_t>& PrefixMapIndex();

// Sets the prefix map to one empty record and one slot holding 0 (a bank without prefix.map).
void ResetPrefixMap();
// Returns to the state before any prefix map was set up: lookups then report that none is loaded.
void ForgetPrefixMap();

// Loads prefix.map of a voice folder and answers the number of records read (0 without the file or
// with an empty folder text; a file without records counts as no file).
// A line whose note name cannot be converted keeps its record but maps no note; of two lines naming
// the same note, the later wins. A file that cannot be read raises FileError or IoError.
int32_t LoadPrefixMap(const QString& folder);

// The name to look up for a lyric sung at a note: "?x" gives "x" ("?" alone gives "。"); otherwise
// prefix + lyric + suffix of the note's record, or the lyric unchanged for a note outside the map
// (above its highest note, or a negative note number). Without a prefix map set up it shows a
// message box and answers "".
QString ApplyPrefixMap(int32_t noteNum, const QString& lyric);

// The lyric that gives back an alias at a note: the alias without the prefix and suffix of the
// first record naming that note; "?" + the remaining text when the alias does not carry them (a
// literal lyric). The alias unchanged when no record names the note. Without a prefix map set up it
// shows a message box and answers "".
QString StripPrefixMap(int32_t noteNum, const QString& alias);

// Looks a name up by alias or file name, then as the name with ".wav", then with ".aiff"; a name not
// found that holds "/" is looked up again with "\" in their place (the sub-folder of a sample). On
// success `name` becomes the record's sample file without its ".wav" or ".aiff" ending (sub-folder kept).
QStringList FindOtoAlias(QString& name);

// The alias of the first record of a sample (name without extension), or the name itself when the
// sample has no record or its alias is empty.
QString GetSampleAlias(const QString& name);

// The full lookup of a note: the prefixed lyric, and when that has no record and the CheckVoiceFile
// setting is on, the lyric itself. Sets pre-utterance and overlap from the record (0 when none) and
// answers the fields padded to eight slots.
QStringList LookupNoteOto(int32_t noteNum, const QString& lyric, float& preutterance, float& overlap);

// Every alias (or sample name without ".wav"/".aiff") of the table whose first mora matches the
// lyric's, in table order; duplicates are kept.
QStringList FindAliasForLyric(const QString& lyric);

}  // namespace tova
