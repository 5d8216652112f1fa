#pragma once

#include "render/RenderBatchWriter.h"

namespace tova {

class MissingSampleMarks;
class Song;

// The render commands' batch writer over the song: the render batch files of RenderBatch.h.
class RenderBatchFiles : public RenderBatchWriter {
public:
    RenderBatchFiles(Song& song, MissingSampleMarks* marks) : song_(song), marks_(marks) {}
    void GetRenderFileNames(QString& path) override;
    void WriteRenderBatch(const QString& projectName, const QString& batchPath, qint32 first, qint32 last,
                          QString& outputName) override;
    MissingSamples missingSamples() const override { return missing_; }

private:
    Song& song_;
    MissingSampleMarks* marks_;
    MissingSamples missing_;
};

}  // namespace tova
