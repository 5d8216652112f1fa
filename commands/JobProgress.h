#pragma once

#include <QString>

namespace tova {

class EditContext;

// The progress of a long editing job that runs note by note on the user-interface thread, over the
// window's progress window and the program-wide stop request (`StopRequested`, set by the window's stop
// link). Made when the job starts and ended when it goes out of scope, also when the job fails, so the
// main window is never left disabled.
class JobProgress {
public:
    // Clears the stop request and starts the bar at 0 of `maximum`; with `shown` the window is shown and
    // the main window disabled while the job runs.
    JobProgress(EditContext& context, int maximum, bool shown);
    ~JobProgress();
    JobProgress(const JobProgress&) = delete;
    JobProgress& operator=(const JobProgress&) = delete;

    // Shows a status text and the bar value.
    void UpdateProgress(const QString& text, int value);
    // Handles the pending window events; true when the user has asked to stop.
    bool stopRequested();

private:
    void StartProgress(int maximum, bool shown);

    EditContext& context_;
};

}  // namespace tova
