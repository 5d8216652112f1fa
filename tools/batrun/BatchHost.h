#pragma once

#include "tools/batrun/BatchEnvironment.h"
#include "tools/batrun/BatchText.h"

namespace tova {

// What a running batch needs of the world outside the interpreter: a console and program starts.
// The batch runner program uses ProcessBatchHost; tests record the calls instead.
class BatchHost {
public:
    virtual ~BatchHost() = default;

    // One line of text from an "echo" statement.
    virtual void echo(const BatchString& text) = 0;
    // A statement's own complaint that does not stop the batch (nothing to delete, folder exists...).
    virtual void warn(const BatchString& text) = 0;
    // "pause": waits for a key; `quiet` leaves the prompt out ("pause>nul").
    virtual void pause(bool quiet) = 0;
    // Runs a program with its arguments in `folder` and waits for it to end. False when it could not
    // be started. Its exit code is not looked at.
    virtual bool run(const BatchString& program, const BatchStrings& arguments, const BatchString& folder,
                     const BatchEnvironment& environment) = 0;
};

}  // namespace tova
