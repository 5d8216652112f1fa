#include "platform/audio/FakeAudioOutput.h"

#include "platform/audio/FakeAudioDevices.h"

#include <algorithm>

namespace tova {

FakeAudioOutput::FakeAudioOutput(const Config& config, FakeAudioDevices* owner) : config_(config), owner_(owner) {
    if (owner_) owner_->outputs_.push_back(this);
}

FakeAudioOutput::~FakeAudioOutput() {
    if (owner_) {
        auto& list = owner_->outputs_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

bool FakeAudioOutput::open(int wantedRate, Pull pull, QString* error) {
    if (config_.failOpen) {
        if (error) *error = QStringLiteral("no audio output device");
        return false;
    }
    rate_ = config_.rate > 0 ? config_.rate : wantedRate;
    pull_ = std::move(pull);
    open_ = true;
    return true;
}

bool FakeAudioOutput::start(QString* error) {
    if (!open_ || config_.failStart) {
        if (error) *error = QStringLiteral("the device refused to start");
        return false;
    }
    running_ = true;
    return true;
}

void FakeAudioOutput::close() {
    running_ = false;
    open_ = false;
    pull_ = nullptr;
}

void FakeAudioOutput::advance(unsigned frames) {
    if (!running_ || !pull_ || frames == 0) return;
    std::vector<float> block(size_t(frames) * size_t(config_.channels), -99.0f);
    pull_(block.data(), frames);
    played_.insert(played_.end(), block.begin(), block.end());
    pulled_ += frames;
}

}  // namespace tova
