#pragma once

#include <QString>

#include <vector>

namespace tova {

// Reads the stretch of an input sound that one piece uses, as mono samples at 44100 Hz on the 16-bit
// scale (-32768..32767, kept as doubles so no precision is lost before mixing).
//
// Any file the sound-file library opens is accepted (wave or AIFF, 8/16/24/32-bit, float, any channel
// count and rate): channels are averaged and other rates are converted to 44100 Hz. A missing or
// unreadable file counts as silence, and so does every position before its start or past its end, so
// the piece always has the asked length.
class CatenaInput {
public:
    static constexpr int SampleRate = 44100;

    // `count` samples starting at sample `first` (negative: that many samples of silence come first).
    static std::vector<double> read(const QString& path, qint64 first, qint64 count);
};

}  // namespace tova
