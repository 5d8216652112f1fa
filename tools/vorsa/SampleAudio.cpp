#include "tools/vorsa/SampleAudio.h"

#include "platform/PcmWave.h"
#include "platform/SoundFileLibrary.h"
#include "tools/vorsa/RenderConstants.h"

#include <QFile>

#include <samplerate.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace tova::vorsa {

namespace {

// A plain wave (the canonical 44-byte header of 16-bit mono PCM at 44100 Hz, then exactly the samples
// it announces) read straight from the file: each sample s becomes s / 32768, the value the sound-file
// library gives. False for any other file, which goes to the library.
bool loadPlainWave(const QByteArray& name, std::vector<float>& samples) {
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st {};
    bool done = false;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > PcmWaveHeaderSize &&
        (st.st_size - PcmWaveHeaderSize) % 2 == 0 && st.st_size - PcmWaveHeaderSize <= 0xFFFFFFFFLL - 36) {
        const std::size_t dataBytes = std::size_t(st.st_size - PcmWaveHeaderSize);
        std::vector<char> bytes(std::size_t(st.st_size));
        std::size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += std::size_t(n);
        }
        const QByteArray plain = PcmWaveHeader(kSampleRate, 1, quint32(dataBytes));
        if (got == bytes.size() && std::memcmp(bytes.data(), plain.constData(), PcmWaveHeaderSize) == 0) {
            samples.resize(dataBytes / 2);
            const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data()) + PcmWaveHeaderSize;
            for (std::size_t i = 0; i < samples.size(); ++i)
                samples[i] = float(int16_t(uint16_t(p[2 * i] | (p[2 * i + 1] << 8)))) / 32768.0f;
            done = true;
        }
    }
    ::close(fd);
    return done;
}

}  // namespace

bool SampleAudio::load(const QString& path, std::vector<float>& samples, QString* error) {
    samples.clear();
    const QByteArray name = QFile::encodeName(path);
    if (loadPlainWave(name, samples)) return true;
    const SoundFileLibrary& library = SoundFileLibrary::instance();
    SF_INFO info{};
    SNDFILE* file = library.available() ? library.open(name.constData(), SFM_READ, &info) : nullptr;
    if (!file) {
        const QString reason = library.available() ? QString::fromUtf8(library.error(nullptr))
                                                   : QStringLiteral("the sound-file library cannot be loaded");
        if (error) *error = QStringLiteral("cannot read %1: %2").arg(path, reason);
        return false;
    }
    const int channels = info.channels;
    if (channels <= 0 || info.samplerate <= 0) {
        library.close(file);
        if (error) *error = QStringLiteral("cannot read %1: no audio").arg(path);
        return false;
    }
    std::vector<float> interleaved;
    std::vector<float> block(4096 * static_cast<size_t>(channels));
    std::vector<float> mono;
    if (info.frames > 0) mono.reserve(static_cast<size_t>(info.frames));
    for (;;) {
        const sf_count_t got = library.readFloat(file, block.data(), 4096);
        if (got <= 0) break;
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
    const int failure = src_simple(&data, SRC_SINC_MEDIUM_QUALITY, 1);
    if (failure != 0) {
        samples.clear();
        if (error) *error = QStringLiteral("cannot convert the rate of %1: %2").arg(path, QString::fromUtf8(src_strerror(failure)));
        return false;
    }
    samples.resize(static_cast<size_t>(data.output_frames_gen));
    return true;
}

}  // namespace tova::vorsa
