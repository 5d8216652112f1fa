#pragma once

#include "core/clsMap.h"
#include "song/ProjectPaths.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace tova {

// The installed voice banks: every folder under the voice root that looks like a voice bank, then
// every bank registered in the `OtoList` setting, each with the values of its profile file.
//
// An entry of the list is six fields joined by TAB: list name, folder path, image, sample, author, web.
// List names are unique: a second bank with the same name is listed as the name followed by "(2)",
// the next "(3)", and so on.

// The list, in discovery order (indexes from 0).
QStringList& VoiceBankList();
// List name -> folder path.
clsMap& VoiceBankIndex();

// The parent folder of the installed voice banks is GetVoiceRoot (song/ProjectPaths.h).

// Rebuilds the list and the index and answers the number of entries. A voice root that does not
// exist adds nothing; a registered bank is added even when its folder does not exist. A registered
// line without a TAB names no folder and is skipped.
int32_t LoadVoiceBankList();

// Reads the profile of `parent` + `folder` (parent ends with a separator) and appends one entry. The
// list name is the profile's display name, else `displayName`, else the folder name, made unique.
void AddVoiceBankEntry(const QString& parent, const QString& folder, const QString& displayName);

// Reads the profile file of a voice-bank folder: "character.txt", or in its absence "charactar.txt",
// then "charactor.txt" (letter case on disk does not matter). The display name and the image are
// cleared first; sample, author and web keep the caller's values unless the file sets them; the
// description is only appended to. An "alias" line names another folder whose profile is read in
// place of this one: `folder` is then replaced by it. A chain of aliases that comes back to a folder
// already read stops there. A profile that cannot be read shows a warning and keeps what was read.
void ReadCharacterTxt(QString& folder, QString& name, QString& image, QString& sample, QString& author,
                      QString& web, QString& description);

// The lines of one profile file into the outputs (the keys name, image, sample, author, web and
// alias, and the "名前：" style lines; other lines with a colon are appended to the description, each
// followed by CR LF). Fields the lines do not set keep their values; the alias is not followed.
void ReadCharacterLines(const QStringList& lines, QString& alias, QString& name, QString& image, QString& sample,
                        QString& author, QString& web, QString& description);

}  // namespace tova
