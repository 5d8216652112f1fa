#include "tools/initvox/BankSample.h"

#include "platform/Errors.h"
#include "platform/FileReplace.h"
#include "platform/PcmWave.h"
#include "tools/initvox/SampleShape.h"


#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>

namespace tova::initvox {
namespace {

std::vector<float> resample(const SpokenAudio& audio) {
    if (audio.sampleRate == BankSample::kSampleRate || audio.samples.empty()) return audio.samples;
    const double ratio = BankSample::kSampleRate / audio.sampleRate;
    std::vector<float> out(static_cast<std::size_t>(std::ceil(double(audio.samples.size()) * ratio)) + 16);
    SRC_DATA data{};
    data.data_in = audio.samples.data();
    data.input_frames = static_cast<long>(audio.samples.size());
    data.data_out = out.data();
    data.output_frames = static_cast<long>(out.size());
    data.src_ratio = ratio;
    const int error = src_simple(&data, SRC_SINC_MEDIUM_QUALITY, 1);
    if (error != 0) throw InvalidCallError(QString::fromUtf8(src_strerror(error)));
    out.resize(static_cast<std::size_t>(data.output_frames_gen));
    return out;
}

std::size_t samplesOf(double ms) { return static_cast<std::size_t>(std::lround(ms * BankSample::kSampleRate / 1000.0)); }

}  // namespace

std::vector<qint16> BankSample::fromSpeech(const SpokenAudio& audio) {
    if (audio.sampleRate <= 0.0) throw InvalidCallError(QStringLiteral("speech without a sample rate"));
    const std::vector<float> signal = resample(audio);
    const SampleShape shape = SampleShape::of(signal, kSampleRate);
    if (!shape.hasSound) throw InvalidCallError(QStringLiteral("the speech holds no sound"));

    const std::ptrdiff_t from = std::ptrdiff_t(samplesOf(shape.soundStart)) - std::ptrdiff_t(samplesOf(kLeadMs));
    const std::size_t to = samplesOf(shape.soundEnd) + samplesOf(kTailMs);  // past the end: silence

    const double level = shape.hasVowel ? shape.vowelLevel : shape.peakLevel;
    double gain = std::pow(10.0, (kVowelLevelDb - level) / 20.0);
    float peak = 0.0f;
    for (std::size_t i = std::size_t(std::max<std::ptrdiff_t>(from, 0)); i < std::min(to, signal.size()); ++i) {
        peak = std::max(peak, std::abs(signal[i]));
    }
    const double ceiling = std::pow(10.0, kPeakDb / 20.0);
    if (peak > 0.0f && gain * peak > ceiling) gain = ceiling / peak;

    std::vector<qint16> out;
    out.reserve(std::size_t(std::ptrdiff_t(to) - from));
    for (std::ptrdiff_t i = from; i < std::ptrdiff_t(to); ++i) {
        const double v = i < 0 || std::size_t(i) >= signal.size() ? 0.0 : double(signal[std::size_t(i)]) * gain * 32768.0;
        out.push_back(static_cast<qint16>(std::clamp(std::lround(v), -32768L, 32767L)));
    }
    return out;
}

std::vector<qint16> BankSample::silence() { return std::vector<qint16>(samplesOf(kSilenceMs), 0); }

std::vector<float> BankSample::toFloat(const std::vector<qint16>& values) {
    std::vector<float> out(values.size());
    std::transform(values.begin(), values.end(), out.begin(), [](qint16 v) { return float(v) / 32768.0f; });
    return out;
}

void BankSample::write(const QString& path, const std::vector<qint16>& values) {
    // A 16-bit mono PCM wave, replaced whole: a sample that stands stays when the new one cannot be
    // written.
    QByteArray bytes = PcmWaveHeader(quint32(kSampleRate), 1, quint32(values.size() * 2));
    bytes.reserve(bytes.size() + qsizetype(values.size()) * 2);
    for (const qint16 v : values) {
        bytes.append(char(quint16(v) & 0xFF));
        bytes.append(char(quint16(v) >> 8));
    }
    QString reason;
    if (!ReplaceFile(path, bytes, &reason)) throw FileError(QStringLiteral("%1: %2").arg(path, reason));
}

}  // namespace tova::initvox
