#pragma once

#include "song/NoteArrays.h"

#include <QString>

namespace tova {

// What the note drawing needs of the ruler: the named region that covers the selection. The ruler's
// logic implements it.
class NoteDrawingServices {
public:
    virtual ~NoteDrawingServices() = default;

    // The name of the region that begins at the selection-start note and ends at the selection-end
    // note; empty when there is none.
    virtual QString FindSelectionRegion(const NoteArrays& notes, qint32 selStart, qint32 selEnd) const = 0;
};

}  // namespace tova
