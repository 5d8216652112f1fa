#pragma once

#include "mainwindow/CoreServices.h"
#include "mainwindow/DefaultVoiceFiles.h"
#include "core/FileHelpers.h"

#include <QList>

namespace tova {

// The default-voice generator as the start-up checks it: the files that lie in the default voice folder
// with their stored digests, in the order they are checked (the batch first).
class DefaultVoiceGeneratorPort {
public:
    virtual ~DefaultVoiceGeneratorPort() = default;
    virtual QList<DefaultVoiceFile> files() = 0;
    // Runs the generator batch with the batch runner, in the voice folder (the current folder), and
    // returns when it has ended. Here: the runner's plain command line through the core services.
    virtual void Generate(CoreServices& core, const QString& batchRunner, const QString& batch) {
        core.shellAndWait(QuoteString(batchRunner) + u' ' + QuoteString(batch), 1);
    }
};

}  // namespace tova
