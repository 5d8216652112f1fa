#pragma once

#include "platform/audio/AudioOutput.h"

#include <QtGlobal>

#include <vector>

namespace tova {

class FakeAudioDevices;

// An output stream for tests. Nothing runs on its own: the test is the device's clock and calls
// `advance`, which pulls frames exactly as a device's callback would.
class FakeAudioOutput : public AudioOutput {
public:
    struct Config {
        int rate = 0;        // 0: plays at whatever rate is wanted
        int channels = 2;
        bool failOpen = false;
        bool failStart = false;
    };

    explicit FakeAudioOutput(const Config& config, FakeAudioDevices* owner = nullptr);
    ~FakeAudioOutput() override;

    bool open(int wantedRate, Pull pull, QString* error) override;
    int sampleRate() const override { return rate_; }
    int channels() const override { return config_.channels; }
    bool start(QString* error) override;
    void stop() override { running_ = false; }
    bool isRunning() const override { return running_; }
    void close() override;

    // The device takes `frames` frames now (only while running).
    void advance(unsigned frames);

    bool isOpen() const { return open_; }
    qint64 framesPulled() const { return pulled_; }
    // Every sample pulled so far, interleaved.
    const std::vector<float>& played() const { return played_; }

private:
    Config config_;
    FakeAudioDevices* owner_;
    Pull pull_;
    int rate_ = 0;
    bool open_ = false;
    bool running_ = false;
    qint64 pulled_ = 0;
    std::vector<float> played_;
    friend class FakeAudioDevices;
};

}  // namespace tova
