#include "voicebank/Tool2Calls.h"

#include "core/Processes.h"
#include "platform/Errors.h"
#include "platform/ProcessHandle.h"
#include "render/ToolLibraries.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <csignal>
#include <sys/types.h>

namespace tova {
namespace {

// The library's progress callback: window events run (so that the break label can set the stop
// request); the current sample is always finished, the loop of the caller stops after it.
std::int32_t letEventsRun(std::int32_t, std::int32_t) {
    QCoreApplication::processEvents();
    return 0;
}

}  // namespace

ProgramTool2Calls::~ProgramTool2Calls() = default;

void ProgramTool2Calls::runAndWait(const QString& commandLine) { ShellAndWait(commandLine, 2); }

void ProgramTool2Calls::runBatchAndWait(const QString& batchPath) {
    const qint64 pid = ShellBatch(batchPath);
    ProcessHandle handle;
    if (handle.open(pid)) handle.wait(-1);
}

int ProgramTool2Calls::libraryExec(const QStringList& arguments) {
    return ToolLibraries::instance().VorsaExec(arguments, letEventsRun);
}

bool ProgramTool2Calls::runWithTimeLimit(const QString& commandLine, int timeoutMs) {
    const qint64 pid = Shell(commandLine, 2);
    ProcessHandle handle;
    if (!handle.open(pid)) return true;  // already ended
    QElapsedTimer clock;
    clock.start();
    while (handle.wait(20) == ProcessHandle::Wait::TimedOut) {
        QCoreApplication::processEvents();
        if (clock.elapsed() >= timeoutMs) {
            ::kill(pid_t(pid), SIGKILL);
            handle.wait(1000);
            return false;
        }
    }
    return true;
}

bool ProgramTool2Calls::startBatch(const QString& batchPath, QString& error) {
    try {
        batchPid_ = ShellBatch(batchPath);
        return true;
    } catch (const TovaError& e) {
        error = e.description();
        batchPid_ = 0;
        return false;
    }
}

bool ProgramTool2Calls::batchRunning() {
    if (batchPid_ <= 0) return false;
    ProcessHandle handle;
    if (!handle.open(batchPid_) || handle.wait(0) == ProcessHandle::Wait::Ended) {
        batchPid_ = 0;
        return false;
    }
    return true;
}

void ProgramTool2Calls::stopBatch() {
    if (!batchRunning()) return;
    // The runner leads a process group of its own with the programs it starts; the whole group goes.
    if (::kill(-pid_t(batchPid_), SIGTERM) != 0) ::kill(pid_t(batchPid_), SIGTERM);
    ProcessHandle handle;
    if (handle.open(batchPid_) && handle.wait(5000) == ProcessHandle::Wait::TimedOut) {
        if (::kill(-pid_t(batchPid_), SIGKILL) != 0) ::kill(pid_t(batchPid_), SIGKILL);
        handle.wait(5000);
    }
    batchPid_ = 0;
}

}  // namespace tova
