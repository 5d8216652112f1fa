#pragma once

#include "../exchange/ExchangeFakes.h"

#include "core/WindowRegistry.h"
#include "mainwindow/ui/WindowLoaders.h"
#include "platform/midi/FakeMidiSystem.h"

namespace tova::test {

// Every window of the program registered for loading, on a fake voice bank and a fake MIDI system (no
// window may reach the machine's devices); the loaders are taken out again when it goes.
struct RegisteredWindows {
    RegisteredWindows() { RegisterWindowLoaders(voices); }
    ~RegisteredWindows() {
        for (const QString& name : WindowRegistry::names()) WindowRegistry::setLoader(name, {});
    }
    RegisteredWindows(const RegisteredWindows&) = delete;
    RegisteredWindows& operator=(const RegisteredWindows&) = delete;

    FakeVoiceBank voices;
    FakeMidiSystem midi;
};

}  // namespace tova::test
