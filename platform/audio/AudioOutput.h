#pragma once

#include <QString>

#include <functional>

namespace tova {

// One sound output stream of the machine's audio system. The stream pulls its samples from the
// owner: `Pull` is called on the device's own thread whenever the device takes the next block of
// frames, so the frames it has pulled are the frames the device has consumed.
class AudioOutput {
public:
    // Fills `frames` frames of interleaved 32-bit float samples (`channels()` per frame) into `out`.
    using Pull = std::function<void(float* out, unsigned frames)>;

    virtual ~AudioOutput() = default;

    // Opens the default output device. The device plays at `wantedRate` when it can and otherwise
    // at its own rate (see `sampleRate()`); it takes one or two channels (see `channels()`).
    // False (with a description in `error`) when there is no usable device.
    virtual bool open(int wantedRate, Pull pull, QString* error) = 0;
    virtual int sampleRate() const = 0;
    virtual int channels() const = 0;
    // Starts pulling. False (with `error`) when the device refuses.
    virtual bool start(QString* error) = 0;
    // Stops at once, dropping what the device holds; no `Pull` runs any more when it returns.
    virtual void stop() = 0;
    virtual bool isRunning() const = 0;
    // Stops and releases the device.
    virtual void close() = 0;
};

}  // namespace tova
