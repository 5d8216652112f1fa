#pragma once

#include "tools/batrun/BatchHost.h"

namespace tova {

// The batch runner program's console and program starts: echo to standard output, complaints to
// standard error, "pause" reads one key from standard input (from the terminal without waiting for
// Enter), programs start directly with an argument list (no shell) and share the runner's console.
class ProcessBatchHost : public BatchHost {
public:
    // The prompt of "pause".
    static BatchString pausePrompt();

    void echo(const BatchString& text) override;
    void warn(const BatchString& text) override;
    void pause(bool quiet) override;
    bool run(const BatchString& program, const BatchStrings& arguments, const BatchString& folder,
             const BatchEnvironment& environment) override;
};

}  // namespace tova
