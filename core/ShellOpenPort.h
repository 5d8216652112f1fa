#pragma once

#include <QString>

namespace tova {

// Opens a file or folder with the program the desktop associates with it (the shell's "Open" verb).
// The application installs the Qt implementation (core/ui/QtShellOpen.h); tests install a fake or
// none, so nothing is ever opened by a test.
class ShellOpenPort {
public:
    virtual ~ShellOpenPort() = default;
    // True when the desktop accepted the request.
    virtual bool open(const QString& path) = 0;

    // The installed port (nullptr when none).
    static ShellOpenPort* installed();
    static void install(ShellOpenPort* port);
    // Opens through the installed port; false (and nothing opened) when none is installed.
    static bool openPath(const QString& path);
};

}  // namespace tova
