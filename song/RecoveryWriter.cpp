#include "song/RecoveryWriter.h"

#include "song/ProjectFile.h"

#include <system_error>
#include <utility>

namespace tova {

RecoveryWriter::RecoveryWriter()
    : RecoveryWriter([](const Snapshot& s) { WriteProjectFile(s.path, s.settings, s.notes); }) {}

RecoveryWriter::RecoveryWriter(WriteFunction write) : write_(std::move(write)) {}

RecoveryWriter::~RecoveryWriter() {
    {
        std::unique_lock<std::mutex> guard(lock_);
        ending_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void RecoveryWriter::post(Snapshot snapshot) {
    std::optional<Snapshot> dropped;  // released outside the lock
    {
        std::unique_lock<std::mutex> guard(lock_);
        if (!thread_.joinable()) {
            try {
                thread_ = std::thread([this] { run(); });
            } catch (const std::system_error&) {
                // The system starts no more threads (out of threads or memory): this copy is written
                // here and now, as it was before the writer had a thread, rather than left waiting
                // for a thread that never comes (every wait for the copy would hang).
                const quint64 number = ++posted_;
                heldBack_ = false;
                guard.unlock();
                try {
                    write_(snapshot);
                } catch (...) {
                }
                guard.lock();
                written_ = number;
                return;
            }
        }
        dropped = std::move(waiting_);
        waiting_ = std::move(snapshot);
        heldBack_ = false;
        waitingNumber_ = ++posted_;
    }
    changed_.notify_all();
}

bool RecoveryWriter::holdBackWhileBusy() {
    std::unique_lock<std::mutex> guard(lock_);
    if (!busy_ && !waiting_) return false;
    heldBack_ = true;
    return true;
}

bool RecoveryWriter::takeHeldBack() {
    std::unique_lock<std::mutex> guard(lock_);
    return std::exchange(heldBack_, false);
}

void RecoveryWriter::wait() {
    std::unique_lock<std::mutex> guard(lock_);
    changed_.wait(guard, [this] { return !waiting_ && !busy_; });
}

quint64 RecoveryWriter::posted() const {
    std::unique_lock<std::mutex> guard(lock_);
    return posted_;
}

quint64 RecoveryWriter::written() const {
    std::unique_lock<std::mutex> guard(lock_);
    return written_;
}

void RecoveryWriter::run() {
    std::unique_lock<std::mutex> guard(lock_);
    for (;;) {
        // The snapshot waiting is written even when the writer is ending: the orderly exit keeps it.
        changed_.wait(guard, [this] { return waiting_ || ending_; });
        if (!waiting_) return;
        std::optional<Snapshot> snapshot = std::move(waiting_);
        waiting_.reset();
        const quint64 number = waitingNumber_;
        busy_ = true;
        guard.unlock();
        try {
            write_(*snapshot);
        } catch (...) {
            // A failed write leaves the previous copy; the next step tries again.
        }
        snapshot.reset();  // the song's arrays are no longer shared once this lets go of them
        guard.lock();
        busy_ = false;
        written_ = number;
        changed_.notify_all();
        if (heldBack_ && !waiting_ && whenFree_) {
            guard.unlock();
            whenFree_();
            guard.lock();
        }
    }
}

}  // namespace tova
