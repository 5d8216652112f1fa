#pragma once

#include "platform/audio/FakeAudioOutput.h"

#include <vector>

namespace tova {

// Makes every output stream of the program a `FakeAudioOutput` for the life of the object and
// keeps track of them, so a test can play the clock of all devices at once.
class FakeAudioDevices {
public:
    FakeAudioOutput::Config config;

    FakeAudioDevices();
    ~FakeAudioDevices();
    FakeAudioDevices(const FakeAudioDevices&) = delete;
    FakeAudioDevices& operator=(const FakeAudioDevices&) = delete;

    // The streams that exist now, oldest first.
    const std::vector<FakeAudioOutput*>& outputs() const { return outputs_; }
    // Lets `ms` milliseconds pass on every running stream.
    void advanceMs(int ms);

private:
    std::vector<FakeAudioOutput*> outputs_;
    friend class FakeAudioOutput;
};

}  // namespace tova
