#include "platform/midi/MidiSystem.h"

#include "platform/midi/RtMidiSystem.h"

namespace tova {
namespace {
MidiSystem* gInstalled = nullptr;
}

MidiSystem& MidiSystem::current() {
    if (gInstalled) return *gInstalled;
    static RtMidiSystem machine;
    return machine;
}

void MidiSystem::setCurrent(MidiSystem* system) { gInstalled = system; }

}  // namespace tova
