#include "render/RenderBatchFiles.h"

#include "render/RenderBatch.h"

namespace tova {

void RenderBatchFiles::GetRenderFileNames(QString& path) { tova::GetRenderFileNames(song_, path, marks_, &missing_); }

void RenderBatchFiles::WriteRenderBatch(const QString& projectName, const QString& batchPath, qint32 first, qint32 last,
                                        QString& outputName) {
    tova::WriteRenderBatch(song_, projectName, batchPath, first, last, outputName, marks_, &missing_);
}

}  // namespace tova
