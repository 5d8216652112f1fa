#include "tools/catena/CatenaInput.h"

#include "platform/lean/Files.h"
#include "platform/lean/PcmWaveHeader.h"
#include "platform/lean/SampleRateLibrary.h"
#include "platform/lean/SoundFileLibrary.h"
#include "tools/catena/PositionedIo.h"


#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>

namespace tova {
namespace {

struct SndCloser {
    void operator()(SNDFILE* f) const { lean::SoundFileLibrary::instance().close(f); }
};
using SndHandle = std::unique_ptr<SNDFILE, SndCloser>;

constexpr double FullScale = 32768.0;

// Reads `frames` frames from the current position and averages the channels.
std::vector<double> readMono(SNDFILE* file, int channels, sf_count_t frames) {
    std::vector<double> mono;
    if (frames <= 0) return mono;
    std::vector<double> block(std::size_t(frames) * std::size_t(channels));
    const sf_count_t got = lean::SoundFileLibrary::instance().readDouble(file, block.data(), frames);
    mono.resize(std::size_t(std::max<sf_count_t>(got, 0)));
    for (std::size_t i = 0; i < mono.size(); ++i) {
        double sum = 0;
        for (int c = 0; c < channels; ++c) sum += block[i * std::size_t(channels) + std::size_t(c)];
        mono[i] = sum / channels * FullScale;
    }
    return mono;
}

// A whole sound converted to 44100 Hz.
std::vector<double> resampled(const std::vector<double>& in, int rate) {
    if (in.empty()) return {};
    const double ratio = double(CatenaInput::SampleRate) / rate;
    std::vector<float> src(in.size());
    for (std::size_t i = 0; i < in.size(); ++i) src[i] = float(in[i] / FullScale);
    std::vector<float> dst(std::size_t(double(in.size()) * ratio) + 16);
    SRC_DATA data{};
    data.data_in = src.data();
    data.input_frames = long(src.size());
    data.data_out = dst.data();
    data.output_frames = long(dst.size());
    data.src_ratio = ratio;
    const lean::SampleRateLibrary& converter = lean::SampleRateLibrary::instance();
    if (!converter.available() || converter.simple(&data, SRC_SINC_MEDIUM_QUALITY, 1) != 0) return {};
    std::vector<double> out(std::size_t(data.output_frames_gen));
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = double(dst[i]) * FullScale;
    return out;
}

// `count` little-endian 16-bit samples as doubles.
void widen(const char* from, std::size_t count, double* to) {
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; i + 8 <= count; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i * 2));
        // Each 16-bit sample into the upper half of a 32-bit lane, then shifted down with its sign.
        const __m128i low = _mm_srai_epi32(_mm_unpacklo_epi16(v, v), 16);
        const __m128i high = _mm_srai_epi32(_mm_unpackhi_epi16(v, v), 16);
        _mm_storeu_pd(to + i, _mm_cvtepi32_pd(low));
        _mm_storeu_pd(to + i + 2, _mm_cvtepi32_pd(_mm_shuffle_epi32(low, _MM_SHUFFLE(1, 0, 3, 2))));
        _mm_storeu_pd(to + i + 4, _mm_cvtepi32_pd(high));
        _mm_storeu_pd(to + i + 6, _mm_cvtepi32_pd(_mm_shuffle_epi32(high, _MM_SHUFFLE(1, 0, 3, 2))));
    }
#endif
    for (; i < count; ++i) to[i] = double(lean::little16(from + i * 2));
}

// The notes rendered by tool 2 (and most samples) are plain waves: the 44-byte header of 16-bit mono
// PCM at 44100 Hz followed by exactly the samples it announces. Their samples are read straight from
// the file, giving the values the sound-file library gives (a 16-bit sample s reads as s); anything
// else goes to the library. A plain wave of up to HeldBytes is read whole, header and samples in one
// read, into `held`. Answers the samples of a plain wave, -1 for another file, -2 for no file.
constexpr std::int64_t HeldBytes = std::int64_t(1) << 20;

std::int64_t plainWaveFrames(int fd, std::unique_ptr<char[]>& held) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return -1;
    if (!S_ISREG(st.st_mode)) return -2;
    const std::int64_t size = st.st_size;
    constexpr int headerSize = lean::kPcmWaveHeaderSize;
    if (size <= headerSize || (size - headerSize) % 2 != 0 ||
        size - headerSize > std::int64_t(std::numeric_limits<std::uint32_t>::max()) - 36)
        return -1;
    std::unique_ptr<char[]> whole;
    char head[headerSize];
    if (size <= HeldBytes) {
        whole = std::make_unique_for_overwrite<char[]>(std::size_t(size));
        if (!readAt(fd, whole.get(), size, 0)) return -1;
    } else if (!readAt(fd, head, headerSize, 0)) {
        return -1;
    }
    const auto plain = lean::pcmWaveHeader(CatenaInput::SampleRate, 1, std::uint32_t(size - headerSize));
    if (std::memcmp(whole ? whole.get() : head, plain.data(), headerSize) != 0) return -1;
    held = std::move(whole);
    return (size - headerSize) / 2;
}

}  // namespace

CatenaInput::CatenaInput(const std::string& path) {
    if (path.empty()) return;
    fd_ = lean::Files::openResolved(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK, 0, &path_);
    const std::int64_t frames = fd_ >= 0 ? plainWaveFrames(fd_, held_) : -1;
    if (frames >= 0 || frames == -2) {
        kind_ = frames < 0 ? Kind::Silent : held_ ? Kind::Held : Kind::Plain;
        frames_ = std::max<std::int64_t>(frames, 0);
    }
    // Only a plain wave too large to hold is read from the file later.
    if (fd_ >= 0 && kind_ != Kind::Plain) {
        ::close(fd_);
        fd_ = -1;
    }
    if (frames == -1) openLibrary(path_);
}

CatenaInput::~CatenaInput() {
    if (fd_ >= 0) ::close(fd_);
    if (file_) lean::SoundFileLibrary::instance().close(static_cast<SNDFILE*>(file_));
}

void CatenaInput::openLibrary(const std::string& resolved) {
    kind_ = Kind::Silent;
    struct stat st {};
    if (::stat(resolved.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
    const lean::SoundFileLibrary& library = lean::SoundFileLibrary::instance();
    if (!library.available()) return;
    SF_INFO info{};
    SndHandle file(library.open(resolved.c_str(), SFM_READ, &info));
    if (!file || info.channels <= 0 || info.samplerate <= 0 || info.frames <= 0) return;
    // Floats beyond full scale stay beyond it here; mixing saturates them.
    library.command(file.get(), SFC_SET_NORM_DOUBLE, nullptr, SF_TRUE);
    if (info.samplerate == SampleRate) {
        // Read block by block: only the stretch in use.
        channels_ = info.channels;
        frames_ = info.frames;
        file_ = file.release();
        kind_ = Kind::Library;
        return;
    }
    // Another rate: the whole sound converted once.
    whole_ = resampled(readMono(file.get(), info.channels, info.frames), info.samplerate);
    kind_ = Kind::Whole;
}

void CatenaInput::read(std::int64_t first, double* out, std::size_t count) {
    const std::int64_t end = first + std::int64_t(count);
    if (kind_ == Kind::Held) {
        // Each sample written once: silence before the sound's start and past its end, its samples between.
        const std::int64_t from = std::max<std::int64_t>(first, 0), to = std::min<std::int64_t>(end, frames_);
        if (from >= to) {
            std::fill(out, out + count, 0.0);
            return;
        }
        std::fill(out, out + (from - first), 0.0);
        widen(held_.get() + lean::kPcmWaveHeaderSize + from * 2, std::size_t(to - from), out + (from - first));
        std::fill(out + (to - first), out + count, 0.0);
        return;
    }
    std::fill(out, out + count, 0.0);
    switch (kind_) {
    case Kind::Silent:
        return;
    case Kind::Plain: {
        const std::int64_t from = std::max<std::int64_t>(first, 0), to = std::min<std::int64_t>(end, frames_);
        if (from >= to) return;
        bytes_.resize(std::size_t(to - from) * 2);
        if (readAt(fd_, bytes_.data(), std::int64_t(bytes_.size()), lean::kPcmWaveHeaderSize + from * 2)) {
            widen(bytes_.data(), std::size_t(to - from), out + (from - first));
            return;
        }
        // A file that changed under us: the library reads what it can.
        ::close(fd_);
        fd_ = -1;
        openLibrary(path_);
        read(first, out, count);
        return;
    }
    case Kind::Held:  // above
    case Kind::Library: {
        const std::int64_t from = std::max<std::int64_t>(first, 0), to = std::min<std::int64_t>(end, frames_);
        if (from >= to) return;
        SNDFILE* file = static_cast<SNDFILE*>(file_);
        if (lean::SoundFileLibrary::instance().seek(file, from, SEEK_SET) < 0) return;
        const std::vector<double> mono = readMono(file, channels_, to - from);
        std::copy(mono.begin(), mono.end(), out + (from - first));
        return;
    }
    case Kind::Whole: {
        const std::int64_t from = std::max<std::int64_t>(first, 0), to = std::min<std::int64_t>(end, std::int64_t(whole_.size()));
        if (from < to) std::copy(whole_.begin() + from, whole_.begin() + to, out + (from - first));
        return;
    }
    }
}

std::vector<double> CatenaInput::read(const std::string& path, std::int64_t first, std::int64_t count) {
    std::vector<double> out(std::size_t(std::max<std::int64_t>(count, 0)), 0.0);
    if (out.empty() || path.empty()) return out;
    CatenaInput(path).read(first, out.data(), out.size());
    return out;
}

}  // namespace tova
