#pragma once

#include <QString>
#include <QtGlobal>

#include <vector>

namespace tova {

// A whole sound in memory as interleaved 32-bit float samples, read from any format the sound-file
// library knows (RIFF/WAVE of any sample type, AIFF, FLAC, ...) and converted for a device.
class AudioClip {
public:
    // The most sound a compressed file is decoded to: a few kilobytes can claim hours.
    static constexpr int kMaxCompressedSeconds = 1800;

    // Reads the file. False (with a description in `error`) when it cannot be read as sound, is no
    // regular file (a pipe is not waited on), claims more plain samples than its bytes hold, or holds
    // more than kMaxCompressedSeconds of compressed sound.
    bool load(const QString& path, QString* error);
    // Converts to `rate` frames per second and `channels` channels: mono is copied to both
    // sides, several channels mix down to mono, and of more than two channels the first two play.
    void convert(int rate, int channels);

    int rate() const { return rate_; }
    int channels() const { return channels_; }
    qint64 frames() const { return channels_ > 0 ? qint64(samples_.size()) / channels_ : 0; }
    const std::vector<float>& samples() const { return samples_; }
    // The length in milliseconds (whole milliseconds, rounded down).
    qint64 lengthMs() const { return rate_ > 0 ? frames() * 1000 / rate_ : 0; }

private:
    void convertChannels(int channels);
    void convertRate(int rate);

    int rate_ = 0;
    int channels_ = 0;
    std::vector<float> samples_;
};

}  // namespace tova
