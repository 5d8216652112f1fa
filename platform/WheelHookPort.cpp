#include "platform/WheelHookPort.h"

namespace tova {
namespace {
WheelHookPort* gPort = nullptr;
}

WheelHookPort* WheelHookPort::installed() { return gPort; }

void WheelHookPort::install(WheelHookPort* port) { gPort = port; }

}  // namespace tova
