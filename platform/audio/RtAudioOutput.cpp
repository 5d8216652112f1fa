#include "platform/audio/RtAudioOutput.h"

#include <RtAudio.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace tova {
namespace {

QString describe(const RtAudioError& e) { return QString::fromStdString(e.getMessage()); }

// The rate the stream runs at: the wanted one when the device lists it, else the device's own.
unsigned chooseRate(const RtAudio::DeviceInfo& info, int wanted) {
    if (wanted > 0 && std::find(info.sampleRates.begin(), info.sampleRates.end(), unsigned(wanted)) !=
                          info.sampleRates.end())
        return unsigned(wanted);
    if (info.preferredSampleRate > 0) return info.preferredSampleRate;
    if (!info.sampleRates.empty()) {
        // The listed rate nearest to the wanted one.
        unsigned best = info.sampleRates.front();
        for (unsigned r : info.sampleRates)
            if (std::abs(int(r) - wanted) < std::abs(int(best) - wanted)) best = r;
        return best;
    }
    return wanted > 0 ? unsigned(wanted) : 44100u;
}

}  // namespace

RtAudioOutput::RtAudioOutput(const QString& api) : api_(api) {}

RtAudioOutput::~RtAudioOutput() { close(); }

int RtAudioOutput::callback(void* out, void*, unsigned frames, double, unsigned, void* self) {
    auto* me = static_cast<RtAudioOutput*>(self);
    if (me->pull_)
        me->pull_(static_cast<float*>(out), frames);
    else
        std::memset(out, 0, sizeof(float) * frames * unsigned(me->channels_));
    return 0;
}

bool RtAudioOutput::open(int wantedRate, Pull pull, QString* error) {
    close();
    try {
        RtAudio::Api api = RtAudio::UNSPECIFIED;
        if (!api_.isEmpty()) {
            api = RtAudio::getCompiledApiByName(api_.toStdString());
            if (api == RtAudio::UNSPECIFIED) {
                if (error) *error = QStringLiteral("sound system \"%1\" is not available").arg(api_);
                return false;
            }
        }
        audio_ = std::make_unique<RtAudio>(api);
        audio_->showWarnings(false);
        const unsigned count = audio_->getDeviceCount();
        if (count == 0) {
            if (error) *error = QStringLiteral("no audio output device");
            audio_.reset();
            return false;
        }
        // The default output device, else the first device that can play.
        unsigned device = audio_->getDefaultOutputDevice();
        RtAudio::DeviceInfo info;
        if (device < count) info = audio_->getDeviceInfo(device);
        if (device >= count || !info.probed || info.outputChannels == 0) {
            bool found = false;
            for (unsigned i = 0; i < count && !found; ++i) {
                info = audio_->getDeviceInfo(i);
                if (info.probed && info.outputChannels > 0) {
                    device = i;
                    found = true;
                }
            }
            if (!found) {
                if (error) *error = QStringLiteral("no audio output device");
                audio_.reset();
                return false;
            }
        }
        RtAudio::StreamParameters params;
        params.deviceId = device;
        params.nChannels = std::min(2u, info.outputChannels);
        params.firstChannel = 0;
        unsigned rate = chooseRate(info, wantedRate);
        unsigned bufferFrames = 512;
        RtAudio::StreamOptions options;
        options.streamName = "tova";
        channels_ = int(params.nChannels);
        pull_ = std::move(pull);
        audio_->openStream(&params, nullptr, RTAUDIO_FLOAT32, rate, &bufferFrames, &RtAudioOutput::callback, this,
                           &options);
        rate_ = int(audio_->getStreamSampleRate());
        if (rate_ <= 0) rate_ = int(rate);
        return true;
    } catch (const RtAudioError& e) {
        if (error) *error = describe(e);
    } catch (const std::exception& e) {
        if (error) *error = QString::fromLocal8Bit(e.what());
    }
    audio_.reset();
    pull_ = nullptr;
    rate_ = 0;
    channels_ = 0;
    return false;
}

bool RtAudioOutput::start(QString* error) {
    if (!audio_ || !audio_->isStreamOpen()) {
        if (error) *error = QStringLiteral("the audio output is not open");
        return false;
    }
    try {
        if (!audio_->isStreamRunning()) audio_->startStream();
        return true;
    } catch (const RtAudioError& e) {
        if (error) *error = describe(e);
    }
    return false;
}

void RtAudioOutput::stop() {
    if (!audio_) return;
    try {
        // Abort rather than stop: stopping would wait for the device to play out its buffers.
        if (audio_->isStreamRunning()) audio_->abortStream();
    } catch (const RtAudioError&) {
    }
}

bool RtAudioOutput::isRunning() const { return audio_ && audio_->isStreamRunning(); }

void RtAudioOutput::close() {
    if (!audio_) return;
    stop();
    try {
        if (audio_->isStreamOpen()) audio_->closeStream();
    } catch (const RtAudioError&) {
    }
    audio_.reset();
}

}  // namespace tova
