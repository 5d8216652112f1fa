#pragma once

#include "voicebank/Tool2Calls.h"
#include "voicebank/VoiceBankToolSet.h"
#include "voicebank/VoiceBankToolsView.h"

#include <functional>

namespace tova {

class frmVoicesetManager;

// The voice-bank manager's tools in the running program: tool 2 of the program folder and the
// windows of the timing editor, the frequency-table editor and the batch generator over the manager's
// window (whose progress panel shows the in-process frequency-table runs).
class QtVoiceBankTools : public VoiceBankToolsView {
public:
    // `window` answers the manager's window while it exists.
    explicit QtVoiceBankTools(std::function<frmVoicesetManager*()> window, Tool2Calls* tool = nullptr);
    VoiceBankManagerTools& tools() { return set_; }

    void beginRun(int count) override;
    void advance(int done) override;
    void endRun() override;
    void showFreqGenerator(const QString& voiceFolder) override;
    bool loadFreqFile(const QString& samplePath) override;
    int editEntry(VoiceBankManager& manager, int row) override;

private:
    void setControlsEnabled(bool on);

    std::function<frmVoicesetManager*()> window_;
    ProgramTool2Calls programTool_;
    Tool2Calls& tool_;
    VoiceBankToolSet set_;
};

}  // namespace tova
