#pragma once

#include <QStringList>

namespace tova {

// The track chooser: shows the entries of a track list, with the entry at row `preselected` (0-based;
// -1 for none) already chosen, and lets the user pick one. Returns the chosen entry's 1-based position;
// 0 when OK was pressed with nothing chosen; -1 when cancelled. Callers take results below 1 as no
// choice.
class TrackChooserPort {
public:
    virtual ~TrackChooserPort() = default;
    virtual qint32 SelectTrack(const QStringList& entries, qint32 preselected) = 0;
};

}  // namespace tova
