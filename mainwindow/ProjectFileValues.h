#pragma once

#include "song/ProjectSettings.h"

#include <QString>
#include <QStringList>

namespace tova {

class Song;

// The setting values that a project file stores, written so that the project can move with its folder,
// with the program and between machines: each value is made relative to the place it lies in, and the
// file-open dispatch makes it usable again when the project is read.

// The voice folder as stored, first rule that applies (prefix tests are case-sensitive):
// - inside the home folder: "%HOME%" and the rest of the path (also when it lies in the voice root);
// - inside the voice root: "%VOICE%" and the rest after the voice root;
// - outside the program folder, and exactly one entry of the voice-bank list has this folder: "*" and
//   that entry's name;
// - inside the program folder: the path relative to it;
// - otherwise the folder unchanged.
QString StoredVoiceFolder(const QString& voiceDir, const QStringList& voiceBankList);
// A tool path as stored: relative to the program folder when it lies inside it, else unchanged.
QString StoredToolPath(const QString& tool);
// The output file or cache folder as stored: relative to the project's folder when it lies inside it
// (only for a project path with a folder), else unchanged.
QString StoredProjectRelative(const QString& path, const QString& projectPath);
// The settings section of the project file at `projectPath`: the song's values with the rules above.
ProjectSettings StoredProjectSettings(const Song& song, const QString& projectPath, const QStringList& voiceBankList,
                                      bool mode2);

}  // namespace tova
