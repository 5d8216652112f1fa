#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace tova {

// The render cache: every note that tool 2 renders is kept as a wave file in the cache folder, named so
// that the next render can reuse it when nothing that shaped it has changed:
//
//   <note index>_<sample>_<note name>_<required length>_<argument digest>.wav
//
// - note index: decimal, no leading zeros;
// - sample: the sample file of the note's oto record without ".wav"/".aiff", sub-folder kept, every "\"
//   (or "/") made "_";
// - note name: "C4" style, following the SharpFlat setting;
// - required length: ms, a multiple of 50, as the shortest text of a single-precision value;
// - argument digest: eight hexadecimal characters of the MD5 of tool 2's whole argument list, so a
//   note whose index now belongs to another rendering (notes moved by an edit) is never reused.
//
// Nothing is held in memory: every lookup and deletion lists the folder anew. Every deletion here
// touches only files whose names have the cache form (a decimal index, "_", anything, ".wav"), so a
// folder chosen by the user never loses other files. An empty folder text never stands for the current
// folder: it means the temporary cache folder where the text says so, and nothing elsewhere.

// The temporary cache folder: "temp.cache" in the per-instance temporary folder ("" while that is not
// set).
QString TempCacheFolder();
// The folder itself, or the temporary cache folder when it is empty.
QString CacheFolderOrTemp(const QString& folder);

// True for a name of the cache form: decimal digits, "_", anything, ".wav" (letter case ignored).
bool IsCacheFileName(const QString& name);

// The digest field of a cache name: the first eight hexadecimal characters of the MD5 of tool 2's
// arguments joined by TAB, in code page 932 (UTF-8 after the mark EF BB BF when that code page cannot
// hold them).
QString CacheArgsDigest(const QStringList& tool2Args);
// The file name (without folder) of a note's cache file.
QString CacheFileName(int32_t noteIndex, const QString& sampleName, const QString& noteName, float requiredLength,
                      const QString& argsDigest);

// The full path of an existing cache file of a note, or "". Tries as the sample field the lyric (a
// leading "?" removed), the sample that the lyric looks up to, and the sample that the lyric with the
// voice bank's prefix map looks up to; the first file listed for "<index>_<sample>_<note name>_*.wav"
// wins.
QString FindNoteCacheFile(const QString& folder, int32_t noteIndex, const QString& lyric, int32_t noteNum);

// Deletes the cache files of one note ("<index>_*.wav") in the folder, or in the temporary cache folder
// when the folder text is empty. Failures are ignored.
void DeleteNoteCacheFiles(const QString& folder, int32_t noteIndex);
// The cache files of a folder (as DeleteNoteCacheFiles finds them) by the note index their names begin
// with, from one listing: a render that deletes the older renderings of many notes lists the folder
// once instead of once a note.
QHash<int32_t, QStringList> NoteCacheFilesByIndex(const QString& folder);
// Deletes the files NoteCacheFilesByIndex listed for one note.
void DeleteListedNoteCacheFiles(const QHash<int32_t, QStringList>& listed, int32_t noteIndex);

// Deletes the cache files rendered from one sample (name without extension; "\" counts as "_"): names
// holding "_<sample>_" or beginning with "<sample>_". Case-sensitive. Nothing for an empty folder text.
void DeleteVoiceCacheFiles(const QString& folder, const QString& sampleName);

// Deletes every cache file of a folder. Nothing for an empty folder text.
void DeleteWavFiles(const QString& folder);

// Deletes the cache files modified more than CacheDeleteInterval days ago. Nothing for an empty folder
// text.
void DeleteExpiredCacheFiles(const QString& folder);

// Deletes cache files, oldest first (by modification time, then path), until their total size is below
// CacheDeleteSize megabytes; nothing when the total is not above it, the folder text is empty or the
// size is below 1.
void TrimCacheToSize(const QString& folder);

// Deletes every cache file of the current cache folder (the temporary one when `cacheFolder` is empty);
// the folder stays.
void DeleteCacheFiles(const QString& cacheFolder);

// Asks "キャッシュファイルを全て削除します。" (OK / Cancel, question icon); OK deletes every cache file.
void ConfirmDeleteCache(const QString& cacheFolder);

// The clean-up when the program ends: empties and removes the temporary cache folder, then applies one
// rule to the project's cache folder (when it is set): CacheDeleteOnUnload deletes all cache files,
// else CacheDeleteBySize trims, else CacheDeleteByDate (with an interval of at least one day) deletes
// the expired files.
void CleanCacheOnExit(const QString& projectCacheFolder);

}  // namespace tova
