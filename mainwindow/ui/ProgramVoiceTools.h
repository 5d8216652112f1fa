#pragma once

#include "commands/VoiceToolsPort.h"

namespace tova {

// The voice-bank tools of the program: the profile dialog.
class ProgramVoiceTools : public VoiceToolsPort {
public:
    bool ShowVoiceProperty(const QString& voiceDir, const QString& caption, bool registerButton, QObject* owner) override;
};

}  // namespace tova
