#pragma once

#include "render/DirectRenderer.h"
#include "render/PlaybackCommands.h"
#include "render/RenderBatchFiles.h"
#include "render/RenderCommands.h"
#include "render/SystemMci.h"

namespace tova {

class RenderWindow;
class Song;
struct PlayState;

// Rendering and playback of the main window put together: the render commands on both roads (the
// render batch files run by the batch runner, and the in-process renderer) and the playback commands on
// the program's multimedia layer. The main window owns one for the life of the program.
class RenderSession {
public:
    RenderSession(Song& song, RenderWindow& window, PlayState& play);

    RenderCommands& commands() { return commands_; }
    PlaybackCommands& playback() { return playback_; }
    DirectRenderer& direct() { return direct_; }

private:
    RenderBatchFiles writer_;
    DirectRenderer direct_;
    SystemMci mci_;
    RenderCommands commands_;
    PlaybackCommands playback_;
};

}  // namespace tova
