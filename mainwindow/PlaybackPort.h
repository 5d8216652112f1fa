#pragma once

namespace tova {

class EditContext;

// Playback of the main window: the ticks of the playback timer (32 ms, running from start-up) and of
// the MIDI preview timer.
class PlaybackPort {
public:
    virtual ~PlaybackPort() = default;
    virtual void tmrPlaying_Timer(EditContext& window) = 0;
    virtual void tmrMidiNote_Timer(EditContext& window) = 0;
};

}  // namespace tova
