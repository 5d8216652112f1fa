#pragma once

namespace tova {

class CommandRegistry;

class EditContext;

// "キャッシュをクリア": deletes the cached renderings of the selected notes.
void mnCleanCache_Click(EditContext& context);
// Undo and redo of the song's last step.
void mnUndo_Click(EditContext& context);
void mnRedo_Click(EditContext& context);

// The commands of the main window itself: scrolling, zoom and row height, the view and MIDI switches,
// the file and project commands, undo and redo, the cache clean-up, the voice picture and the plug-in,
// readme and about items.
void registerMainWindowCommands(CommandRegistry& registry);

// The tool-band buttons and pop-up duplicates that only run another control's command.
void registerCommandAliases(CommandRegistry& registry);

// Every command of the program: each subsystem's registration, then the aliases. A new subsystem adds
// its registration function here.
void registerProgramCommands(CommandRegistry& registry);

}  // namespace tova
