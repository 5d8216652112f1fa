#pragma once

#include "core/clsMap.h"
#include "platform/Cp932Lines.h"

#include <QString>
#include <QStringList>

namespace tova {

// The oto.ini table of the current voice bank.
//
// oto.ini (in the voice folder and optionally in each direct sub-folder) is CP932 text, one record a
// line: sample file, "=", then alias, offset, consonant, cutoff, pre-utterance and overlap separated
// by ",". A line without "=" or with more than one "=" is ignored.
//
// Each accepted record becomes one entry of `OtoTable`: its fields joined by TAB (file first). A
// record of a sub-folder's oto.ini has its file written as the sub-folder, "\", file name: "\" is the
// sub-folder mark of sample names, as banks and projects made on Windows write them (the file-system
// layer opens such names). Readers split an entry at TAB and pad it to eight slots.
//
// `OtoIndex` maps each record's file field and its (non-empty) alias to the decimal index of the
// entry; the first record with a given key wins.

// What one oto.ini may hold: several times the largest banks in use (33,000 entries in about 2 MB),
// and little enough to load in well under a second. A larger file is refused whole, with a message
// naming it, by both readers of oto.ini (this table and the voice-bank manager).
inline constexpr TextFileBounds kOtoIniBounds{qint64(8) << 20, 100000, 4096};

// Entry i of the table; one empty entry when the table is empty.
QStringList& OtoTable();
// File or alias -> entry index as decimal text.
clsMap& OtoIndex();
// True when the table holds exactly one entry and that entry is empty (nothing loaded).
bool OtoTableIsEmpty();

// Loads the table of a voice folder (path without a final separator), replacing the previous one:
// the folder's oto.ini, then the oto.ini of each direct sub-folder in listing order. A folder (or
// sub-folder) without oto.ini contributes its ".wav" files (its ".aiff" files when it has no ".wav"),
// each as the name followed by one TAB, without index keys. Shows progress through the installed
// OtoLoadHost and, unless the NoOtoReport setting is on, the consistency report when it is not empty.
// An empty folder text loads no bank. A file that cannot be opened or read, or one beyond
// kOtoIniBounds, raises FileError or IoError and leaves the table empty.
// A save of the bank's files that was killed half way is settled first (RecoverOtoSave), so the table
// never holds a mix of old and new files.
void LoadOtoIni(const QString& folder);

// The journal a save of a voice folder's oto.ini files keeps while it replaces them as a set
// (FileSetCommit).
QString OtoSaveJournal(const QString& voiceFolder);

// Completes or cleans what a save of the voice folder's oto.ini files (its own and those of its direct
// sub-folders) that was killed half way left behind.
void RecoverOtoSave(const QString& voiceFolder);

// Makes the table empty (one empty entry) and resets the prefix map to one empty record and one slot
// holding 0. The index keeps its keys; lookups do not consult it while the table counts as empty.
void ClearOtoTable();

// The report lines of one entry (each ended by CR LF), "" when there is nothing to report or the
// entry has fewer than seven fields.
QString CheckOtoEntry(const QString& entry);

// The sample files of a voice folder (".wav" and ".aiff", any letter case), then those of each
// direct sub-folder written as the sub-folder, "\", file name (".wav" files before ".aiff" files).
QStringList ListVoiceWaves(const QString& folder);

}  // namespace tova
