#pragma once

#include "voicebank/VoiceBankManagerPort.h"
#include "voicebank/ui/frmVoicesetManager.h"

#include <QPointer>

namespace tova {

class VoiceBankManagerTools;

// The voice-bank manager of the running program: one frmVoicesetManager, made on first use and kept
// (hidden) until it is unloaded.
class QtVoiceBankManager : public VoiceBankManagerPort {
public:
    explicit QtVoiceBankManager(VoiceBankManagerTools* tools = nullptr) : tools_(tools) {}
    ~QtVoiceBankManager() override;
    bool ShowDialog(const QString& voiceFolder, const QString& name1, const QString& name2, const QString& cacheFolder,
                    const QString& tool2Path, bool quickOpen, QObject* owner) override;
    void Unload() override;
    // The window while it exists (null before the first use and after an unload).
    frmVoicesetManager* window() const { return form_; }

private:
    VoiceBankManagerTools* tools_;
    QPointer<frmVoicesetManager> form_;
};

}  // namespace tova
