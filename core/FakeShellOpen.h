#pragma once

#include "core/ShellOpenPort.h"

#include <QStringList>

namespace tova {

// Records what would have been opened; installs itself for its lifetime.
class FakeShellOpen : public ShellOpenPort {
public:
    QStringList opened;
    FakeShellOpen() : previous_(installed()) { install(this); }
    ~FakeShellOpen() override { install(previous_); }
    FakeShellOpen(const FakeShellOpen&) = delete;
    FakeShellOpen& operator=(const FakeShellOpen&) = delete;
    bool open(const QString& path) override {
        opened << path;
        return true;
    }

private:
    ShellOpenPort* previous_;
};

}  // namespace tova
