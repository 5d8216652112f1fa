#pragma once

namespace tova {

// The options dialog, opened on a tab (1 the first); true when it was closed with OK. While it is not
// installed, the commands that open it say so (ReportNotAvailable).
class OptionsDialogPort {
public:
    virtual ~OptionsDialogPort() = default;
    virtual bool ShowOptions(int tab) = 0;
};

}  // namespace tova
