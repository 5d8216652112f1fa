#pragma once

namespace tova {

class CommandRegistry;

// Registers the generate command and the play commands of the Project and Play menus, the note
// pop-up's generate-and-play items and the tool band's play buttons. They run the window's render and
// play commands (EditContext::rendering() and playback()).
void registerPlayCommands(CommandRegistry& registry);

}  // namespace tova
