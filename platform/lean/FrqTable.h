#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tova::lean {

// A frequency-table file (".frq") of a sample: a 40-byte little-endian header, then two doubles per
// frame (the frame's frequency and a second value). The same file as tova::FrqHeader with
// ReadFrqFile/WriteFrqFile describe for the editor.
struct FrqTable {
    static constexpr int kHeaderBytes = 40;
    static constexpr std::int32_t kMaxFrames = 4095;

    std::string signature;      // 8 bytes of single-byte text, not tested on reading
    std::int32_t reserved = 0;  // not interpreted
    double averageFreq = 0.0;   // key frequency of the sample in Hz
    double extra1 = 0.0;
    double extra2 = 0.0;
    std::int32_t frameCount = 0;  // readable range 1..4095
    std::vector<double> values;   // 2 * frameCount

    // "a.wav" -> "a_wav.frq"; any other name gets ".frq" appended.
    static std::string nameFor(const std::string& samplePath);
    // The old table's name when a new one replaces it: ".frq" becomes ".bak".
    static std::string backupNameFor(const std::string& tableName);

    // The highest frequency a table may give a frame or its average: far above any singing voice (the
    // analysis looks no higher than 1200 Hz), far below what would leave no period at a sample rate.
    static constexpr double kMaxFrequency = 5000.0;
    // True when the values can be those of a voice: every value a number, the frame frequencies and the
    // average no higher than kMaxFrequency (0 or less stands for no pitch, and for no average).
    static bool voiceValues(double averageFreq, const double* values, std::size_t count);

    // The table from its bytes; false when the header's frame count is out of range, the file is
    // shorter than it announces or its values are no voice's (voiceValues): a damaged table.
    bool decode(std::string_view bytes);
    // The bytes of the table; empty when the frame count or the values do not fit.
    std::string encode() const;

    // The table of a sample (resolved as the file-system layer resolves names); false when there is
    // none or it cannot be read.
    bool read(const std::string& samplePath);
    // Writes the table of a sample through a temporary file; an old table is kept as the backup.
    bool write(const std::string& samplePath) const;
};

}  // namespace tova::lean
