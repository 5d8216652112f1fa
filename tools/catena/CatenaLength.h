#pragma once

#include <string>

namespace tova {

// The length argument of the concatenator: either milliseconds ("530.5") or a note length in file
// ticks at a tempo with a millisecond correction ("480@120.00+30.0": 480 ticks are one quarter note,
// so 480 ticks at 120 beats per minute are 500 ms, plus 30 ms).
class CatenaLength {
public:
    static constexpr double TicksPerBeat = 480.0;

    // Milliseconds of a length text. Numbers are read leniently (a text without a number is 0); a
    // tempo of 0 or less gives the ticks no duration, leaving only the correction.
    static double milliseconds(const std::string& text);
};

}  // namespace tova
