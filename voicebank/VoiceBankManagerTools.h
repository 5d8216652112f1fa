#pragma once

namespace tova {

class VoiceBankManager;

// The tools the voice-bank manager opens on its rows that are built apart from it: the graphical timing
// editor, the parameter estimation and the frequency-table commands. Each works on the manager's rows
// and state directly. Where no implementation is installed the manager's command says that the feature
// is not available yet.
class VoiceBankManagerTools {
public:
    virtual ~VoiceBankManagerTools() = default;
    // Edits the row at `row` in the timing editor, writing its values into the row: 1 for OK, 0 for
    // Cancel, -1 when the editor was closed another way.
    virtual int EditEntry(VoiceBankManager& manager, int row) = 0;
    // Estimates the timing values of the rows from their frequency tables; true when a row changed.
    virtual bool EstimateParameters(VoiceBankManager& manager) = 0;
    // Re-creates the frequency tables of the chosen rows ("周波数表を初期化").
    virtual void RecreateFreqTables(VoiceBankManager& manager) = 0;
    // Opens the shown row's frequency table in its editor ("周波数表の編集"); true when it changed.
    virtual bool EditFreqTable(VoiceBankManager& manager) = 0;
    // Opens the batch frequency-table generator on the voice folder.
    virtual void ShowFreqGenerator(VoiceBankManager& manager) = 0;
};

}  // namespace tova
