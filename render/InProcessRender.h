#pragma once

#include "render/MissingSamples.h"

#include <QString>
#include <QtGlobal>

namespace tova {

// How an in-process render ended. Whether it made its output is told by the output file alone.
enum class RenderEnd {
    Finished,  // every note was rendered, or the render failed part way (no output then)
    Stopped,   // the user stopped it; the notes done so far are in the output
};

// The in-process render of a range of notes, as the render commands call it.
class InProcessRender {
public:
    virtual ~InProcessRender() = default;
    // Renders notes first..last into the output file without batch files. `path` is the project file
    // path (or the temporary batch path for the selection render): its base name and folder give the
    // default output name and cache folder. An empty output name becomes the base name with ".wav".
    virtual RenderEnd RenderDirect(const QString& projectName, const QString& path, qint32 first, qint32 last,
                                   QString& outputName) = 0;
    // The notes of the last render that have no sample file.
    virtual MissingSamples missingSamples() const { return {}; }
};

}  // namespace tova
