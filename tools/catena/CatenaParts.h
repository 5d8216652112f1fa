#pragma once

#include "platform/lean/PcmWaveHeader.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tova {

// The two parts of an output wave that the concatenator grows: "<output>.whd", a 44-byte RIFF/WAVE
// header (PCM, 16-bit, mono, 44100 Hz), and "<output>.dat", the raw little-endian samples. After every
// change the header's sizes match the data, so joining the two byte for byte gives a valid wave.
class CatenaParts {
public:
    static constexpr int SampleRate = 44100;
    static constexpr int HeaderSize = lean::kPcmWaveHeaderSize;

    // The parts of `outputName` (its name with ".whd" and with ".dat" appended).
    explicit CatenaParts(const std::string& outputName);

    // Their paths on disk (see lean::Files::resolve).
    std::string headerPath() const;
    std::string dataPath() const;

    // The header of a wave whose data is `dataBytes` long.
    static std::array<char, HeaderSize> header(std::uint32_t dataBytes);

    // Samples held so far (0 when the data part does not exist).
    std::int64_t frames() const;

    // Places `piece` (16-bit scale) so that it starts `overlapFrames` before the current end (never
    // before the start; a negative overlap leaves a silent gap), adds it to the samples already there,
    // saturating at the 16-bit limits, appends the rest and rewrites the header. Creates both parts
    // when they are missing. Throws a lean::Failure when a part cannot be read or written.
    void mix(const std::vector<double>& piece, std::int64_t overlapFrames);
    // The same for a piece of `pieceFrames` samples that `source` hands over a block at a time (its
    // samples [first, first + count)), so the memory used does not grow with the piece's length.
    using PieceSource = std::function<void(std::int64_t first, double* out, std::size_t count)>;
    void mix(std::int64_t pieceFrames, const PieceSource& source, std::int64_t overlapFrames);

    // Samples mixed per block.
    static constexpr std::int64_t MixBlockFrames = 1 << 16;

    // Writes `output` as the header part followed by the data part, byte for byte. Throws a lean::Failure
    // when either part is missing or the output cannot be written (nothing is written then).
    static void join(const std::string& headerPart, const std::string& dataPart, const std::string& output);

private:
    std::string whd_;  // as named: each part is resolved when it is opened
    std::string dat_;
};

}  // namespace tova
