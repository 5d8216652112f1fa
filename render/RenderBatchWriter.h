#pragma once

#include "render/MissingSamples.h"

#include <QString>
#include <QtGlobal>

namespace tova {

// The writer of the render batch files, as the render commands call it.
class RenderBatchWriter {
public:
    virtual ~RenderBatchWriter() = default;
    // Derives the batch path and the cache folder from the project path, completes the project name
    // and output name, and writes the batch for the whole song; `path` comes back as the batch path.
    virtual void GetRenderFileNames(QString& path) = 0;
    // Writes the render batch for notes first..last at `batchPath` (a full path) and its per-note batch
    // beside it; an empty output name becomes the batch's base name with ".wav".
    virtual void WriteRenderBatch(const QString& projectName, const QString& batchPath, qint32 first, qint32 last,
                                  QString& outputName) = 0;
    // The notes of the last batch written that have no sample file.
    virtual MissingSamples missingSamples() const { return {}; }
};

}  // namespace tova
