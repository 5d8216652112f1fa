#pragma once

#include "tools/vorsa/SamplePitch.h"

#include <string>

#include <functional>
#include <vector>

namespace tova::vorsa {

// The frequency table of a sample: read from the sample's ".frq" file (a table the user edited is used
// as it is) or estimated frame by frame and written through the core's table writer.
//
// A table this tool writes has the signature "TOVAFRQ1", the frame step (256) in the 32-bit field,
// the sample's average frequency (the median of its voiced frames), the frame grid's rate (44100) in
// the first further float and 0 in the second; each frame holds its frequency (55.0 when it has no
// pitch) and the RMS level of its analysis window in 16-bit units. A table holds at most 4095 frames
// (about 23.8 s); frames of a longer sample beyond the table are estimated at every call.
class SampleFrequencyTable {
public:
    // Progress of an estimation run: kind 1 starts a run of `value` frames, kind 0 reports `value`
    // frames done. A non-zero result asks the run to stop.
    using Progress = std::function<int(int kind, int value)>;

    enum class Status { Read, Made, Cancelled };

    struct Result {
        Status status = Status::Read;
        SamplePitch pitch;
        bool written = false;  // a table file was written
    };

    // `remake` estimates every frame even when a table exists (and writes it).
    static Result obtain(const std::vector<float>& signal, const std::string& samplePath, bool remake,
                         const Progress& progress = {});

    // Frames needed to cover a signal (at least 1).
    static int frameCountFor(size_t samples);

    static constexpr char kSignature[] = "TOVAFRQ1";
};

}  // namespace tova::vorsa
