#pragma once

#include "core/ShellOpenPort.h"

namespace tova {

// Opens files and folders through the desktop (QDesktopServices).
class QtShellOpen : public ShellOpenPort {
public:
    bool open(const QString& path) override;
};

}  // namespace tova
