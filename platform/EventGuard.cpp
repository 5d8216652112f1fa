#include "platform/EventGuard.h"

#include "platform/Ports.h"

#include <cstdio>
#include <cstdlib>

namespace tova {
namespace {
// Constant-initialised, so that a binding made while other files are initialised is never undone.
bool gOwnFlag = false;
bool* gFlag = nullptr;
QString (*gLookup)(const QString&) = nullptr;

bool& flag() { return gFlag ? *gFlag : gOwnFlag; }

QString lookup(const QString& key) { return gLookup ? gLookup(key) : key; }

// Runs `handler`, handing the description of any failure to `fail`.
bool trap(const std::function<void()>& handler, const std::function<void(const QString&)>& fail) {
    try {
        handler();
        return true;
    } catch (const TovaError& e) {
        fail(e.description());
    } catch (const std::exception& e) {
        fail(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        fail(QStringLiteral("unknown failure"));
    }
    return false;
}

[[noreturn]] void stopForDebugger(const QString& description) {
    std::fprintf(stderr, "unexpected failure: %s\n", description.toLocal8Bit().constData());
    std::abort();
}
}  // namespace

void EventGuard::bindDebugMode(bool* f) { gFlag = f; }
void EventGuard::setDebugMode(bool on) { flag() = on; }
bool EventGuard::debugMode() { return flag(); }
void EventGuard::bindMessageLookup(QString (*f)(const QString&)) { gLookup = f; }

void EventGuard::report(const QString& description) {
    if (debugMode()) stopForDebugger(description);
    try {
        Ports::msgBox(QStringLiteral("予期せぬエラー：") + description, MsgButtons::OK, MsgIcon::Critical);
    } catch (...) {
        std::fprintf(stderr, "予期せぬエラー：%s\n", description.toLocal8Bit().constData());
    }
}

bool EventGuard::run(const std::function<void()>& handler) { return trap(handler, &EventGuard::report); }

void EventGuard::reportHandlerFailure(const QString& description, const QString& titleSuffix) {
    if (debugMode()) stopForDebugger(description);
    run([&] { Ports::msgBox(description, MsgButtons::OK, MsgIcon::None, lookup(QStringLiteral("予期せぬエラー")) + titleSuffix); });
}

bool EventGuard::runHandler(const std::function<void()>& handler) {
    return trap(handler, [](const QString& d) { reportHandlerFailure(d); });
}

}  // namespace tova
