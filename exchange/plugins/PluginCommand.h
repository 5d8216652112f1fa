#pragma once

#include <QString>

#include <functional>

namespace tova {

class CommandRegistry;
class EditContext;
class Song;
class PluginWaitPort;

// A plug-in run over the selected notes as one undo step ("プラグインの実行"): the selection, the note
// before and the note after it go to the plug-in in the exchange file (PluginExchange.h), and what the
// plug-in returns is applied to the song. A plug-in that leaves the file unchanged, cannot be started,
// or whose wait the user abandoned changes nothing and records nothing; the failures are shown.
class PluginCommand {
public:
    PluginCommand(Song& song, PluginWaitPort& wait);

    // Runs the plug-in named `name` with `tempo` (the tempo in force at the selection's first note).
    // True when the song was changed; the notes whose renderings and drawing are out of date are then
    // RefreshFirst..RefreshLast (the changed range with its neighbours).
    bool Run(const QString& name, float tempo);

    // The plug-in's part alone: sends the notes first..last, waits, and applies the returned text.
    // "True" when it was applied (then `last` is the last note of the changed range), else empty.
    QString RunPlugin(const QString& name, qint32 first, qint32& last, float tempo);

    qint32 RefreshFirst = 0;
    qint32 RefreshLast = -1;

private:
    Song& song_;
    PluginWaitPort& wait_;
};

// The click on item `index` of the plug-in menu (item 0, the placeholder "(なし)", does nothing): runs
// the item's plug-in over the song's selection with the tempo in force at its first note. When the song
// changed, `refresh` gets the notes whose cached renderings are to be deleted before the roll is redrawn.
void mnPlugin_Click(Song& song, PluginWaitPort& wait, int index,
                       const std::function<void(qint32 first, qint32 last)>& refresh);

// Registers the plug-in menu's items ("mnPlugin", a control array) with the commands of the main window.
// `waitOf` gives the context's wait window; nothing runs while it gives none.
void registerPluginCommands(CommandRegistry& registry, std::function<PluginWaitPort*(EditContext&)> waitOf);

}  // namespace tova
