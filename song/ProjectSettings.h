#pragma once

#include <QString>

namespace tova {

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
