#pragma once

#include <QString>

namespace tova {

class MainWindow;

// The render cache and playback of the main window.
class RenderPort {
public:
    virtual ~RenderPort() = default;
    // Deletes every rendered note of the instance's temporary cache folder.
    virtual void DeleteCacheFiles() = 0;
    // One tick of the playback timer.
    virtual void tmrPlaying_Timer(MainWindow& window) = 0;
    // One tick of the MIDI preview timer.
    virtual void tmrMidiNote_Timer(MainWindow& window) = 0;
};

}  // namespace tova
