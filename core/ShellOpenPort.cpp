#include "core/ShellOpenPort.h"

namespace tova {
namespace {
ShellOpenPort* gPort = nullptr;
}

ShellOpenPort* ShellOpenPort::installed() { return gPort; }
void ShellOpenPort::install(ShellOpenPort* port) { gPort = port; }
bool ShellOpenPort::openPath(const QString& path) { return gPort && gPort->open(path); }

}  // namespace tova
