#include "tools/vorsa/WaveOutput.h"

#include "platform/lean/Files.h"
#include "platform/lean/PcmWaveHeader.h"
#include "tools/vorsa/RenderConstants.h"

#include <cmath>
#include <cstdint>

namespace tova::vorsa {

std::string WaveOutput::encode(const std::vector<float>& samples) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    const auto header = lean::pcmWaveHeader(kSampleRate, 1, dataBytes);
    std::string b(header.data(), header.size());
    b.resize(header.size() + dataBytes);
    char* out = b.data() + header.size();
    for (float s : samples) {
        const double scaled = std::isfinite(s) ? std::nearbyint(static_cast<double>(s) * 32768.0) : 0.0;
        const int v = scaled > 32767.0 ? 32767 : (scaled < -32768.0 ? -32768 : static_cast<int>(scaled));
        lean::putLittle16(out, static_cast<int16_t>(v));
        out += 2;
    }
    return b;
}

bool WaveOutput::write(const std::string& path, const std::vector<float>& samples, std::string* error) {
    // A note file is a render's working file (the render cache makes it again when it is lost): put
    // in place whole, but not waited on to reach the disk, which would cost more than the note.
    return lean::Files::writeAtomically(path, encode(samples), error, false);
}

}  // namespace tova::vorsa
