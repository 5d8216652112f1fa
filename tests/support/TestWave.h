#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace tova::test {

// Writes a 16-bit PCM RIFF/WAVE file (interleaved samples), making its folder.
void writeWave16(const QString& path, int rate, int channels, const std::vector<int16_t>& samples);
// A mono 16-bit wave of `frames` frames whose every sample is `value`.
void writeFlatWave(const QString& path, int rate, int frames, int16_t value);

}  // namespace tova::test
