#pragma once

#include <QString>
#include <QStringView>

namespace tova {

// A note option whose key begins with "@" sets a batch variable of the same name for that note. Some
// names must never be set by a note, because the render batch, its per-note batch or the batch runner
// use the variable as a program, a batch or a path (a note could otherwise run any program or delete
// any file), or because the programs the batch starts take it from their environment to find code or
// files: `tool`, `vorsa`, `helper`, `output`, `oto`, `cachedir`, `temp`, the runner's `PATH`, `TMP`,
// `TMPDIR` and `HOME`, and the loader's and C library's variables (`LD_*`, `GCONV_PATH`, `LOCPATH`,
// `NLSPATH`, `GLIBC_TUNABLES`, `MALLOC_*`, ...). Names are matched as the runner matches them: without
// regard to case, blanks around the name ignored. Every other name (`flag`, `env`, `vel`, a name of the
// user's own) stays a note's to set.

// Whether a batch variable name (without the "@") is one a note must not set.
bool IsReservedNoteVariable(QStringView name);

// Whether an option entry or key ("@tool=x", "@tool") sets a reserved variable.
bool SetsReservedNoteVariable(QStringView entry);

// Removes every option entry of an option list (field 5 of the extension string) that sets a reserved
// variable and returns the removed keys, in list order.
QStringList RemoveReservedNoteVariables(QString& options);

}  // namespace tova
