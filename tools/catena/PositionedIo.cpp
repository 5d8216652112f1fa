#include "tools/catena/PositionedIo.h"

#include <unistd.h>

#include <cerrno>
#include <cstddef>

namespace tova {

bool readAt(int fd, char* into, std::int64_t size, std::int64_t offset) {
    while (size > 0) {
        const ssize_t got = ::pread(fd, into, std::size_t(size), off_t(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        into += got;
        size -= got;
        offset += got;
    }
    return true;
}

bool writeAt(int fd, const char* from, std::int64_t size, std::int64_t offset) {
    while (size > 0) {
        const ssize_t done = ::pwrite(fd, from, std::size_t(size), off_t(offset));
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        from += done;
        size -= done;
        offset += done;
    }
    return true;
}

}  // namespace tova
