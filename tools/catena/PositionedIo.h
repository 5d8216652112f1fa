#pragma once

#include <QtGlobal>

namespace tova {

// Reads and writes of whole byte ranges of an open file at a given offset, retrying interrupted and
// partial transfers. False on a failure (and for a read, on an early end of the file).
bool readAt(int fd, char* into, qint64 size, qint64 offset);
bool writeAt(int fd, const char* from, qint64 size, qint64 offset);

}  // namespace tova
