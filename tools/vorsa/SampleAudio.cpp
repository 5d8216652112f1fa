#include "tools/vorsa/SampleAudio.h"

#include "tools/vorsa/RenderConstants.h"

#include <QFile>

#include <samplerate.h>
#include <sndfile.h>

namespace tova::vorsa {

bool SampleAudio::load(const QString& path, std::vector<float>& samples, QString* error) {
    samples.clear();
    SF_INFO info{};
    const QByteArray name = QFile::encodeName(path);
    SNDFILE* file = sf_open(name.constData(), SFM_READ, &info);
    if (!file) {
        if (error) *error = QStringLiteral("cannot read %1: %2").arg(path, QString::fromUtf8(sf_strerror(nullptr)));
        return false;
    }
    const int channels = info.channels;
    if (channels <= 0 || info.samplerate <= 0) {
        sf_close(file);
        if (error) *error = QStringLiteral("cannot read %1: no audio").arg(path);
        return false;
    }
    std::vector<float> interleaved;
    std::vector<float> block(4096 * static_cast<size_t>(channels));
    std::vector<float> mono;
    if (info.frames > 0) mono.reserve(static_cast<size_t>(info.frames));
    for (;;) {
        const sf_count_t got = sf_readf_float(file, block.data(), 4096);
        if (got <= 0) break;
        for (sf_count_t f = 0; f < got; ++f) {
            float sum = 0.0f;
            for (int c = 0; c < channels; ++c) sum += block[f * channels + c];
            mono.push_back(sum / channels);
        }
    }
    sf_close(file);

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
