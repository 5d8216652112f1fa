#pragma once

#include <cstdint>

namespace tova {

// Reads and writes of whole byte ranges of an open file at a given offset, retrying interrupted and
// partial transfers. False on a failure (and for a read, on an early end of the file).
bool readAt(int fd, char* into, std::int64_t size, std::int64_t offset);
bool writeAt(int fd, const char* from, std::int64_t size, std::int64_t offset);

}  // namespace tova
