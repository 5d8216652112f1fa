#include "platform/midi/RtMidiInput.h"

#include "platform/midi/MidiResult.h"
#include "platform/midi/RtMidiErrors.h"

#include <RtMidi.h>

namespace tova {

RtMidiInput::RtMidiInput(int api) : api_(api) {}

RtMidiInput::~RtMidiInput() { close(); }

void RtMidiInput::callback(double, std::vector<unsigned char>* message, void* self) {
    // Runs on RtMidi's thread; the signal is queued to the receivers' thread.
    if (!message || message->empty()) return;
    emit static_cast<RtMidiInput*>(self)->received(
        QByteArray(reinterpret_cast<const char*>(message->data()), qsizetype(message->size())));
}

int RtMidiInput::open(int id) {
    close();
    if (api_ == RtMidi::UNSPECIFIED) return MidiResult::NoDriver;
    try {
        auto in = std::make_unique<RtMidiIn>(RtMidi::Api(api_), "tova");
        if (id < 0 || unsigned(id) >= in->getPortCount()) return MidiResult::BadDeviceId;
        // Everything the device sends: system exclusive, clock and time code, active sensing.
        in->ignoreTypes(false, false, false);
        in->setCallback(&RtMidiInput::callback, this);
        in->openPort(unsigned(id), "tova in");
        if (!in->isPortOpen()) return MidiResult::Allocated;
        in_ = std::move(in);
        return MidiResult::Ok;
    } catch (const RtMidiError& e) {
        return RtMidiErrors::code(e);
    }
}

void RtMidiInput::close() {
    if (!in_) return;
    try {
        in_->closePort();
        in_->cancelCallback();
    } catch (const RtMidiError&) {
    }
    in_.reset();
}

}  // namespace tova
