#pragma once

#include <QString>

namespace tova {

// What the archive installer needs of the main window: the progress window hung from the roll, the
// status bar, the voice-bank list, the profile dialog and the plug-in menu. The main window implements
// it; tests give a recording fake.
class InstallHost {
public:
    virtual ~InstallHost() = default;
    // The progress window: shown over the roll with the bar at 0 of `maximum`, sliding in over
    // `slideMs`; the main window is disabled until ProgressEnd.
    virtual void ProgressStart(int maximum, int slideMs) = 0;
    virtual void ProgressSet(const QString& text, int value) = 0;
    virtual void ProgressEnd() = 0;
    // A text in a panel of the main window's status bar.
    virtual void SetStatusText(int panel, const QString& text) = 0;
    // Rescans the installed voice banks.
    virtual void LoadVoiceBankList() = 0;
    // The profile dialog of a voice-bank folder, without the register button.
    virtual void ShowVoiceProfile(const QString& folder) = 0;
    // Rebuilds the plug-in menu.
    virtual void BuildPluginMenu() = 0;
};

}  // namespace tova
