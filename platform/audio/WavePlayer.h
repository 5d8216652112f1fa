#pragma once

#include "platform/audio/AudioClip.h"
#include "platform/audio/AudioOutput.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

namespace tova {

// One sound file opened on an output stream: play, pause, seek and the position, with the
// position counted in the frames the device has actually taken. Lives on the user-interface
// thread; the device pulls on its own thread, and the end of the sound reaches this object
// through a queued call.
class WavePlayer : public QObject {
    Q_OBJECT
public:
    enum class State { Stopped, Playing, Paused };
    enum class OpenResult { Ok, FileError, DeviceError };

    explicit WavePlayer(QObject* parent = nullptr);
    ~WavePlayer() override;

    // Reads the file, opens an output stream for it and converts the sound for that stream.
    // The player then stands stopped at the start.
    OpenResult open(const QString& path, QString* error);
    // Plays from the current position; resumes after a pause. Does nothing while playing or when
    // the position is at the end. False (with `error`) when the device refuses to start.
    bool play(QString* error);
    // Stops at the current position; a later `play` goes on from there.
    void pause();
    // Stops and moves to `ms` milliseconds from the start (clamped to the length).
    void seekMs(qint64 ms);
    void seekToEnd();

    State state() const;
    qint64 positionMs() const;
    qint64 lengthMs() const;
    qint64 lengthFrames() const { return clip_.frames(); }
    int deviceRate() const { return clip_.rate(); }

signals:
    // The sound has played to its end (emitted on the user-interface thread).
    void ended();

private:
    void pull(float* out, unsigned frames);
    void onEnded();
    void halt();

    AudioClip clip_;
    std::unique_ptr<AudioOutput> output_;
    std::atomic<qint64> cursor_{0};  // frames taken by the device (index of the next frame)
    std::atomic<bool> atEnd_{false};
    bool running_ = false;  // the stream was started and not stopped since
    bool paused_ = false;
};

}  // namespace tova
