#pragma once

namespace tova {

class CommandRegistry;

// Registers the main window's commands of this subsystem that work over the edit context alone:
// "mnSaveExport" (the export command). Import and append-load replace or extend the whole project and
// go through the project's file commands.
void registerExchangeCommands(CommandRegistry& registry);

}  // namespace tova
