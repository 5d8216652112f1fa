#include "platform/midi/RtMidiSystem.h"

#include "platform/midi/RtMidiInput.h"
#include "platform/midi/RtMidiOutput.h"

#include <RtMidi.h>

#include <QRegularExpression>

namespace tova {
namespace {

const char* kClientName = "tova";

template <class Port>
bool probe(RtMidi::Api api, unsigned* count) {
    try {
        Port port(api, kClientName);
        *count = port.getPortCount();
        return true;
    } catch (const RtMidiError&) {
        return false;
    }
}

template <class Port>
QStringList names(RtMidi::Api api) {
    QStringList list;
    if (api == RtMidi::UNSPECIFIED) return list;
    try {
        Port port(api, kClientName);
        const unsigned n = port.getPortCount();
        for (unsigned i = 0; i < n; ++i) {
            try {
                const std::string name = port.getPortName(i);
                list << (name.empty() ? QString() : RtMidiSystem::deviceName(name, api == RtMidi::LINUX_ALSA));
            } catch (const RtMidiError&) {
                list << QString();
            }
        }
    } catch (const RtMidiError&) {
    }
    return list;
}

}  // namespace

RtMidiSystem::RtMidiSystem(const QString& api) : api_(api) {}

QString RtMidiSystem::deviceName(const std::string& portName, bool alsa) {
    QString name = QString::fromStdString(portName);
    if (alsa) {
        static const QRegularExpression address(QStringLiteral("\\s+\\d+:\\d+$"));
        name.remove(address);
    }
    return name;
}

int RtMidiSystem::resolveApi(bool input) const {
    if (!api_.isEmpty()) return RtMidi::getCompiledApiByName(api_.toStdString());
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    int firstWorking = RtMidi::UNSPECIFIED;
    for (RtMidi::Api api : apis) {
        unsigned count = 0;
        const bool works = input ? probe<RtMidiIn>(api, &count) : probe<RtMidiOut>(api, &count);
        if (!works) continue;
        if (count > 0) return api;
        if (firstWorking == RtMidi::UNSPECIFIED) firstWorking = api;
    }
    return firstWorking;
}

QStringList RtMidiSystem::inputNames() { return names<RtMidiIn>(RtMidi::Api(resolveApi(true))); }

QStringList RtMidiSystem::outputNames() { return names<RtMidiOut>(RtMidi::Api(resolveApi(false))); }

std::unique_ptr<MidiInputDevice> RtMidiSystem::createInput() {
    return std::make_unique<RtMidiInput>(resolveApi(true));
}

std::unique_ptr<MidiOutputDevice> RtMidiSystem::createOutput() {
    return std::make_unique<RtMidiOutput>(resolveApi(false));
}

}  // namespace tova
