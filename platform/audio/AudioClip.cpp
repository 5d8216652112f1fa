#include "platform/audio/AudioClip.h"

#include "platform/FileSystem.h"

#include <QFile>

#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>

#include <sys/stat.h>

namespace tova {

namespace {

// Bytes a sample takes in the file for the plain sample types; 0 for compressed ones (a FLAC or Ogg
// file names the sample type it decodes to, not what it stores).
int bytesPerSample(int format) {
    const int container = format & SF_FORMAT_TYPEMASK;
    if (container == SF_FORMAT_FLAC || container == SF_FORMAT_OGG) return 0;
#ifdef SF_FORMAT_MPEG
    if (container == SF_FORMAT_MPEG) return 0;
#endif
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW:
        return 1;
    case SF_FORMAT_PCM_16:
        return 2;
    case SF_FORMAT_PCM_24:
        return 3;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
        return 4;
    case SF_FORMAT_DOUBLE:
        return 8;
    default:
        return 0;
    }
}

}  // namespace

bool AudioClip::load(const QString& path, QString* error) {
    samples_.clear();
    rate_ = 0;
    channels_ = 0;
    // The file may come from another program: opened without waiting, and only a regular file.
    const int fd = FileSystem::openRegularFile(path, error);
    if (fd < 0) return false;
    struct stat st {};
    const qint64 fileSize = ::fstat(fd, &st) == 0 ? qint64(st.st_size) : 0;
    SF_INFO info{};
    SNDFILE* file = sf_open_fd(fd, SFM_READ, &info, SF_TRUE);
    if (!file) {
        if (error) *error = QString::fromLocal8Bit(sf_strerror(nullptr));
        return false;
    }
    if (info.channels <= 0 || info.samplerate <= 0 || info.frames < 0) {
        sf_close(file);
        if (error) *error = QStringLiteral("the file holds no usable sound");
        return false;
    }
    // What the header claims is set aside below: it must be sound the file can hold. Plain sample
    // data cannot be more than the file's bytes; compressed data is held to kMaxCompressedSeconds.
    const int bytes = bytesPerSample(info.format);
    const bool fits = bytes > 0 ? info.frames <= fileSize / bytes / info.channels
                                : info.frames <= sf_count_t(kMaxCompressedSeconds) * info.samplerate;
    if (!fits) {
        sf_close(file);
        if (error)
            *error = bytes > 0 ? QStringLiteral("the file claims more sound than it holds")
                               : QStringLiteral("the file holds more than %1 seconds of compressed sound")
                                     .arg(kMaxCompressedSeconds);
        return false;
    }
    std::vector<float> data(size_t(info.frames) * size_t(info.channels));
    const sf_count_t got = data.empty() ? 0 : sf_readf_float(file, data.data(), info.frames);
    sf_close(file);
    if (got < 0) {
        if (error) *error = QStringLiteral("the file cannot be read");
        return false;
    }
    data.resize(size_t(got) * size_t(info.channels));
    samples_ = std::move(data);
    rate_ = info.samplerate;
    channels_ = info.channels;
    return true;
}

void AudioClip::convert(int rate, int channels) {
    if (channels <= 0 || rate <= 0 || channels_ <= 0) return;
    // Fewer channels first when mixing down, so the rate conversion has less to do.
    if (channels < channels_) {
        convertChannels(channels);
        convertRate(rate);
    } else {
        convertRate(rate);
        convertChannels(channels);
    }
}

void AudioClip::convertChannels(int channels) {
    if (channels == channels_) return;
    const qint64 n = frames();
    std::vector<float> out(size_t(n) * size_t(channels));
    for (qint64 f = 0; f < n; ++f) {
        const float* in = samples_.data() + f * channels_;
        float* o = out.data() + f * channels;
        if (channels == 1) {
            float sum = 0;
            for (int c = 0; c < channels_; ++c) sum += in[c];
            o[0] = sum / float(channels_);
        } else {
            for (int c = 0; c < channels; ++c) o[c] = channels_ == 1 ? in[0] : (c < channels_ ? in[c] : 0.0f);
        }
    }
    samples_ = std::move(out);
    channels_ = channels;
}

void AudioClip::convertRate(int rate) {
    if (rate == rate_) return;
    const qint64 n = frames();
    const double ratio = double(rate) / double(rate_);
    if (n == 0) {
        rate_ = rate;
        return;
    }
    const qint64 outFrames = qint64(std::ceil(double(n) * ratio)) + 1;
    std::vector<float> out(size_t(outFrames) * size_t(channels_));
    SRC_DATA d{};
    d.data_in = samples_.data();
    d.input_frames = long(n);
    d.data_out = out.data();
    d.output_frames = long(outFrames);
    d.src_ratio = ratio;
    d.end_of_input = 1;
    if (src_simple(&d, SRC_SINC_MEDIUM_QUALITY, channels_) != 0) {
        // The converter refused (it cannot on a valid ratio): fall back to the nearest frame.
        for (qint64 f = 0; f < outFrames; ++f) {
            const qint64 src = std::min(n - 1, qint64(double(f) / ratio));
            std::copy_n(samples_.data() + src * channels_, channels_, out.data() + f * channels_);
        }
        d.output_frames_gen = long(outFrames);
    }
    out.resize(size_t(d.output_frames_gen) * size_t(channels_));
    samples_ = std::move(out);
    rate_ = rate;
}

}  // namespace tova
