#pragma once

#include "tools/batrun/BatchHost.h"
#include "tools/batrun/BatchText.h"

#include <QHash>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace tova {

// Interpreter of the batch dialect the editor writes, standing in for the Windows command processor.
//
// Per line, in this order: a line whose first non-blank character is ":" is a label; a "rem" line is
// skipped; every other line gets one expansion pass (BatchText), loses its leading blanks and "@"
// characters, and runs as one statement:
//   set NAME=VALUE              sets a variable (names without regard to case); an empty value unsets it
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
// meaning: they stay part of the text. Variables come first from the environment; programs get the
// variables as their environment (a name set in another letter case replaces the earlier spelling). A line outside this dialect stops the
// run with a BatchLineError that names it.
class BatchRunner {
public:
    static constexpr int MaxCallDepth = 64;
    // The command processor's limit: no line (before or after expansion) and no variable (name, "="
    // and value) is longer. A longer one stops the run.
    static constexpr int MaxLineLength = int(kBatchLineLimit);

    // `programFolder` is searched for programs named without a folder, after the current folder and
    // before the folders of the PATH variable.
    BatchRunner(BatchHost& host, const QProcessEnvironment& environment, const QString& programFolder);

    // Runs the batch file with `arguments` as %1..%9, in its own folder. Throws BatchLineError when a
    // line cannot be run, FileError when the file cannot be read.
    void run(const QString& batchPath, const QStringList& arguments = {});

    // A variable's value (empty when it is not set).
    QString variable(const QString& name) const;
    QString currentFolder() const { return folder_; }

private:
    struct Frame {
        QString path;
        QStringList lines;
        QStringList arguments;  // [0] the name as called, then %1..%9 with their quotes
        int index = 0;          // line being run
    };
    struct Variable {
        QString name;
        QString value;
    };
    enum class Flow { Next, Jump };

    void runFrame(Frame& frame, int depth);
    Flow execute(const QString& statement, Frame& frame, int depth);

    Flow setStatement(const QString& rest);
    Flow callStatement(const QString& rest, int depth);
    Flow ifStatement(const QString& rest, Frame& frame, int depth);
    Flow gotoStatement(const QString& rest, Frame& frame);
    Flow delStatement(const QString& rest);
    Flow mkdirStatement(const QString& rest);
    Flow copyStatement(const QString& rest);
    Flow pauseStatement(const QString& rest);
    Flow forStatement(const QString& rest, Frame& frame, int depth);
    Flow programLine(const QString& statement);

    void setVariable(const QString& name, const QString& value);
    QString absolute(const QString& path) const;
    QStringList matches(const QString& pattern, bool withFolders) const;
    QString findProgram(const QString& name) const;
    static QStringList readLines(const QString& path);

    BatchHost& host_;
    QString programFolder_;
    QString folder_;
    QHash<QString, Variable> variables_;  // by upper-case name
    QProcessEnvironment childEnvironment_;
};

}  // namespace tova
