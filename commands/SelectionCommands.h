#pragma once

namespace tova {

class CommandRegistry;
class EditContext;

// "選択解除" (the pop-up menu of empty roll space): no note is selected any more; both selection ends
// move to the note count. Redraws the notes only.
void mnReleaseSelect_Click(EditContext& context);
// "選択範囲を選択" (the ruler's pop-up menu): nothing; it only holds the list of named regions.
void mnSelectRegionSel_Click(EditContext& context);

// Registers the commands above.
void registerSelectionCommands(CommandRegistry& registry);

}  // namespace tova
