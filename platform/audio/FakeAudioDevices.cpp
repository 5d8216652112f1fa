#include "platform/audio/FakeAudioDevices.h"

#include "platform/audio/AudioOutputs.h"

namespace tova {

FakeAudioDevices::FakeAudioDevices() {
    AudioOutputs::setFactory([this] { return std::make_unique<FakeAudioOutput>(config, this); });
}

FakeAudioDevices::~FakeAudioDevices() {
    AudioOutputs::setFactory(nullptr);
    for (FakeAudioOutput* o : outputs_) o->owner_ = nullptr;
}

void FakeAudioDevices::advanceMs(int ms) {
    // Copy: pulling may end a sound, and its owner may then release the stream.
    const std::vector<FakeAudioOutput*> now = outputs_;
    for (FakeAudioOutput* o : now)
        if (o->isRunning()) o->advance(unsigned(qint64(o->sampleRate()) * ms / 1000));
}

}  // namespace tova
