#pragma once

#include "core/DialogModel.h"

#include <QString>
#include <QStringList>

namespace tova {

class FreqGeneratorProgress;
class Tool2Calls;

// The batch frequency-table generator "周波数表の一括作成" (frmFreqGen): writes "regen.bat" in the
// per-instance temporary folder, which calls tool 2 once per ".wav" and ".aiff" sample of the voice
// folder and of its direct sub-folders, and starts it without waiting.
//
// In the mode "全て削除後に作成" the old tables are deleted here, before the batch starts, and only in
// the folders the batch will regenerate (the voice folder and its direct sub-folders), once they are
// known to exist. Only one batch of this program runs at a time. Every failure is said.
//
// With a progress display the run is followed to its end: the display counts the tables made and can
// stop the run, and a message says that the run finished (with the number of tables) or was stopped.
class FreqGenerator : public DialogModel {
public:
    enum Mode { NoMode = -1, GenerateMissing = 0, UpdateAll = 1, UpdateAfterDelete = 2 };

    explicit FreqGenerator(Tool2Calls& tool) : tool_(tool) {}

    QString voiceFolder;
    // The focus, and with it the selection, falls on optUpdateAll when the dialog opens.
    Mode mode = UpdateAll;
    bool chkCloseWindowAtEnd = false;
    FreqGeneratorProgress* progress = nullptr;  // the display of the run; none: the run is not followed
    int pollMs = 200;

    // The lines of "regen.bat" for the mode and folder (without the deletion, which runs in process).
    static QStringList BatchLines(const QString& voiceFolder, const QString& toolPath, Mode mode, bool closeAtEnd);

    void OKButton_Click();
    void CancelButton_Click() { hidden = true; }

private:
    // Deletes the ".frq" files of the folders; false (after saying so) when one cannot be deleted.
    bool deleteTables(const QStringList& folders);
    // Follows the started batch to its end with the progress display.
    void followRun(const QString& folder);

    Tool2Calls& tool_;
};

}  // namespace tova
