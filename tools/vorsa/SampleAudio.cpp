#include "tools/vorsa/SampleAudio.h"

#include "platform/lean/PcmWaveHeader.h"
#include "platform/lean/SampleRateLibrary.h"
#include "platform/lean/SoundFileLibrary.h"
#include "tools/vorsa/RenderConstants.h"


#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

namespace tova::vorsa {

namespace {

// A plain wave (the canonical 44-byte header of 16-bit mono PCM at 44100 Hz, then exactly the samples
// it announces) read straight from the file: each sample s becomes s / 32768, the value the sound-file
// library gives. False for any other file, which goes to the library.
bool loadPlainWave(const std::string& name, std::vector<float>& samples) {
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st {};
    bool done = false;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > lean::kPcmWaveHeaderSize &&
        (st.st_size - lean::kPcmWaveHeaderSize) % 2 == 0 && st.st_size - lean::kPcmWaveHeaderSize <= 0xFFFFFFFFLL - 36) {
        const std::size_t dataBytes = std::size_t(st.st_size - lean::kPcmWaveHeaderSize);
        const std::size_t count = dataBytes / 2;
        // The file is read into the upper part of the samples' own memory (header and 16-bit samples
        // ending where the floats end) and turned into floats from the front: float i goes to bytes
        // 4i..4i+3, below the 16-bit sample i + 1 still to be read, so no second buffer is filled. A
        // wave too short for that (under 22 samples) is read into a buffer of its own.
        samples.resize(count);
        char* memory = reinterpret_cast<char*>(samples.data());
        std::vector<char> own;
        char* bytes = nullptr;
        if (count * 4 >= std::size_t(st.st_size)) {
            bytes = memory + count * 4 - std::size_t(st.st_size);
        } else {
            own.resize(std::size_t(st.st_size));
            bytes = own.data();
        }
        std::size_t got = 0;
        while (got < std::size_t(st.st_size)) {
            const ssize_t n = ::read(fd, bytes + got, std::size_t(st.st_size) - got);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += std::size_t(n);
        }
        const auto plain = lean::pcmWaveHeader(kSampleRate, 1, std::uint32_t(dataBytes));
        if (got == std::size_t(st.st_size) && std::memcmp(bytes, plain.data(), lean::kPcmWaveHeaderSize) == 0) {
            const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes) + lean::kPcmWaveHeaderSize;
            for (std::size_t i = 0; i < count; ++i) {
                const float v = float(int16_t(uint16_t(p[2 * i] | (p[2 * i + 1] << 8)))) / 32768.0f;
                std::memcpy(memory + 4 * i, &v, sizeof v);
            }
            done = true;
        } else {
            samples.clear();
        }
    }
    ::close(fd);
    return done;
}

}  // namespace

bool SampleAudio::load(const std::string& path, std::vector<float>& samples, std::string* error) {
    samples.clear();
    if (loadPlainWave(path, samples)) return true;
    const lean::SoundFileLibrary& library = lean::SoundFileLibrary::instance();
    // Opened without waiting and only as a regular file: a pipe swapped in for a sample must not hold
    // the renderer.
    // The descriptor stays ours (closed on every way out, after the library's file).
    SF_INFO info{};
    SNDFILE* file = nullptr;
    struct Descriptor {
        int fd = -1;
        ~Descriptor() {
            if (fd >= 0) ::close(fd);
        }
    } descriptor;
    if (library.available()) {
        descriptor.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        struct stat st {};
        if (descriptor.fd >= 0 && (::fstat(descriptor.fd, &st) != 0 || !S_ISREG(st.st_mode))) {
            if (error) *error = "cannot read " + path + ": not a regular file";
            return false;
        }
        if (descriptor.fd >= 0) file = library.openFd(descriptor.fd, SFM_READ, &info, SF_FALSE);
    }
    if (!file) {
        const std::string reason = library.available() ? library.error(nullptr) : "the sound-file library cannot be loaded";
        if (error) *error = "cannot read " + path + ": " + reason;
        return false;
    }
    const int channels = info.channels;
    if (channels <= 0 || info.samplerate <= 0) {
        library.close(file);
        if (error) *error = "cannot read " + path + ": no audio";
        return false;
    }
    // A compressed file can claim (or hold) far more sound than its size suggests: a sample longer than
    // any voice sample is refused before anything is set aside for it, and decoding never goes past
    // that length whatever the header said.
    const sf_count_t maxFrames = sf_count_t(kMaxSampleSeconds) * info.samplerate;
    const auto tooLong = [&] {
        library.close(file);
        if (error)
            *error = "cannot read " + path + ": it holds more than the " + std::to_string(kMaxSampleSeconds) +
                     " seconds of sound a voice sample may have";
        return false;
    };
    if (info.frames > maxFrames) return tooLong();
    std::vector<float> block(4096 * static_cast<size_t>(channels));
    std::vector<float> mono;
    if (info.frames > 0) mono.reserve(static_cast<size_t>(info.frames));
    for (;;) {
        const sf_count_t got = library.readFloat(file, block.data(), 4096);
        if (got <= 0) break;
        if (sf_count_t(mono.size()) + got > maxFrames) return tooLong();
        for (sf_count_t f = 0; f < got; ++f) {
            float sum = 0.0f;
            for (int c = 0; c < channels; ++c) sum += block[f * channels + c];
            mono.push_back(sum / channels);
        }
    }
    library.close(file);

    if (info.samplerate == kSampleRate || mono.empty()) {
        samples = std::move(mono);
        return true;
    }
    const double ratio = static_cast<double>(kSampleRate) / info.samplerate;
    samples.resize(static_cast<size_t>(mono.size() * ratio) + 16);
    SRC_DATA data{};
    data.data_in = mono.data();
    data.input_frames = static_cast<long>(mono.size());
    data.data_out = samples.data();
    data.output_frames = static_cast<long>(samples.size());
    data.src_ratio = ratio;
    data.end_of_input = 1;
    const lean::SampleRateLibrary& converter = lean::SampleRateLibrary::instance();
    if (!converter.available()) {
        samples.clear();
        if (error) *error = "cannot convert the rate of " + path + ": the sample-rate library cannot be loaded";
        return false;
    }
    const int failure = converter.simple(&data, SRC_SINC_MEDIUM_QUALITY, 1);
    if (failure != 0) {
        samples.clear();
        if (error) *error = "cannot convert the rate of " + path + ": " + converter.error(failure);
        return false;
    }
    samples.resize(static_cast<size_t>(data.output_frames_gen));
    return true;
}

}  // namespace tova::vorsa
