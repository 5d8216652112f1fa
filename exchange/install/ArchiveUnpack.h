#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace tova {

class ZipArchive;

// Unpacking an install archive without ever writing outside the destination. The files go first into
// a fresh private staging folder beside the destination, which then takes the destination's place (or,
// when the destination exists, has its files moved into it). Links, devices and entries whose names
// could reach outside are skipped and named in the result; a failure leaves the destination as it was
// and removes the staging folder.

struct UnpackResult {
    bool ok = false;
    int files = 0;           // files written
    QStringList skipped;     // entries left out: unsafe names, links, devices, clashes with the destination
    QString error;           // what failed when not ok
};

struct UnpackPlan {
    // The folder inside the archive whose contents are installed (parts, see SplitContentsDir); empty
    // for the archive root.
    QStringList contentsParts;
    // Leave out the archive root's "install.txt" (the description itself; letter case ignored).
    bool skipRootDescription = false;
};

struct UnpackSizes {
    qint64 declared = 0;     // bytes the files to write state, together
    bool consistent = true;  // false for entries of unknown size, or stored sizes the archive cannot hold
};

// The sizes unpacking with this plan would write, as the archive's directory states them. Entries
// whose stored data together exceed the archive's `archiveBytes` share their data (overlapping
// entries that expand a small archive without bound) and make the archive inconsistent.
UnpackSizes CheckUnpackSizes(const ZipArchive& archive, const UnpackPlan& plan, qint64 archiveBytes);

// Why the archive cannot be unpacked as it stands, in words naming each entry concerned, or "" when
// it can: a name holding a NUL byte (it would be cut short there, "nul\0name.txt" landing as "nul"),
// and a file stated twice under one name (the second would silently replace the first).
QString CheckUnpackNames(const ZipArchive& archive, const UnpackPlan& plan);

// The number of files that unpacking with this plan would write (the progress bar's range).
int CountUnpackFiles(const ZipArchive& archive, const UnpackPlan& plan);

// Unpacks into `destination` (a folder path; its parent must exist). An archive CheckUnpackNames
// refuses writes nothing and fails with its words. `onFile` is called with each
// entry's name after the file was written. No file is written past the size its entry states (an
// entry holding more fails the whole unpacking), and an entry that cannot be placed (a path too deep
// or too long) leaves none of the folders made for it.
UnpackResult UnpackArchive(ZipArchive& archive, const UnpackPlan& plan, const QString& destination,
                           const std::function<void(const QString&)>& onFile);

// Unpacks into a folder that is used as it is (no staging, no moving): the walk itself, for tests and
// the fuzz target. The folder must exist and hold no links.
UnpackResult UnpackInto(ZipArchive& archive, const UnpackPlan& plan, const QString& folder,
                        const std::function<void(const QString&)>& onFile);

}  // namespace tova
