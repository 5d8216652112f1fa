#pragma once

#include <QString>

namespace tova {

class EditContext;

// Import: replaces the song by a track of a Standard MIDI File (".mid", ".smf") or a VSQ file.
class ImportPort {
public:
    virtual ~ImportPort() = default;
    virtual void ImportMidiOrVsq(EditContext& window, const QString& path) = 0;
};

}  // namespace tova
