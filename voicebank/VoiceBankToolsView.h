#pragma once

#include <QString>

namespace tova {

class VoiceBankManager;

// What the voice-bank tools need of the manager's window: its progress panel, and the windows they
// open (the timing editor, the frequency-table editor and the batch generator).
class VoiceBankToolsView {
public:
    virtual ~VoiceBankToolsView() = default;
    // Opens the progress panel "周波数表作成中..." for `count` samples and disables the window's command
    // buttons, its list and the menus mnFile, mnSettei and mnTools.
    virtual void beginRun(int count) = 0;
    virtual void advance(int done) = 0;
    // Enables the controls again and closes the panel.
    virtual void endRun() = 0;
    // The batch frequency-table generator on a voice folder.
    virtual void showFreqGenerator(const QString& voiceFolder) = 0;
    // The frequency-table editor on a sample: true when the table may have changed.
    virtual bool loadFreqFile(const QString& samplePath) = 0;
    // The timing editor on the manager's row `row`: 1 OK, 0 Cancel, -1 closed otherwise.
    virtual int editEntry(VoiceBankManager& manager, int row) = 0;
};

}  // namespace tova
