#pragma once

#include <QString>

namespace tova {

// Well-known folders: the program folder (the folder of the running executable; tests may point it
// elsewhere), the temporary root ("%TEMP%": $TEMP, else $TMPDIR, else /tmp) and the home folder.
class SystemPaths {
public:
    static QString programFolder();
    static void setProgramFolder(const QString& folder);  // for tests and tools; "" restores the default
    static QString tempRoot();
    static QString home();
};

}  // namespace tova
