#include "render/RenderSession.h"

#include "render/RenderWindow.h"

namespace tova {

RenderSession::RenderSession(Song& song, RenderWindow& window, PlayState& play)
    : writer_(song, &window),
      direct_(song, window),
      commands_(song, window, writer_, direct_),
      playback_(song, window, play, mci_, commands_) {}

}  // namespace tova
