#include "platform/lean/PcmWaveHeader.h"

#include <cstring>

namespace tova::lean {
namespace {

void put32(char* at, std::uint32_t v) {
    for (int k = 0; k < 4; ++k) at[k] = char((v >> (8 * k)) & 0xFF);
}

void put16(char* at, std::uint16_t v) { putLittle16(at, std::int16_t(v)); }

}  // namespace

std::array<char, kPcmWaveHeaderSize> pcmWaveHeader(std::uint32_t sampleRate, std::uint16_t channels,
                                                   std::uint32_t dataBytes) {
    const std::uint16_t blockAlign = std::uint16_t(channels * 2);
    std::array<char, kPcmWaveHeaderSize> h{};
    std::memcpy(h.data(), "RIFF", 4);
    put32(h.data() + 4, 36 + dataBytes);
    std::memcpy(h.data() + 8, "WAVEfmt ", 8);
    put32(h.data() + 16, 16);
    put16(h.data() + 20, 1);  // PCM
    put16(h.data() + 22, channels);
    put32(h.data() + 24, sampleRate);
    put32(h.data() + 28, sampleRate * blockAlign);  // bytes per second
    put16(h.data() + 32, blockAlign);               // bytes per frame
    put16(h.data() + 34, 16);                       // bits per sample
    std::memcpy(h.data() + 36, "data", 4);
    put32(h.data() + 40, dataBytes);
    return h;
}

}  // namespace tova::lean
