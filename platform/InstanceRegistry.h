#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace tova {

// The registry of running copies of the editor: a per-user lock folder with one shared block (a file of
// `BlockSize` bytes, the stand-in for a named shared-memory object) and one locked file per running
// copy. The block lives as long as some copy is registered: when a copy joins and finds no other copy
// alive (their lock files are gone or no longer locked, e.g. after a crash), the block starts again as
// zeros. Joining is serialised by a lock on the folder, so copies that start at the same instant take
// turns.
class InstanceRegistry {
public:
    static constexpr int BlockSize = 1024;

    // `folder` is the lock folder; it is made private to the user (mode 0700, owner checked).
    explicit InstanceRegistry(const QString& folder = defaultFolder());
    ~InstanceRegistry();  // leaves
    InstanceRegistry(const InstanceRegistry&) = delete;
    InstanceRegistry& operator=(const InstanceRegistry&) = delete;

    // The per-user lock folder inside the temporary root.
    static QString defaultFolder();

    // Joins: with the folder locked, hands the shared block to `update`, which changes it in place and
    // returns this copy's number (1 or more); writes the block back and holds this copy's lock file
    // until `leave`. Returns the number, or 0 when the registry cannot be used (folder not private,
    // locks or files unavailable); then nothing is held. Joining twice leaves first.
    int join(const std::function<int(QByteArray& block)>& update);
    bool joined() const { return ownFd_ >= 0; }
    int number() const { return number_; }
    // Gives up this copy's lock file; the block stays for the copies still running.
    void leave();

    const QString& folder() const { return folder_; }

private:
    QString folder_;
    int ownFd_ = -1;
    int number_ = 0;
    QString ownPath_;
};

}  // namespace tova
