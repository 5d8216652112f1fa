#include "platform/midi/RtMidiOutput.h"

#include "platform/midi/MidiResult.h"
#include "platform/midi/RtMidiErrors.h"

#include <RtMidi.h>

namespace tova {

RtMidiOutput::RtMidiOutput(int api) : api_(api) {}

RtMidiOutput::~RtMidiOutput() { close(); }

int RtMidiOutput::open(int id) {
    close();
    if (api_ == RtMidi::UNSPECIFIED) return MidiResult::NoDriver;
    try {
        auto out = std::make_unique<RtMidiOut>(RtMidi::Api(api_), "tova");
        if (id < 0 || unsigned(id) >= out->getPortCount()) return MidiResult::BadDeviceId;
        out->openPort(unsigned(id), "tova out");
        if (!out->isPortOpen()) return MidiResult::Allocated;
        out_ = std::move(out);
        return MidiResult::Ok;
    } catch (const RtMidiError& e) {
        return RtMidiErrors::code(e);
    }
}

void RtMidiOutput::close() {
    if (!out_) return;
    try {
        out_->closePort();
    } catch (const RtMidiError&) {
    }
    out_.reset();
}

void RtMidiOutput::send(const QByteArray& bytes) {
    if (!out_ || bytes.isEmpty()) return;
    try {
        out_->sendMessage(reinterpret_cast<const unsigned char*>(bytes.constData()), size_t(bytes.size()));
    } catch (const RtMidiError&) {
        // Sends are not checked by the callers; a device that went away just drops the message.
    }
}

}  // namespace tova
