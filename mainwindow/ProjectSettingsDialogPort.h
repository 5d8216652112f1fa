#pragma once

namespace tova {

struct ProjectSettingsValues;

// The project settings dialog as the file commands open it: shown modally over the main window with
// the given values; true when it was closed with OK, the edited values then written back (never the
// cache folder).
class ProjectSettingsDialogPort {
public:
    virtual ~ProjectSettingsDialogPort() = default;
    virtual bool ShowDialog(ProjectSettingsValues& values) = 0;
};

}  // namespace tova
