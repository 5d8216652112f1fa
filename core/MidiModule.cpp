#include "core/MidiModule.h"

#include "core/MidiHost.h"
#include "core/MidiWindowMessage.h"
#include "core/Settings.h"
#include "platform/EventGuard.h"
#include "platform/Vb.h"
#include "platform/midi/MidiSystem.h"

#include <QCoreApplication>

#include <algorithm>
#include <climits>
#include <cstring>

namespace tova {
namespace {

quint32 pack(int status, int data1, int data2) {
    return quint32(status & 0xFF) | (quint32(data1 & 0xFF) << 8) | (quint32(data2 & 0xFF) << 16);
}

constexpr int NoteOnChannel1 = 144;
constexpr int ProgramChangeChannel1 = 192;
constexpr int PreviewVelocity = 100;
constexpr int NoteNumberOffset = 24;  // internal note 0 is MIDI note 24

int findByName(const QStringList& names, const QString& name) {
    for (int id = 0; id < names.size(); ++id)
        if (!names[id].isNull() && names[id] == name) return id;
    return -1;
}

void fillList(const QStringList& names, QStringList& list, int& listIndex, const QString& selectedName) {
    list.clear();
    listIndex = -1;
    for (const QString& n : names) {
        if (n.isNull()) continue;  // a device whose name cannot be read is left out
        list << n;
        if (n == selectedName) listIndex = int(list.size()) - 1;
    }
}

}  // namespace

MidiModule::MidiModule() = default;

MidiModule::~MidiModule() {
    CloseMidiIn();
    CloseMidiOut();
}

MidiModule& MidiModule::instance() {
    static MidiModule module;
    // Devices still open at exit are closed while the application object still exists.
    static const bool cleanup = [] {
        qAddPostRoutine([] {
            MidiModule::instance().CloseMidiIn();
            MidiModule::instance().CloseMidiOut();
        });
        return true;
    }();
    Q_UNUSED(cleanup);
    return module;
}

void MidiModule::ListMidiInDevices(QStringList& list, int& listIndex, const QString& selectedName) {
    fillList(MidiSystem::current().inputNames(), list, listIndex, selectedName);
}

void MidiModule::ListMidiOutDevices(QStringList& list, int& listIndex, const QString& selectedName) {
    fillList(MidiSystem::current().outputNames(), list, listIndex, selectedName);
}

int MidiModule::FindMidiInDevice(const QString& name) { return findByName(MidiSystem::current().inputNames(), name); }

int MidiModule::FindMidiOutDevice(const QString& name) {
    return findByName(MidiSystem::current().outputNames(), name);
}

int MidiModule::OpenMidiIn(QString& deviceName, QObject* window) {
    const int id = FindMidiInDevice(deviceName);
    HookMidiWindow(window);
    if (id < 0) {
        deviceName.clear();
        return MidiResult::Error;
    }
    // A second open releases the device of the first instead of leaving it open unreachable.
    if (in_) {
        inStarted_ = false;
        in_->close();
        in_.reset();
        ++inGeneration_;
    }
    std::unique_ptr<MidiInputDevice> device = MidiSystem::current().createInput();
    const quint64 generation = ++inGeneration_;
    connect(
        device.get(), &MidiInputDevice::received, this,
        [this, generation](const QByteArray& message) {
            if (generation == inGeneration_) receive(message);
        },
        Qt::QueuedConnection);
    const int result = device->open(id);
    if (result != MidiResult::Ok) return result;
    in_ = std::move(device);
    inWindow_ = window;
    inBuffer_ = QByteArray(SysExBufferSize, '\0');
    inHeader_ = MidiBufferHeader();
    inHeader_.data = &inBuffer_;
    inHeader_.bufferLength = SysExBufferSize - 1;
    inHeader_.flags = MidiBufferHeader::Prepared;
    addInputBuffer();
    inStarted_ = true;
    return MidiResult::Ok;
}

void MidiModule::CloseMidiIn() {
    if (in_) {
        // Reset hands the queued buffer back, stop ends delivery, then the buffer is unprepared.
        inHeader_.flags &= ~MidiBufferHeader::InQueue;
        inHeader_.flags |= MidiBufferHeader::Done;
        inStarted_ = false;
        inHeader_.flags &= ~MidiBufferHeader::Prepared;
        in_->close();
        in_.reset();
        ++inGeneration_;
        inWindow_ = nullptr;
    }
    UnhookMidiWindow();
}

int MidiModule::OpenMidiOut(QString& deviceName, QObject* window) {
    const int id = FindMidiOutDevice(deviceName);
    if (id < 0) {
        deviceName.clear();
        return MidiResult::Error;
    }
    if (out_) {
        out_->close();
        out_.reset();
    }
    std::unique_ptr<MidiOutputDevice> device = MidiSystem::current().createOutput();
    const int result = device->open(id);
    if (result != MidiResult::Ok) return result;
    out_ = std::move(device);
    outWindow_ = window;
    outBuffer_ = QByteArray(SysExBufferSize, '\0');
    outHeader_ = MidiBufferHeader();
    outHeader_.data = &outBuffer_;
    outHeader_.bufferLength = SysExBufferSize - 1;
    outHeader_.flags = MidiBufferHeader::Prepared;
    const int program = settings().MidiProgramChange;
    if (program >= 1 && program <= 128) out_->sendShort(pack(ProgramChangeChannel1, program - 1, 0));
    return MidiResult::Ok;
}

void MidiModule::CloseMidiOut() {
    if (!out_) return;
    out_->reset();
    outHeader_.flags &= ~MidiBufferHeader::Prepared;
    out_->close();
    out_.reset();
    outWindow_ = nullptr;
}

bool MidiModule::MidiNoteOn(int16_t noteNum) {
    if (out_) {
        const int midiNote = noteNum + NoteNumberOffset;
        // Only real MIDI notes go out; note 0 would also read as "no preview note" and never end.
        if (midiNote < 1 || midiNote > 127) return false;
        if (lastPreviewNote_ != 0) out_->sendShort(pack(NoteOnChannel1, lastPreviewNote_, 0));
        lastPreviewNote_ = int16_t(midiNote);
        out_->sendShort(pack(NoteOnChannel1, midiNote, PreviewVelocity));
        return true;
    }
    if (host_) host_->PlayToneSample(noteNum);
    return false;
}

void MidiModule::MidiNoteOff() {
    if (out_ && lastPreviewNote_ != 0) {
        out_->sendShort(pack(NoteOnChannel1, lastPreviewNote_, 0));
        lastPreviewNote_ = 0;
    }
}

void MidiModule::HookMidiWindow(QObject* window) {
    if (hooked_ && hooked_ == window) return;  // hooked once, however often it is asked
    UnhookMidiWindow();
    if (!window) return;
    hooked_ = window;
    window->installEventFilter(this);
}

void MidiModule::UnhookMidiWindow() {
    if (hooked_) hooked_->removeEventFilter(this);
    hooked_ = nullptr;
}

bool MidiModule::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == MidiWindowMessage::eventType() && watched == hooked_.data()) {
        auto* message = static_cast<MidiWindowMessage*>(event);
        EventGuard::run([&] { windowProc(*message); });
    }
    return false;  // the window's own handling follows
}

void MidiModule::addInputBuffer() {
    if (!in_) return;
    inHeader_.flags &= ~MidiBufferHeader::Done;
    inHeader_.flags |= MidiBufferHeader::InQueue;
}

void MidiModule::receive(const QByteArray& message) {
    if (!in_ || !inStarted_ || message.isEmpty()) return;
    const quint64 generation = inGeneration_;
    const auto stillOpen = [&] { return in_ && inStarted_ && generation == inGeneration_ && inWindow_; };
    if (!stillOpen()) return;
    if (quint8(message[0]) != 0xF0) {
        const int status = quint8(message[0]);
        const int data1 = message.size() > 1 ? quint8(message[1]) : 0;
        const int data2 = message.size() > 2 ? quint8(message[2]) : 0;
        MidiWindowMessage m(MidiWindowMessage::Data, pack(status, data1, data2), nullptr);
        QCoreApplication::sendEvent(inWindow_.data(), &m);
        return;
    }
    // System exclusive: delivered in buffer-sized pieces, each while a buffer is queued; an
    // incomplete message ends with a long-error message.
    const bool complete = quint8(message.back()) == 0xF7;
    qsizetype at = 0;
    while (at < message.size() && stillOpen()) {
        if (!(inHeader_.flags & MidiBufferHeader::InQueue)) return;  // no buffer: the device drops the rest
        const int n = int(std::min<qsizetype>(inHeader_.bufferLength, message.size() - at));
        std::memcpy(inBuffer_.data(), message.constData() + at, size_t(n));
        at += n;
        inHeader_.bytesRecorded = n;
        inHeader_.flags = (inHeader_.flags & ~MidiBufferHeader::InQueue) | MidiBufferHeader::Done;
        const int kind = at >= message.size() && !complete ? MidiWindowMessage::LongError : MidiWindowMessage::LongData;
        MidiWindowMessage m(kind, 0, &inHeader_);
        QCoreApplication::sendEvent(inWindow_.data(), &m);
    }
}

void MidiModule::windowProc(const MidiWindowMessage& message) {
    switch (message.message()) {
    case MidiWindowMessage::Data:
        handleShortMessage(message.packed());
        break;
    case MidiWindowMessage::LongData: {
        const MidiBufferHeader* header = message.header();
        if (!header || header->bytesRecorded <= 0 || !header->data) break;
        const int recorded = header->bytesRecorded;
        outBuffer_ = *header->data;  // the input buffer byte for byte
        inHeader_.flags = 0;
        addInputBuffer();
        if (out_) {
            outHeader_.flags &= ~MidiBufferHeader::Prepared;
            outHeader_.bufferLength = recorded;
            outHeader_.data = &outBuffer_;
            outHeader_.flags = MidiBufferHeader::Prepared;
            out_->send(outBuffer_.left(recorded));
        }
        break;
    }
    case MidiWindowMessage::LongError:
        inHeader_.flags = 0;
        addInputBuffer();
        break;
    default:
        break;
    }
}

void MidiModule::handleShortMessage(quint32 packed) {
    const int status = int(packed & 0xFF);
    const int data1 = int((packed >> 8) & 0xFF);
    const int data2 = int((packed >> 16) & 0xFF);
    if (stepInput_) {
        // A note-on on any channel; velocity 0 is a note-off.
        if ((status >> 4) == 9 && data1 >= NoteNumberOffset && data2 != 0 && host_) {
            QString lyric;
            int32_t note = data1 - NoteNumberOffset;
            int32_t length = 0;
            host_->InsertLyricsFromList(lyric, note, length, false);
        }
    } else if (syncScroll_) {
        switch (status) {
        case 0xF1:  // time-code quarter frame
            handleTimeCode(data1);
            break;
        case 0xF8:  // clock
            if (running_) {
                if (host_) host_->UpdatePlayCursor(clockCount_);
                if (clockCount_ < INT32_MAX) clockCount_ += 1;
            }
            break;
        case 0xF2:  // song position: 6 clocks per unit
            clockCount_ = (data2 * 128 + data1) * 96 / 16;
            break;
        case 0xFA:  // start
        case 0xFB:  // continue
            running_ = true;
            break;
        case 0xFC:  // stop
            running_ = false;
            break;
        default:
            break;
        }
    }
    if (out_) {
        out_->sendShort(packed);
    } else if (settings().MidiSendNote && status == NoteOnChannel1 && data1 >= NoteNumberOffset && data2 != 0) {
        if (host_) host_->PlayToneSample(int16_t(data1 - NoteNumberOffset));
    }
}

void MidiModule::handleTimeCode(int data1) {
    const int piece = data1 / 16;
    timeCode_[size_t(piece)] = int16_t(data1 % 16);
    if (piece != 7) return;
    const int frames = timeCode_[1] * 16 + timeCode_[0];
    const int seconds = timeCode_[3] * 16 + timeCode_[2];
    const int minutes = timeCode_[5] * 16 + timeCode_[4];
    const int hours = (timeCode_[7] * 16 + timeCode_[6]) % 32;  // the rate bits above the hours dropped
    // A frame rate that is not set (0 or less) counts as the usual 30 frames per second.
    const int rate = settings().MTCFrameRate > 0 ? settings().MTCFrameRate : 30;
    int32_t ms = Vb::CLng(((double(hours) * 60 + minutes) * 60 + seconds + double(frames) / rate) * 1000);
    int32_t first = 0;
    int32_t last = 0;
    if (host_) host_->LocateTimeInNotes(first, last, ms);
}

}  // namespace tova
