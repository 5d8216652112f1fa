#pragma once

#include "mainwindow/DefaultVoiceGeneratorPort.h"

namespace tova {

// The default-voice generator the program ships.
class ProgramDefaultVoiceGenerator : public DefaultVoiceGeneratorPort {
public:
    QList<DefaultVoiceFile> files() override { return DefaultVoiceFiles(); }
};

}  // namespace tova
