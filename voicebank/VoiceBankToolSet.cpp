#include "voicebank/VoiceBankToolSet.h"

#include "voicebank/ParameterEstimation.h"
#include "voicebank/VoiceBankManager.h"
#include "voicebank/VoiceBankToolsView.h"

namespace tova {

int VoiceBankToolSet::EditEntry(VoiceBankManager& manager, int row) { return view_.editEntry(manager, row); }

bool VoiceBankToolSet::EstimateParameters(VoiceBankManager& manager) {
    return tova::EstimateParameters(manager, [&](const QString& name) { return freq_.GenerateFreqTable(manager, name); });
}

void VoiceBankToolSet::RecreateFreqTables(VoiceBankManager& manager) { freq_.cmdDeleteFreqList_Click(manager); }

bool VoiceBankToolSet::EditFreqTable(VoiceBankManager& manager) { return freq_.cmdFreqList_Click(manager); }

void VoiceBankToolSet::ShowFreqGenerator(VoiceBankManager& manager) { freq_.Label18_DblClick(manager); }

}  // namespace tova
