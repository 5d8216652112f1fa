#include "render/RenderCache.h"

#include "render/CacheFiles.h"

namespace tova {

void RenderCache::DeleteNoteCacheFiles(const QString& cacheFolder, qint32 noteIndex) {
    tova::DeleteNoteCacheFiles(cacheFolder, noteIndex);
}

}  // namespace tova
