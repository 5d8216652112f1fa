#include "platform/audio/WavePlayer.h"

#include "platform/audio/AudioOutputs.h"

#include <algorithm>
#include <cstring>

namespace tova {

WavePlayer::WavePlayer(QObject* parent) : QObject(parent) {}

WavePlayer::~WavePlayer() {
    // The device must stop pulling before the sound goes away.
    if (output_) output_->close();
}

WavePlayer::OpenResult WavePlayer::open(const QString& path, QString* error) {
    if (output_) {
        output_->close();
        output_.reset();
    }
    running_ = false;
    paused_ = false;
    cursor_ = 0;
    atEnd_ = false;
    if (!clip_.load(path, error)) return OpenResult::FileError;
    std::unique_ptr<AudioOutput> out = AudioOutputs::create();
    if (!out || !out->open(clip_.rate(), [this](float* o, unsigned n) { pull(o, n); }, error)) {
        clip_ = AudioClip();
        return OpenResult::DeviceError;
    }
    clip_.convert(out->sampleRate(), out->channels());
    output_ = std::move(out);
    atEnd_ = clip_.frames() == 0;
    return OpenResult::Ok;
}

void WavePlayer::pull(float* out, unsigned frames) {
    // Runs on the device's thread.
    const int ch = clip_.channels();
    const qint64 total = clip_.frames();
    const qint64 at = cursor_.load();
    const qint64 n = std::clamp<qint64>(total - at, 0, frames);
    if (n > 0) std::memcpy(out, clip_.samples().data() + at * ch, sizeof(float) * size_t(n) * size_t(ch));
    if (qint64(frames) > n) std::memset(out + n * ch, 0, sizeof(float) * size_t(qint64(frames) - n) * size_t(ch));
    cursor_.store(at + n);
    if (at + n >= total && !atEnd_.exchange(true))
        QMetaObject::invokeMethod(this, &WavePlayer::onEnded, Qt::QueuedConnection);
}

void WavePlayer::onEnded() {
    if (!atEnd_) return;  // moved away from the end since
    halt();
    emit ended();
}

void WavePlayer::halt() {
    if (running_ && output_) output_->stop();
    running_ = false;
}

bool WavePlayer::play(QString* error) {
    if (!output_) {
        if (error) *error = QStringLiteral("no sound is open");
        return false;
    }
    if (atEnd_) return true;  // nothing left to play
    if (running_) return true;
    if (!output_->start(error)) return false;
    running_ = true;
    paused_ = false;
    return true;
}

void WavePlayer::pause() {
    if (!running_ || atEnd_) return;
    halt();
    paused_ = true;
}

void WavePlayer::seekMs(qint64 ms) {
    halt();
    paused_ = false;
    const int rate = clip_.rate();
    const qint64 frame = rate > 0 ? std::clamp<qint64>(ms * rate / 1000, 0, clip_.frames()) : 0;
    cursor_ = frame;
    atEnd_ = frame >= clip_.frames();
}

void WavePlayer::seekToEnd() {
    halt();
    paused_ = false;
    cursor_ = clip_.frames();
    atEnd_ = true;
}

WavePlayer::State WavePlayer::state() const {
    if (running_ && !atEnd_) return State::Playing;
    if (paused_) return State::Paused;
    return State::Stopped;
}

qint64 WavePlayer::positionMs() const {
    const int rate = clip_.rate();
    return rate > 0 ? cursor_.load() * 1000 / rate : 0;
}

qint64 WavePlayer::lengthMs() const { return clip_.lengthMs(); }

}  // namespace tova
