#pragma once

#include <QString>

namespace tova {

// Windows of other parts of the program that the main window and its project settings dialog open.
// Each is installed by the part that builds it; while one is not installed, the command that opens it
// says so (ReportNotAvailable) instead of pretending.

// The voice-bank profile dialog: name, picture, readme and statistics of a bank, shown modally. After
// it closes it writes the folder's readme marker. True when its register button was pressed.
class VoiceProfilePort {
public:
    virtual ~VoiceProfilePort() = default;
    virtual bool ShowVoiceProfile(QString& folder, QString& secondText, bool showRegisterButton) = 0;
};

// The options dialog, opened on a tab (1 the first); true when it was closed with OK.
class OptionsDialogPort {
public:
    virtual ~OptionsDialogPort() = default;
    virtual bool ShowOptions(int tab) = 0;
};

// Shows that a command's feature is not part of this version yet (information icon). The feature is
// named by its Japanese text, looked up in the message table like every message.
void ReportNotAvailable(const QString& feature);

}  // namespace tova
