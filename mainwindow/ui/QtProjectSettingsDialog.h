#pragma once

#include "mainwindow/ProjectSettingsDialogPort.h"

namespace tova {

class OptionsDialogPort;
class VoiceBankAccess;
class VoiceToolsPort;

// The project settings dialog of the running program: Form3, shown modally over the active window.
class QtProjectSettingsDialog : public ProjectSettingsDialogPort {
public:
    QtProjectSettingsDialog(VoiceBankAccess& voices, VoiceToolsPort* profile, OptionsDialogPort* options)
        : voices_(voices), profile_(profile), options_(options) {}
    bool ShowDialog(ProjectSettingsValues& values) override;

private:
    VoiceBankAccess& voices_;
    VoiceToolsPort* profile_;
    OptionsDialogPort* options_;
};

}  // namespace tova
