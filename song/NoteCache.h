#pragma once

#include <QString>

namespace tova {

// The render cache as the song model sees it: every change of a note deletes that note's cached
// renderings. The render subsystem implements it.
class NoteCache {
public:
    virtual ~NoteCache() = default;
    // Deletes the cached renderings of note `noteIndex` in the project's cache folder (an empty folder
    // text means the temporary cache folder). Failures are ignored.
    virtual void DeleteNoteCacheFiles(const QString& cacheFolder, qint32 noteIndex) = 0;
};

}  // namespace tova
