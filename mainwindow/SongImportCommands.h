#pragma once

#include "commands/AppendLoadPort.h"
#include "commands/ImportPort.h"

namespace tova {

class TrackChooserPort;
class VoiceBankAccess;

// The workers of the File menu's import and append-load commands over the main window: the song import
// of the exchange subsystem with the window's project, its voice banks and the track chooser.
class SongImportCommands : public ImportPort, public AppendLoadPort {
public:
    SongImportCommands(VoiceBankAccess& voices, TrackChooserPort& chooser) : voices_(voices), chooser_(chooser) {}
    void ImportMidiOrVsq(EditContext& window, const QString& path) override;
    void AppendLoadFile(EditContext& window, const QString& path) override;

private:
    VoiceBankAccess& voices_;
    TrackChooserPort& chooser_;
};

}  // namespace tova
