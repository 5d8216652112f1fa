#include "platform/audio/AudioOutputs.h"

#include "platform/audio/RtAudioOutput.h"

namespace tova {
namespace {
AudioOutputs::Factory& factory() {
    static AudioOutputs::Factory f;
    return f;
}
}  // namespace

std::unique_ptr<AudioOutput> AudioOutputs::create() {
    if (factory()) return factory()();
    return std::make_unique<RtAudioOutput>();
}

void AudioOutputs::setFactory(Factory f) { factory() = std::move(f); }

}  // namespace tova
