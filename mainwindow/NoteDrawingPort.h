#pragma once

#include <QString>

namespace tova {

class EditContext;

// The note layer of the roll: notes, lyrics, selection, ruler marks and curves, and their geometry.
class NoteDrawingPort {
public:
    virtual ~NoteDrawingPort() = default;
    // `option` is empty for a full drawing, "nobomb" when no handles are to be drawn.
    virtual void DrawNotes(EditContext& window, const QString& option) = 0;
};

}  // namespace tova
