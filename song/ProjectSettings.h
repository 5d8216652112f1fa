#pragma once

#include <QString>
#include <QtGlobal>

namespace tova {

// What a reader keeps of one settings value (a name or a path): far beyond any real path, and a bound
// on what a damaged or hostile file can make the program hold and show.
inline constexpr qsizetype ProjectValueLimit = 4096;

// The settings section of a project file, as written and as read.
struct ProjectSettings {
    QString ProjectName;
    QString VoiceDir;
    QString OutFile;
    QString CacheDir;
    QString Tool1;
    QString Tool2;
    QString Flags;
    float Tempo = 120.0f;
    bool Mode2 = false;
};

}  // namespace tova
