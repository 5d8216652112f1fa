#pragma once

#include "song/ProjectSettings.h"

#include <QString>
#include <QStringList>

namespace tova {

class Song;

// How a project file stores its paths, and which folders go with a project: the one place for these
// rules. Save stores each path relative to the place it lies in, so that the project can move with its
// folder, with the program and between machines; open (and the project settings dialog) makes the
// stored form usable again. The renderers and the save and open commands take the cache folder from
// here.

// The parent folder of the installed voice banks, ending with a separator: the `VoiceRoot` setting,
// or "voice/" under the program folder when that is empty. A stored "%VOICE%" stands for it.
QString GetVoiceRoot();

// True when a path names a place by itself (a root, a drive or a network path); false for a path
// relative to some folder.
bool IsRootedPath(const QString& path);

// The voice folder as stored, first rule that applies (prefix tests are case-sensitive):
// - inside the home folder: "%HOME%" and the rest of the path (also when it lies in the voice root);
// - inside the voice root: "%VOICE%" and the rest after the voice root;
// - outside the program folder, and exactly one entry of the voice-bank list has this folder: "*" and
//   that entry's name;
// - inside the program folder: the path relative to it;
// - otherwise the folder unchanged.
QString StoredVoiceFolder(const QString& voiceDir, const QStringList& voiceBankList);
// The voice folder a project file stores, made usable: "*" and a bank's name (also the name and
// "*") gives that bank's folder from the voice-bank list (the bare name when it is not listed);
// "%HOME%" and "%VOICE%" are replaced by the home folder and the voice root; any other relative
// path is taken in the program folder.
QString ResolveVoiceFolder(const QString& stored, const QStringList& voiceBankList);

// A tool path as stored: relative to the program folder when it lies inside it, else unchanged.
QString StoredToolPath(const QString& tool);
// A stored tool path made usable: a relative path is taken in the program folder.
QString ResolveToolPath(const QString& stored);

// The output file or cache folder as stored: relative to the project's folder when it lies inside it
// (only for a project path with a folder), else unchanged.
QString StoredProjectRelative(const QString& path, const QString& projectPath);
// A stored output file or cache folder made usable: a relative path is taken in the project's folder
// (unchanged for a project path without a folder).
QString ResolveProjectRelative(const QString& stored, const QString& projectPath);

// The settings section of the project file at `projectPath`: the song's values with the rules above.
ProjectSettings StoredProjectSettings(const Song& song, const QString& projectPath, const QStringList& voiceBankList,
                                      bool mode2);

// The cache folder that goes with a file's path without its extension (or any other base path):
// the base followed by ".cache".
QString CacheFolderFor(const QString& base);
// The cache folder of a project file: its folder, its base name with every "^" removed, ".cache".
QString ProjectCacheFolder(const QString& projectPath);

}  // namespace tova
