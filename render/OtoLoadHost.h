#pragma once

#include <QString>

namespace tova {

// What loading a voice bank's oto.ini needs of the main window: one line of progress text in its
// status bar and the modal consistency report. The main window implements it (the report through
// frmOtoReport::ShowReport with itself as owner) and installs it with setOtoLoadHost.
class OtoLoadHost {
public:
    virtual ~OtoLoadHost() = default;
    // Shows a progress text in the third panel of the status bar ("" clears it).
    virtual void SetOtoStatusText(const QString& text) = 0;
    // Shows the report text modally over the main window and returns when it is closed.
    virtual void ShowOtoReport(const QString& report) = 0;
};

// The installed host; nullptr (the default) means nothing is shown: tools and tests load silently.
OtoLoadHost* otoLoadHost();
void setOtoLoadHost(OtoLoadHost* host);

}  // namespace tova
