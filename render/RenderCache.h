#pragma once

#include "song/NoteCache.h"

namespace tova {

// The song model's view of the render cache: deletes a note's cache files after every change of the
// note (the temporary cache folder when the project sets none).
class RenderCache : public NoteCache {
public:
    void DeleteNoteCacheFiles(const QString& cacheFolder, qint32 noteIndex) override;
};

}  // namespace tova
