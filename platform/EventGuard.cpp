#include "platform/EventGuard.h"

#include "platform/Ports.h"

#include <cstdio>
#include <cstdlib>

namespace tova {
namespace {
bool gDebugMode = false;
}

void EventGuard::setDebugMode(bool on) { gDebugMode = on; }
bool EventGuard::debugMode() { return gDebugMode; }

void EventGuard::report(const QString& description) {
    if (gDebugMode) {
        std::fprintf(stderr, "unexpected failure: %s\n", description.toLocal8Bit().constData());
        std::abort();
    }
    try {
        Ports::msgBox(QStringLiteral("予期せぬエラー：") + description, MsgButtons::OK, MsgIcon::Critical);
    } catch (...) {
        std::fprintf(stderr, "予期せぬエラー：%s\n", description.toLocal8Bit().constData());
    }
}

bool EventGuard::run(const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const TovaError& e) {
        report(e.description());
    } catch (const std::exception& e) {
        report(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        report(QStringLiteral("unknown failure"));
    }
    return false;
}

}  // namespace tova
