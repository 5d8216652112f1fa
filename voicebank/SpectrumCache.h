#pragma once

#include "voicebank/SpectrumAnalysis.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <array>
#include <cstdint>
#include <functional>

namespace tova {

// The spectrum cache of a sample: the wave path with ".kspx" appended, holding the magic "bspc" and
// then one row of 256 bytes per analysis frame (SpectrumAnalysis.h), without gaps and without trailer.
//
// The file is written through a temporary file in the same folder that takes the cache's name only once
// it is complete, so a build that is stopped or fails leaves no partial cache behind. A cache whose
// size is not exactly that of the sample's rows, or whose magic is wrong, is never drawn from: the
// display computes its columns directly, and the next build replaces the file.
class SpectrumCache {
public:
    static constexpr char kMagic[] = "bspc";

    enum class Build {
        Current,      // the file is there and up to date: nothing was done
        Built,        // a new file was written
        Cancelled,    // the progress callback asked to stop: no file was left
        NotWritable,  // the folder takes no file (a read-only bank): the display computes directly
    };

    // Called after every row with the array position reached and the last array index; true stops
    // the build.
    using Progress = std::function<bool(std::int64_t position, std::int64_t last)>;

    static QString PathFor(const QString& wavePath);
    // Bytes of the complete cache of a sample: 4 + 256 × rows.
    static std::int64_t FileSize(std::int64_t rows);

    // Whether the cache of the sample is to be (re)built: it is missing, empty, of the wrong size or
    // magic, or older than the sample file.
    static bool NeedsBuild(const QString& wavePath, std::int64_t rows);
    // Builds the cache when NeedsBuild says so.
    static Build BuildIfNeeded(const QString& wavePath, const QVector<std::int16_t>& samples, int channels,
                               const Progress& progress = {});
    // Deletes "*.kspx" in the voice folder and in its direct sub-folders (not deeper); failures to
    // delete are ignored. Nothing for an empty folder text.
    static void DeleteAll(const QString& voiceFolder);

    // The reader: loads the file when it is usable for a sample of `rows` rows (magic and exact size).
    bool open(const QString& wavePath, std::int64_t rows);
    bool usable() const { return !bytes_.isEmpty(); }
    // Row f (bins 0..255); rows outside the file read as zeros.
    std::array<std::uint8_t, kSpectrumBins> row(std::int64_t f) const;

private:
    QByteArray bytes_;
    std::int64_t rows_ = 0;
};

}  // namespace tova
