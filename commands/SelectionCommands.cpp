#include "commands/SelectionCommands.h"

#include "commands/CommandRegistry.h"
#include "commands/EditContext.h"
#include "song/Song.h"

namespace tova {

void mnReleaseSelect_Click(EditContext& context) {
    const qint32 count = context.editedSong().noteCount();
    context.setSelection(count, count);
    context.DrawNotes();
}

void mnSelectRegionSel_Click(EditContext&) {}

void registerSelectionCommands(CommandRegistry& registry) {
    registry.add(QStringLiteral("mnReleaseSelect"), mnReleaseSelect_Click);
    registry.add(QStringLiteral("mnSelectRegionSel"), mnSelectRegionSel_Click);
}

}  // namespace tova
