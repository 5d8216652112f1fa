#pragma once

#include <QString>

namespace tova {

// The multimedia procedures that playback uses, addressed by file path (the device of a file is
// opened under the file's name without folder and extension). The program's implementation forwards
// to the multimedia command layer; tests give a fake device.
class MciPort {
public:
    virtual ~MciPort() = default;
    // Opens the file's device; the result is the failure's text ("" when the file is open).
    virtual QString Open(const QString& path) = 0;
    virtual void Close(const QString& path) = 0;
    // Plays from the current position (resumes after a pause) and returns at once; the result is the
    // failure's text ("" when it plays).
    virtual QString Play(const QString& path) = 0;
    virtual void Pause(const QString& path) = 0;
    // A status item's answer ("mode", "position"), or "NG:" and the error text.
    virtual QString Status(const QString& path, const QString& item) = 0;
    // "playing", "paused" or "stopped", or an "NG:" answer when the file is not open.
    virtual QString GetMode(const QString& path) = 0;
    // Any other command string; the answer is ignored.
    virtual void SendString(const QString& command) = 0;
};

}  // namespace tova
