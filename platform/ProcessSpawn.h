#pragma once

#include <QString>
#include <QList>
#include <QPair>
#include <QStringList>

namespace tova {

// Starts programs without copying this program's memory (posix_spawn, not fork): the cost of a start
// does not grow with the editor's size. The program runs on by itself in a session of its own, with
// this program's environment; its end is collected by the first ProcessHandle wait that sees it, or by
// a later start, so that no ended program stays behind as a zombie.
class ProcessSpawn {
public:
    // Starts `program` (a path, or a bare name looked up in PATH) with its arguments in `folder` (empty:
    // this program's current folder), standard input from /dev/null, and with `quiet` standard output
    // and error to /dev/null too (else this program's). Answers the process id, or 0 when it could not be
    // started (no such program, not executable, no such folder).
    // `variables` are added to (or replace those of) this program's environment for it.
    static qint64 start(const QString& program, const QStringList& arguments, const QString& folder, bool quiet,
                        const QList<QPair<QString, QString>>& variables = {});
    // Collects the end of a program started here that has ended (nothing for any other process).
    static void collect(qint64 pid);
};

}  // namespace tova
