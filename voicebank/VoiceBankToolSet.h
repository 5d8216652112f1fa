#pragma once

#include "voicebank/FreqTableCommands.h"
#include "voicebank/VoiceBankManagerTools.h"

namespace tova {

class Tool2Calls;
class VoiceBankToolsView;

// The voice-bank manager's tools built apart from it: the timing editor, the parameter estimation and
// the frequency-table commands, over tool 2 and the manager window's view.
class VoiceBankToolSet : public VoiceBankManagerTools {
public:
    VoiceBankToolSet(Tool2Calls& tool, VoiceBankToolsView& view) : view_(view), freq_(tool, view) {}
    int EditEntry(VoiceBankManager& manager, int row) override;
    bool EstimateParameters(VoiceBankManager& manager) override;
    void RecreateFreqTables(VoiceBankManager& manager) override;
    bool EditFreqTable(VoiceBankManager& manager) override;
    void ShowFreqGenerator(VoiceBankManager& manager) override;

private:
    VoiceBankToolsView& view_;
    FreqTableCommands freq_;
};

}  // namespace tova
