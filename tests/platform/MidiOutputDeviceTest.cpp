// Short MIDI messages go out with as many bytes as their status byte calls for.
#include "platform/midi/FakeMidiSystem.h"

#include <gtest/gtest.h>

using namespace tova;

namespace {

QByteArray bytes(std::initializer_list<int> b) {
    QByteArray a;
    for (int v : b) a.append(char(v));
    return a;
}

TEST(MidiOutputDevice, SendsShortMessagesWithTheirLength) {
    FakeMidiSystem midi;
    midi.outputs = {QStringLiteral("Synth")};
    auto out = midi.createOutput();
    ASSERT_EQ(out->open(0), MidiResult::Ok);
    const struct {
        quint32 packed;
        QByteArray sent;
    } cases[] = {
        {0x643C90, bytes({0x90, 0x3C, 0x64})},  // note on
        {0x05C0, bytes({0xC0, 0x05})},          // program change: one data byte
        {0x0012D3, bytes({0xD3, 0x12})},        // channel pressure
        {0x4000E0, bytes({0xE0, 0x00, 0x40})},  // pitch bend
        {0x71F1, bytes({0xF1, 0x71})},          // time-code quarter frame
        {0x0004F2, bytes({0xF2, 0x04, 0x00})},  // song position
        {0x0000F8, bytes({0xF8})},              // clock
        {0x0000FA, bytes({0xFA})},              // start
    };
    for (const auto& c : cases) {
        midi.sent.clear();
        out->sendShort(c.packed);
        ASSERT_EQ(midi.sent.size(), 1);
        EXPECT_EQ(midi.sent[0].toHex(' '), c.sent.toHex(' '));
    }
    midi.sent.clear();
    out->reset();
    ASSERT_EQ(midi.sent.size(), 16);
    EXPECT_EQ(midi.sent[0], bytes({0xB0, 123, 0}));
    EXPECT_EQ(midi.sent[15], bytes({0xBF, 123, 0}));
}

}  // namespace
