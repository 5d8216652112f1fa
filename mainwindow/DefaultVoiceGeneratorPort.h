#pragma once

#include "mainwindow/DefaultVoiceFiles.h"

#include <QList>

namespace tova {

// The default-voice generator as the start-up checks it: the files that lie in the default voice folder
// with their stored digests, in the order they are checked (the batch first).
class DefaultVoiceGeneratorPort {
public:
    virtual ~DefaultVoiceGeneratorPort() = default;
    virtual QList<DefaultVoiceFile> files() = 0;
};

}  // namespace tova
