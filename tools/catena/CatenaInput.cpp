#include "tools/catena/CatenaInput.h"

#include "platform/FileSystem.h"

#include <QFile>
#include <QFileInfo>

#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <memory>

namespace tova {
namespace {

struct SndCloser {
    void operator()(SNDFILE* f) const { sf_close(f); }
};
using SndHandle = std::unique_ptr<SNDFILE, SndCloser>;

constexpr double FullScale = 32768.0;

// Reads `frames` frames from the current position and averages the channels.
std::vector<double> readMono(SNDFILE* file, int channels, sf_count_t frames) {
    std::vector<double> mono;
    if (frames <= 0) return mono;
    std::vector<double> block(std::size_t(frames) * std::size_t(channels));
    const sf_count_t got = sf_readf_double(file, block.data(), frames);
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
    if (src_simple(&data, SRC_SINC_MEDIUM_QUALITY, 1) != 0) return {};
    std::vector<double> out(std::size_t(data.output_frames_gen));
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = double(dst[i]) * FullScale;
    return out;
}

}  // namespace

std::vector<double> CatenaInput::read(const QString& path, qint64 first, qint64 count) {
    std::vector<double> out(std::size_t(std::max<qint64>(count, 0)), 0.0);
    if (out.empty() || path.isEmpty()) return out;

    const QString resolved = FileSystem::resolve(path);
    if (!QFileInfo(resolved).isFile()) return out;
    SF_INFO info{};
    SndHandle file(sf_open(QFile::encodeName(resolved).constData(), SFM_READ, &info));
    if (!file || info.channels <= 0 || info.samplerate <= 0 || info.frames <= 0) return out;
    // Floats beyond full scale stay beyond it here; mixing saturates them.
    sf_command(file.get(), SFC_SET_NORM_DOUBLE, nullptr, SF_TRUE);

    // The part of `out` that the file covers: out[k] is input sample first + k.
    auto copyFrom = [&](const std::vector<double>& samples, qint64 samplesStart) {
        for (std::size_t k = 0; k < out.size(); ++k) {
            const qint64 pos = first + qint64(k) - samplesStart;
            if (pos >= 0 && pos < qint64(samples.size())) out[k] = samples[std::size_t(pos)];
        }
    };

    if (info.samplerate == SampleRate) {
        // Read only the stretch in use.
        const qint64 from = std::max<qint64>(first, 0);
        const qint64 to = std::min<qint64>(first + count, info.frames);
        if (from >= to) return out;
        if (sf_seek(file.get(), from, SEEK_SET) < 0) return out;
        copyFrom(readMono(file.get(), info.channels, to - from), from);
        return out;
    }
    copyFrom(resampled(readMono(file.get(), info.channels, info.frames), info.samplerate), 0);
    return out;
}

}  // namespace tova
