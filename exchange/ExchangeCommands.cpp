#include "exchange/ExchangeCommands.h"

#include "commands/CommandRegistry.h"
#include "commands/EditContext.h"
#include "exchange/SongExport.h"

namespace tova {

void registerExchangeCommands(CommandRegistry& registry) {
    registry.add(QStringLiteral("mnSaveExport"), [](EditContext& c) { SongExport(c.editedSong()).mnSaveExport_Click(); });
}

}  // namespace tova
