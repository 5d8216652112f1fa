#pragma once

// Small FLAC files made with the sound-file library in the test itself (for the tests whose
// executable links it): long stretches of silence that compress to a few kilobytes, and a header that
// claims more sound than the file holds.
#include "support/TestSupport.h"

#include <QFile>
#include <QString>

#include <sndfile.h>

#include <vector>

namespace tova::test {

// A mono 16-bit FLAC of `seconds` of silence; false when it cannot be written.
inline bool writeSilentFlac(const QString& path, int rate, double seconds) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 1;
    info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!f) return false;
    const std::vector<short> block(size_t(rate), 0);
    sf_count_t left = sf_count_t(seconds * rate);
    while (left > 0) {
        const sf_count_t n = left < sf_count_t(block.size()) ? left : sf_count_t(block.size());
        if (sf_write_short(f, block.data(), n) != n) {
            sf_close(f);
            return false;
        }
        left -= n;
    }
    return sf_close(f) == 0;
}

// Rewrites the total-samples field of a FLAC file's stream information (36 bits) to claim `frames`.
inline bool claimFlacFrames(const QString& path, quint64 frames) {
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite)) return false;
    QByteArray b = f.readAll();
    // "fLaC", the block header (4 bytes), then the stream information: the count starts in the low
    // four bits of its 14th byte.
    if (b.size() < 42 || !b.startsWith("fLaC")) return false;
    b[21] = char((uchar(b[21]) & 0xF0) | ((frames >> 32) & 0x0F));
    for (int i = 0; i < 4; ++i) b[22 + i] = char((frames >> (8 * (3 - i))) & 0xFF);
    return f.seek(0) && f.write(b) == b.size();
}

}  // namespace tova::test
