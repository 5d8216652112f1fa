#include "platform/midi/FakeMidiSystem.h"

namespace tova {

FakeMidiSystem::FakeMidiSystem() { MidiSystem::setCurrent(this); }

FakeMidiSystem::~FakeMidiSystem() { MidiSystem::setCurrent(nullptr); }

std::unique_ptr<MidiInputDevice> FakeMidiSystem::createInput() {
    auto in = std::make_unique<FakeMidiInput>(this);
    lastInput_ = in.get();
    return in;
}

std::unique_ptr<MidiOutputDevice> FakeMidiSystem::createOutput() { return std::make_unique<FakeMidiOutput>(this); }

FakeMidiInput* FakeMidiSystem::openInput() const {
    FakeMidiInput* in = lastInput_.data();
    return in && in->isOpen() ? in : nullptr;
}

int FakeMidiInput::open(int id) {
    close();
    if (id < 0 || id >= owner_->inputs.size()) return MidiResult::BadDeviceId;
    if (owner_->openResult != MidiResult::Ok) return owner_->openResult;
    open_ = true;
    id_ = id;
    ++owner_->inputsOpen;
    return MidiResult::Ok;
}

void FakeMidiInput::close() {
    if (!open_) return;
    open_ = false;
    --owner_->inputsOpen;
}

void FakeMidiInput::inject(const QByteArray& message) {
    if (open_) emit received(message);
}

int FakeMidiOutput::open(int id) {
    close();
    if (id < 0 || id >= owner_->outputs.size()) return MidiResult::BadDeviceId;
    if (owner_->openResult != MidiResult::Ok) return owner_->openResult;
    open_ = true;
    ++owner_->outputsOpen;
    return MidiResult::Ok;
}

void FakeMidiOutput::close() {
    if (!open_) return;
    open_ = false;
    --owner_->outputsOpen;
}

void FakeMidiOutput::send(const QByteArray& bytes) {
    if (open_) owner_->sent << bytes;
}

}  // namespace tova
