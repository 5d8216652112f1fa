#pragma once

#include <QString>

namespace tova {

class WavePlayer;

// The program-wide "play this sound and return" of the audio system: one sound at a time; a new
// sound stops the one still playing; an empty name only stops it. The sound's device is released
// when it has played to its end.
class AsyncSound {
public:
    // False when the file cannot be played (missing, not a sound, or no device); then nothing plays.
    static bool play(const QString& path);
    static void stop();
    // The sound now playing, if any (for tests).
    static WavePlayer* current();
};

}  // namespace tova
