#pragma once

#include <sndfile.h>

namespace tova::lean {

// The sound-file library, loaded with dlopen at the first file that needs it. A tool that reads only
// plain 16-bit waves (nearly every call) then never loads it nor the codecs it links, and starts as
// fast as a small C program. Holds the few entry points the tools use; `available()` is false when
// the library cannot be loaded (every file it would read then counts as unreadable).
class SoundFileLibrary {
public:
    static const SoundFileLibrary& instance();

    bool available() const { return open != nullptr; }

    SNDFILE* (*open)(const char* path, int mode, SF_INFO* info) = nullptr;
    // Over a descriptor already opened (and checked) by the caller; closes it with the file when
    // `closeDescriptor` is true.
    SNDFILE* (*openFd)(int fd, int mode, SF_INFO* info, int closeDescriptor) = nullptr;
    int (*close)(SNDFILE* file) = nullptr;
    sf_count_t (*readFloat)(SNDFILE* file, float* frames, sf_count_t count) = nullptr;
    sf_count_t (*readDouble)(SNDFILE* file, double* frames, sf_count_t count) = nullptr;
    sf_count_t (*seek)(SNDFILE* file, sf_count_t frames, int whence) = nullptr;
    int (*command)(SNDFILE* file, int command, void* data, int size) = nullptr;
    const char* (*error)(SNDFILE* file) = nullptr;

private:
    SoundFileLibrary();
};

}  // namespace tova::lean
