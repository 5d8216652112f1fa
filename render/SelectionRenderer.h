#pragma once

#include <QtGlobal>

namespace tova {

// Renders a range of notes into "temp.wav" of the temporary folder for the selection player, showing
// its own failure messages. The render commands implement it.
class SelectionRenderer {
public:
    virtual ~SelectionRenderer() = default;
    // True when "temp.wav" was produced.
    virtual bool RenderSelectionToTemp(qint32& first, qint32& last) = 0;
};

}  // namespace tova
