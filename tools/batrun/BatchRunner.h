#pragma once

#include "platform/lean/VariableName.h"
#include "tools/batrun/BatchHost.h"
#include "tools/batrun/BatchText.h"
#include "tools/batrun/FolderListings.h"

#include <map>

namespace tova {

// Interpreter of the batch dialect the editor writes, standing in for the Windows command processor.
//
// Per line, in this order: a line whose first non-blank character is ":" is a label; a "rem" line is
// skipped; every other line gets one expansion pass (BatchText), loses its leading blanks and "@"
// characters, and runs as one statement:
//   set NAME=VALUE              sets a variable of the batch (names without regard to ASCII case); an
//                               empty value unsets it
//   call BATCH [ARGS...]        runs another .bat/.cmd with its own %1..%9, sharing the variables;
//                               control returns after its last line
//   if [not] exist PATH STATEMENT
//   goto LABEL                  labels without regard to case; the search runs on from the line and
//                               wraps to the top
//   del [/S] [/Q] PATH...       deletes matching files (with /S in every folder below too); a folder
//                               named is never emptied; nothing to delete is quiet
//   mkdir PATH...               makes a folder with its parents; an existing folder is quiet
//   copy [/Y] [/B] SRC [+ SRC...] DEST   joins the sources byte for byte into DEST
//   echo TEXT                   prints TEXT
//   pause, pause>nul            waits for a key (the second without a prompt)
//   for %V in (ITEMS) do STATEMENT   runs STATEMENT once per item with %V replaced by it; an item with
//                               "*" or "?" stands for the matching files
//   anything else               a program line: the program with its arguments (`""` is an empty
//                               argument), started directly and awaited; "name.exe" also finds "name"
// Paths accept "\" and "/" and resolve without regard to letter case, as do wildcards; relative paths
// start at the current folder, which is the folder of the first batch. "&", "|", "<" and ">" have no
// meaning: they stay part of the text. Variables come first from the environment; names are matched
// without regard to the case of ASCII letters only (platform/lean/VariableName.h), as the editor
// matches them. Programs get the runner's own environment: a variable the batch sets is the batch's
// alone. A line outside this dialect stops the run with a BatchLineError that names it.
class BatchRunner {
public:
    static constexpr int MaxCallDepth = 64;
    // The command processor's limit: no line (before or after expansion) and no variable (name, "="
    // and value) is longer. A longer one stops the run.
    static constexpr int MaxLineLength = int(kBatchLineLimit);

    // `programFolder` is searched for programs named without a folder, after the current folder and
    // before the folders of the PATH variable.
    BatchRunner(BatchHost& host, const BatchEnvironment& environment, const BatchString& programFolder);

    // Runs the batch file with `arguments` as %1..%9, in its own folder. Throws BatchLineError when a
    // line cannot be run, a lean::Failure when the file cannot be read.
    void run(const BatchString& batchPath, const BatchStrings& arguments = {});

    // A variable's value (empty when it is not set).
    BatchString variable(const BatchString& name) const;
    BatchString currentFolder() const { return folder_; }

private:
    struct Frame {
        BatchString path;
        BatchStrings lines;
        BatchStrings arguments;  // [0] the name as called, then %1..%9 with their quotes
        int index = 0;           // line being run
    };
    struct Variable {
        BatchString name;
        BatchString value;
    };
    enum class Flow { Next, Jump };

    void runFrame(Frame& frame, int depth);
    Flow execute(const BatchString& statement, Frame& frame, int depth);

    Flow setStatement(const BatchString& rest);
    Flow callStatement(const BatchString& rest, int depth);
    Flow ifStatement(const BatchString& rest, Frame& frame, int depth);
    Flow gotoStatement(const BatchString& rest, Frame& frame);
    Flow delStatement(const BatchString& rest);
    Flow mkdirStatement(const BatchString& rest);
    Flow copyStatement(const BatchString& rest);
    Flow pauseStatement(const BatchString& rest);
    Flow forStatement(const BatchString& rest, Frame& frame, int depth);
    Flow programLine(const BatchString& statement);

    void setVariable(const BatchString& name, const BatchString& value);
    BatchString absolute(const BatchString& path) const;
    // The full path of a name as written, "\\" read as "/", not looked up on disk.
    BatchString written(const BatchString& path) const;
    // Waits for the host's programs still writing a file the path (wildcards allowed) names, with
    // `BatchHost::Use::ReadOrWrite` also for those still reading one.
    void awaitTools(const BatchString& path, BatchHost::Use use = BatchHost::Use::Write);
    BatchString resolve(const BatchString& path) const;
    void collectFiles(const BatchString& folder, const BatchString& pattern, bool recursive, BatchStrings& out) const;
    BatchStrings matches(const BatchString& pattern, bool withFolders) const;
    BatchString findProgram(const BatchString& name) const;
    static BatchStrings readLines(const BatchString& path);

    BatchHost& host_;
    BatchString programFolder_;
    BatchString folder_;
    std::map<BatchString, Variable, lean::VariableNameLess> variables_;
    BatchEnvironment childEnvironment_;          // the runner's own, for every program
    // The folders as read once, kept up to date with what the batch changes (see FolderListings).
    mutable FolderListings listings_;
};

}  // namespace tova
