#pragma once

#include <QString>
#include <QStringList>

namespace tova {

// Files a killed render leaves behind. The tools, the batch runner and the in-process roads write
// every file under a temporary name beside it, "<name>.<process id>-<count>.tmp", and rename it when
// whole; a render that is killed keeps the temporary file (up to the size of the output). The next
// render removes those of its own files: only regular files of exactly that form, whose <name> is one
// the render writes there and whose process no longer runs. Nothing else is touched.
class RenderLeftovers {
public:
    // Removes the leftovers of the output (the output name and its ".whd" and ".dat" parts) in the
    // output's folder, of the note files ("temp$$$.wav", "temp$$$<n>.wav") in each of `noteFolders`, and
    // of the cache files (names ending in ".wav" or ".render") in the cache folder. Returns the number
    // of files removed. Folders that do not exist are skipped; a file that cannot be removed is left.
    static int Remove(const QString& output, const QStringList& noteFolders, const QString& cacheFolder);

    // The name a temporary file stands for ("out.wav" for "out.wav.123-0.tmp"), with the id of the
    // process that wrote it; an empty name when `fileName` is not of that form.
    static QString TargetOf(const QString& fileName, qint64* processId = nullptr);
};

}  // namespace tova
