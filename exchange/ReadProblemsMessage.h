#pragma once

#include <QString>
#include <QStringList>

namespace tova {

// Says what a file reader refused or cut (its `problems`, one line each, at most 20 shown) in one
// message naming the file; nothing when there were none.
void ShowReadProblems(const QString& path, const QStringList& problems);

}  // namespace tova
