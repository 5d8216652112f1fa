#pragma once

#include <QtGlobal>

namespace tova {

// A handle on a running process through which one can wait for it to end, whether or not it is a
// child of this program (the process was started detached, by another program, or by QProcess).
// Linux: a process file descriptor that becomes readable when the process ends.
class ProcessHandle {
public:
    enum class Wait { Ended, TimedOut, Failed };

    ProcessHandle() = default;
    ~ProcessHandle();
    ProcessHandle(const ProcessHandle&) = delete;
    ProcessHandle& operator=(const ProcessHandle&) = delete;

    // Opens the process with the right to wait on it. False when there is no such process (it has
    // already ended and been collected, or the id is wrong) or it cannot be opened.
    bool open(qint64 pid);
    bool isOpen() const { return fd_ >= 0 || fallbackPid_ > 0; }
    // Waits at most `timeoutMs` (negative: without limit) for the process to end. The end of a program
    // started through ProcessSpawn is collected then.
    Wait wait(int timeoutMs);
    void close();

private:
    int fd_ = -1;
    qint64 pid_ = 0;
    qint64 fallbackPid_ = 0;  // systems without process descriptors: polled by id
};

}  // namespace tova
