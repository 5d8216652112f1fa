#pragma once

#include "platform/audio/AudioOutput.h"

#include <functional>
#include <memory>

namespace tova {

// The place where the program gets its output streams: the machine's audio system by default,
// a fake in tests.
class AudioOutputs {
public:
    using Factory = std::function<std::unique_ptr<AudioOutput>()>;
    static std::unique_ptr<AudioOutput> create();
    // Installs a factory; an empty one restores the machine's audio system.
    static void setFactory(Factory factory);
};

}  // namespace tova
