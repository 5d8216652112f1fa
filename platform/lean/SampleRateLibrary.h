#pragma once

#include <samplerate.h>

namespace tova::lean {

// The sample-rate converter library, loaded with dlopen at the first input that is not at 44100 Hz.
// The tools read samples at that rate on nearly every call; linking the library would make every start
// load it (and cost a note-by-note render more than the conversion ever does). `available()` is false
// when the library cannot be loaded (an input needing conversion then cannot be read).
class SampleRateLibrary {
public:
    static const SampleRateLibrary& instance();

    bool available() const { return simple != nullptr; }

    int (*simple)(SRC_DATA* data, int converter, int channels) = nullptr;
    const char* (*error)(int code) = nullptr;

private:
    SampleRateLibrary();
};

}  // namespace tova::lean
