#include "commands/PlayCommands.h"

#include "commands/CommandRegistry.h"
#include "commands/EditContext.h"
#include "platform/Errors.h"
#include "render/PlaybackCommands.h"
#include "render/RenderCommands.h"

namespace tova {
namespace {

RenderCommands& rendering(EditContext& c) {
    RenderCommands* r = c.rendering();
    if (!r) throw InvalidCallError();
    return *r;
}

PlaybackCommands& playback(EditContext& c) {
    PlaybackCommands* p = c.playback();
    if (!p) throw InvalidCallError();
    return *p;
}

}  // namespace

void registerPlayCommands(CommandRegistry& registry) {
    registry.add(QStringLiteral("mnGenerate"), [](EditContext& c) { rendering(c).mnGenerate_Click(); });
    const struct {
        const char16_t* name;
        void (PlaybackCommands::*command)();
    } commands[] = {
        {u"mnPlayTemp", &PlaybackCommands::mnPlayTemp_Click},   {u"mnToneGen", &PlaybackCommands::mnToneGen_Click},
        {u"mnPlayAgain", &PlaybackCommands::mnPlayAgain_Click}, {u"mnTonePlay", &PlaybackCommands::mnTonePlay_Click},
        {u"mnPauseTemp", &PlaybackCommands::mnPauseTemp_Click}, {u"mnStopTemp", &PlaybackCommands::mnStopTemp_Click},
        {u"mnTempSaveAt", &PlaybackCommands::mnTempSaveAt_Click}, {u"mnMCIPlay", &PlaybackCommands::mnMCIPlay_Click},
        {u"mnMCIPause", &PlaybackCommands::mnMCIPause_Click},   {u"mnMCIStop", &PlaybackCommands::mnMCIStop_Click},
        {u"btnPlay", &PlaybackCommands::btnPlay_Click},         {u"btnPause", &PlaybackCommands::btnPause_Click},
        {u"btnStop", &PlaybackCommands::btnStop_Click},
    };
    for (const auto& c : commands)
        registry.add(QString::fromUtf16(c.name), [command = c.command](EditContext& w) { (playback(w).*command)(); });
}

}  // namespace tova
