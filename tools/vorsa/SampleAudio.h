#pragma once

#include <string>

#include <vector>

namespace tova::vorsa {

// Reads a voice sample of any common format (wave or AIFF; 8-, 16-, 24-, 32-bit or float; any number
// of channels; any rate) into one channel of floats at 44100 Hz, full scale 1.0. Channels are
// averaged; other rates are converted with a band-limited sinc converter.
class SampleAudio {
public:
    // The longest sample read: a file that claims or decodes to more is refused (a few kilobytes of a
    // compressed file can claim hours of sound).
    static constexpr int kMaxSampleSeconds = 600;

    // False (and a description in `error`) when the file cannot be opened or decoded, or is longer than
    // kMaxSampleSeconds.
    static bool load(const std::string& path, std::vector<float>& samples, std::string* error = nullptr);
};

}  // namespace tova::vorsa
