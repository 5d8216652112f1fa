#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tova {

// Reads the stretch of an input sound that one piece uses, as mono samples at 44100 Hz on the 16-bit
// scale (-32768..32767, kept as doubles so no precision is lost before mixing).
//
// Any file the sound-file library opens is accepted (wave or AIFF, 8/16/24/32-bit, float, any channel
// count and rate): channels are averaged and other rates are converted to 44100 Hz. A missing or
// unreadable file counts as silence, and so does every position before its start or past its end, so
// the piece always has the asked length.
//
// An open input is read block by block, so a piece of any length needs no more memory than a block
// (and, for another rate than 44100 Hz, the converted sound).
class CatenaInput {
public:
    static constexpr int SampleRate = 44100;

    explicit CatenaInput(const std::string& path);
    ~CatenaInput();
    CatenaInput(const CatenaInput&) = delete;
    CatenaInput& operator=(const CatenaInput&) = delete;

    // `count` samples starting at sample `first` into `out` (negative: that many samples of silence
    // come first).
    void read(std::int64_t first, double* out, std::size_t count);

    // The same for a whole stretch at once.
    static std::vector<double> read(const std::string& path, std::int64_t first, std::int64_t count);

private:
    // Plain: a plain 16-bit wave read from the open file as needed; Held: a small one read whole.
    enum class Kind { Silent, Plain, Held, Library, Whole };
    void openLibrary(const std::string& resolved);

    Kind kind_ = Kind::Silent;
    std::string path_;  // resolved
    int fd_ = -1;
    void* file_ = nullptr;  // the sound-file library's handle
    int channels_ = 0;
    std::int64_t frames_ = 0;
    std::vector<double> whole_;
    std::vector<char> bytes_;
    std::unique_ptr<char[]> held_;  // the whole file, for Held
};

}  // namespace tova
