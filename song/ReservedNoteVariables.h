#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace tova {

// A note option whose key begins with "@" sets a batch variable of the same name for that note. The
// name is made of ASCII letters, digits and "_" only, and names are compared without regard to the case
// of ASCII letters alone, by the function the batch runner compares its variables with
// (platform/lean/VariableName.h): a letter of another script (a dotless "ı") never passes here as a name
// of the note's own and reaches the runner as one of the render's.
//
// Some names must never be set by a note, because the render batch, its per-note batch or the batch
// runner use the variable as a program, a batch or a path (a note could otherwise run any program or
// delete any file), or because a program reads it from its environment to find code or files: `tool`,
// `vorsa`, `helper`, `output`, `oto`, `cachedir`, `temp`, the runner's `PATH`, `TMP`, `TMPDIR` and
// `HOME`, and the loader's and C library's variables (`LD_*`, `GCONV_PATH`, `LOCPATH`, `NLSPATH`,
// `GLIBC_TUNABLES`, `MALLOC_*`, ...). (The batch runner hands no batch variable to the programs it
// starts; these stay refused all the same.) Every other name (`flag`, `vel`, a name of the user's own)
// stays a note's to set.

// Whether a batch variable name (without the "@") is one a note may use at all: ASCII letters, digits
// and "_", at least one.
bool IsNoteVariableName(QStringView name);

// Whether a batch variable name (without the "@") is one a note must not set.
bool IsReservedNoteVariable(QStringView name);

// What keeps an option from setting a variable of the note.
enum class NoteVariableFault {
    None,       // not an "@" option, or one that sets a variable of the note's own
    Malformed,  // no "=", or a name that is empty or holds another character than A-Z, a-z, 0-9, "_"
    Reserved,   // a name the note must not set
};

// The fault of an option key ("@name") read from a line that had an "=" (`hasEquals`) or not.
NoteVariableFault NoteVariableKeyFault(QStringView key, bool hasEquals);
// The fault of a whole option entry ("@name=value", "@name").
NoteVariableFault NoteVariableEntryFault(QStringView entry);

// The line a reader adds to its load message for an option it did not take, by its key ("@name").
QString RefusedNoteVariableProblem(const QString& key);

}  // namespace tova
