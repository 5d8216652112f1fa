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

    // A host may let programs run on after `run` returned (the tools it runs in process, whose notes
    // render side by side). `settle` waits until everything handed out has ended. `await` waits for
    // what still runs, or waits to run, and writes a file the path names (`Use::ReadOrWrite`: or reads
    // one), so that a look at that file, or a change to it, comes after them as it would after programs
    // run one by one. The path is full, "/" between its parts; its name may hold wildcards.
    enum class Use { Write, ReadOrWrite };
    virtual void settle() {}
    virtual void await(const BatchString& path, Use use) { (void)path, (void)use; }
    // The files a program line makes, and files beside which others may appear, as its arguments name
    // them, when the host knows them (the tools it runs itself): false for any other program, which
    // may change anything.
    struct Effects {
        BatchStrings madeFiles;
        BatchStrings filesWithNewNeighbours;
    };
    virtual bool effectsOf(const BatchString& program, const BatchStrings& arguments, Effects& effects) const {
        (void)program, (void)arguments, (void)effects;
        return false;
    }
};

}  // namespace tova
