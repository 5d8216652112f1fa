#pragma once

#include <QObject>
#include <QString>

namespace tova {

// The voice-bank tools: the profile dialog of a voice bank.
class VoiceToolsPort {
public:
    virtual ~VoiceToolsPort() = default;
    // Shows the profile modally; true when its register button was pressed.
    virtual bool ShowVoiceProperty(const QString& voiceDir, const QString& caption, bool registerButton,
                                   QObject* owner) = 0;
};

}  // namespace tova
