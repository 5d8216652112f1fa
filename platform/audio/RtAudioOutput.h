#pragma once

#include "platform/audio/AudioOutput.h"

#include <memory>

class RtAudio;

namespace tova {

// An output stream of the machine's audio system through RtAudio. `api` names the sound system to
// use ("jack", "pulse", "alsa"); empty lets RtAudio pick the first one that has devices.
class RtAudioOutput : public AudioOutput {
public:
    explicit RtAudioOutput(const QString& api = QString());
    ~RtAudioOutput() override;

    bool open(int wantedRate, Pull pull, QString* error) override;
    int sampleRate() const override { return rate_; }
    int channels() const override { return channels_; }
    bool start(QString* error) override;
    void stop() override;
    bool isRunning() const override;
    void close() override;

private:
    static int callback(void* out, void* in, unsigned frames, double time, unsigned status, void* self);

    QString api_;
    std::unique_ptr<RtAudio> audio_;
    Pull pull_;
    int rate_ = 0;
    int channels_ = 0;
};

}  // namespace tova
