#pragma once

#include <QByteArray>
#include <QString>

namespace tova {

// The number of this running copy of the editor, which names its temporary folder. Copies that run
// at the same time get different numbers; numbers are not given back while any copy runs, and the
// first copy started after all have exited gets 1 again.
//
// The count is kept as the text "EXEC_COUNT=<n>" in a shared block of the per-user instance registry
// (length as 16-bit little-endian at offset 0, the text in code page 932 from offset 2).

// Registers this copy and returns its number (1 for the first copy). When the registry cannot be used
// the result is still a number no other running copy has: this process's id.
int CountInstance();
// Gives up this copy's registration (at exit).
void CloseInstanceMap();

// One step of the count on the shared block: a block that does not start with "EXEC_COUNT" (a new,
// zeroed one) gets "EXEC_COUNT=1" and gives 1; otherwise the number after the first "=" (none counts as
// 0) is counted on by one, written back and returned.
int NextInstanceCount(QByteArray& block);

// Makes the per-instance temporary folder "tova<n>" in the temporary root, private to the user (mode
// 0700, owner checked), and returns its path. When that name is taken by a folder this user does not
// own (or by a file or link), a fresh private folder "tova<n>-XXXXXX" is made instead. Raises FileError
// when no private folder can be made.
QString MakeInstanceTempFolder(int instance);

}  // namespace tova
