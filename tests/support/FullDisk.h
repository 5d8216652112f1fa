#pragma once

#include <QString>
#include <QStringList>

#include <sys/resource.h>
#include <csignal>

namespace tova::test {

// A full disk as a writer meets it, without root: while an object lives, no file this process writes
// can grow past `bytes` (RLIMIT_FSIZE: a write beyond fails with EFBIG; SIGXFSZ, which would end the
// process, is ignored meanwhile). The old limit and signal action come back at the end.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    struct sigaction oldAction_ {};
};

// The temporary files of the file writer ("<name>.<pid>-<n>.tmp") standing in a folder.
QStringList temporaryFiles(const QString& folder);

// Leaves a temporary file as a save killed while writing `target` leaves it: a child process starts
// writing the file under its temporary name and is killed before it is done. Answers the temporary
// file's name.
QString killedWriterLeftover(const QString& target);

}  // namespace tova::test
