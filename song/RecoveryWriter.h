#pragma once

#include "song/NoteArrays.h"
#include "song/ProjectSettings.h"

#include <QString>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace tova {

// Writes the recovery copy of the song on a thread of its own, so that an edit never waits for the
// disk. The window's thread hands over a snapshot (the note arrays are implicitly shared: the copy
// costs four reference counts, and the song's arrays detach once, on the next edit, only while the
// writer still holds them). The writer keeps one snapshot waiting: a newer one replaces it unwritten,
// so the file follows the song as closely as the disk allows without a queue of stale copies. So that
// a burst of edits does not detach the arrays at every step, the song may instead hold a change back
// while a write is under way (holdBackWhileBusy); the writer then calls `whenFree` as that write
// ends, and the song hands over the song as it then stands. The file is replaced whole
// (WriteProjectFile), so after a crash it holds the snapshot last written: the song as of the last
// step, or an earlier one while a write is under way.
//
// The writer touches nothing but its snapshot and its one file. Failures are passed over: the copy
// is a convenience, and a failed write leaves the previous copy in place.
class RecoveryWriter {
public:
    struct Snapshot {
        QString path;
        ProjectSettings settings;
        NoteArrays notes;
    };
    using WriteFunction = std::function<void(const Snapshot&)>;

    // Writes with WriteProjectFile; tests give their own function.
    RecoveryWriter();
    explicit RecoveryWriter(WriteFunction write);
    // Waits for the snapshot being written and the one waiting, then ends the thread.
    ~RecoveryWriter();
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;

    // Called on the writer's thread when a write ends while a change is held back. Set it before the
    // first post.
    void setWhenFree(std::function<void()> whenFree) { whenFree_ = std::move(whenFree); }
    // Hands over a snapshot; the thread starts with the first one. Returns at once (when the system
    // starts no thread, once the snapshot is written here). A change held back is in it.
    void post(Snapshot snapshot);
    // While a write is under way or a snapshot waits: notes that the song has changed since and
    // returns true (the caller hands over later). Otherwise returns false: the caller posts now.
    bool holdBackWhileBusy();
    // Whether a change was held back; clears it.
    bool takeHeldBack();
    // Returns when every snapshot handed over has been written (or dropped for a newer one).
    void wait();
    // Numbers of the snapshots: each post gets the next number (from 1); `written` is the number of
    // the snapshot whose write ended last (written, or failed and passed over), 0 before any.
    quint64 posted() const;
    quint64 written() const;

private:
    void run();

    WriteFunction write_;
    std::function<void()> whenFree_;
    mutable std::mutex lock_;
    std::condition_variable changed_;
    std::optional<Snapshot> waiting_;
    quint64 posted_ = 0;
    quint64 waitingNumber_ = 0;
    quint64 written_ = 0;
    bool busy_ = false;
    bool heldBack_ = false;
    bool ending_ = false;
    std::thread thread_;
};

}  // namespace tova
