#pragma once

#include <QString>

namespace tova {

class MainWindow;

// Import: replaces the song by a track of a Standard MIDI File (".mid", ".smf") or a VSQ file.
class ImportPort {
public:
    virtual ~ImportPort() = default;
    virtual void ImportMidiOrVsq(MainWindow& window, const QString& path) = 0;
};

}  // namespace tova
