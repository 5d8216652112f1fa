#pragma once

#include <QString>

namespace tova {

class Tool2Calls;
class VoiceBankManager;
class VoiceBankToolsView;

// The frequency-table commands of the voice-bank manager: making one sample's table (used by the
// parameter estimation), re-creating the tables of the chosen rows with tool 2 as a program, through
// a batch or in process, and opening the editor and the batch generator.
//
// Every run that re-creates a sample's table also deletes the render cache files of that sample, so
// that the next rendering uses the new table.
class FreqTableCommands {
public:
    FreqTableCommands(Tool2Calls& tool, VoiceBankToolsView& view) : tool_(tool), view_(view) {}

    // Makes the table of the sample `name` (relative to the voice folder) with tool 2 as a program.
    // False when the sample does not exist (nothing ran).
    bool GenerateFreqTable(VoiceBankManager& manager, const QString& name);
    // "周波数表を初期化": the selected rows (multi-select mode) or the selected row.
    void cmdDeleteFreqList_Click(VoiceBankManager& manager);
    // "周波数表の編集": true when the table may have changed.
    bool cmdFreqList_Click(VoiceBankManager& manager);
    void Label18_DblClick(VoiceBankManager& manager);

    // The tool-2 program the voice-bank tools run (the settings' tool-2 path).
    static QString ToolPath();

private:
    void runMany(VoiceBankManager& manager);
    void runOne(VoiceBankManager& manager);
    void execLibrary(const QString& samplePath);

    Tool2Calls& tool_;
    VoiceBankToolsView& view_;
};

}  // namespace tova
