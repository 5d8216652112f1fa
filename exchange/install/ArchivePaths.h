#pragma once

#include <QString>
#include <QStringList>

namespace tova {

// What may come out of an install archive, judged on names already decoded from the archive's bytes
// (so a code page 932 character whose second byte is 5C is never mistaken for a separator). Both "/"
// and "\" separate parts.

// The parts of an entry name below the archive root. False (and no parts) for a name that could
// reach outside the folder it is unpacked into: a leading separator (an absolute name), a drive mark
// at its start ("C:"), a ".." part, or a part holding a control character. Empty and "." parts are
// dropped; a name that leaves no part (the root itself) gives true with no parts.
bool SplitEntryName(const QString& name, QStringList& parts);

// A description's `folder`: one plain folder name, with no separator, not "." or "..", holding no ".."
// anywhere, no drive mark or ":" and no control character.
bool IsPlainFolderName(const QString& folder);

// A description's `contentsdir`: plain relative parts separated by "/" (a final "/" allowed). False
// for anything else; an empty value gives true with no parts (the archive root).
bool SplitContentsDir(const QString& contentsDir, QStringList& parts);

}  // namespace tova
