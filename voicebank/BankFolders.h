#pragma once

#include <QString>
#include <QStringList>

namespace tova {

// The names of a bank folder's direct sub-folders in listing order, without "." and "..", and without
// links: the tools that delete files in a bank's folders never follow a link out of the bank.
QStringList DirectSubFolders(const QString& folder);

}  // namespace tova
