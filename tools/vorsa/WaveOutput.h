#pragma once

#include <string>
#include <vector>

namespace tova::vorsa {

// Writes a rendered note: RIFF WAVE, PCM, 16-bit, mono, 44100 Hz, with the canonical 44-byte header.
// The bytes go to a temporary file beside the target that is renamed over it at the end, so a reader
// (the concatenator, a cache lookup) never sees a half-written note.
class WaveOutput {
public:
    // Samples are full scale 1.0; values beyond it saturate.
    static std::string encode(const std::vector<float>& samples);
    static bool write(const std::string& path, const std::vector<float>& samples, std::string* error = nullptr);
};

}  // namespace tova::vorsa
