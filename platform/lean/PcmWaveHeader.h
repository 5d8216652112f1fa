#pragma once

#include <array>
#include <cstdint>

namespace tova::lean {

// The canonical 44-byte RIFF/WAVE header of 16-bit PCM data: "RIFF", the size of what follows,
// "WAVE", a 16-byte "fmt " chunk and the "data" chunk header. The wave writers of the tools put it
// before (or beside) `dataBytes` bytes of little-endian samples.
inline constexpr int kPcmWaveHeaderSize = 44;
std::array<char, kPcmWaveHeaderSize> pcmWaveHeader(std::uint32_t sampleRate, std::uint16_t channels,
                                                   std::uint32_t dataBytes);

// Little-endian 16-bit values, as the wave files hold them.
inline void putLittle16(char* at, std::int16_t v) {
    at[0] = char(std::uint16_t(v) & 0xFF);
    at[1] = char(std::uint16_t(v) >> 8);
}
inline std::int16_t little16(const char* at) {
    return std::int16_t(std::uint16_t(std::uint8_t(at[0]) | (std::uint16_t(std::uint8_t(at[1])) << 8)));
}

}  // namespace tova::lean
