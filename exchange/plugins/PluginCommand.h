#pragma once

#include <QString>

namespace tova {

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
    // True when the song was changed.
    bool Run(const QString& name, float tempo);

    // The plug-in's part alone: sends the notes first..last, waits, and applies the returned text.
    // "True" when it was applied (then `last` is the last note of the changed range), else empty.
    QString RunPlugin(const QString& name, qint32 first, qint32& last, float tempo);

private:
    Song& song_;
    PluginWaitPort& wait_;
};

}  // namespace tova
