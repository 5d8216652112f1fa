#pragma once

#include "tools/batrun/BatchHost.h"

namespace tova {

// The batch runner program's console and program starts: echo to standard output, complaints to
// standard error, "pause" reads one key from standard input (from the terminal without waiting for
// Enter), programs run through QProcess with an argument list and share the runner's console.
class ProcessBatchHost : public BatchHost {
public:
    // The prompt of "pause".
    static QString pausePrompt();

    void echo(const QString& text) override;
    void warn(const QString& text) override;
    void pause(bool quiet) override;
    bool run(const QString& program, const QStringList& arguments, const QString& folder,
             const QProcessEnvironment& environment) override;
};

}  // namespace tova
