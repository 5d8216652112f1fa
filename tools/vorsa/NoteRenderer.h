#pragma once

#include "tools/vorsa/PitchMarks.h"
#include "tools/vorsa/RenderRequest.h"
#include "tools/vorsa/SampleCache.h"
#include "tools/vorsa/SampleFrequencyTable.h"
#include "tools/vorsa/SamplePitch.h"

#include <functional>
#include <string>
#include <vector>

namespace tova::vorsa {

// One call of the note renderer, from the request to the written file.
//
// 1. The sample is read (any format, converted to one channel at 44100 Hz).
// 2. Its frequency table is read, or estimated and written when it has none or the G flag asks.
// 3. Output "nul": nothing more. Otherwise the note is rendered and written.
//
// Rendering. Output time 0 is the sample at the offset. The output has exactly
// ceil(length * 44.1) samples (the required length in ms, rounded up to whole samples, so it is never
// shorter than asked; lengths in whole multiples of 10 ms come out exact). With no length given the
// output lasts as long as the consonant part plus the unstretched rest up to the cutoff.
//  - A target that is a note name (its first character one of the letters A to G) is rendered by
//    pitch-synchronous overlap-add: the consonant part lasts consonant * 2^(1 - velocity / 100), the
//    rest up to the cutoff is stretched or shortened to fill the remaining length, and the pitch at
//    every output time is the note's frequency moved by the curve's cents plus modulation% of the
//    sample's own deviation from its average frequency.
//  - Any other target (such as "100") cuts the piece out unchanged: the samples from the offset on for
//    the required length (up to the cutoff's end when no length is given), silence past the end.
// Then the flags' effects and the intensity gain are applied and the 16-bit file is written.
class NoteRenderer {
public:
    using Progress = SampleFrequencyTable::Progress;

    enum Code { Ok = 0, BadArguments = 1, SampleUnreadable = 2, OutputFailed = 3, Cancelled = 4 };
    struct Outcome {
        int code = Ok;
        std::string message;
    };

    // The longest note a call renders: 10 minutes. A longer required length is refused (bad
    // arguments); a longer natural length (no length given) is cut to it.
    static constexpr long long kMaxOutputSamples = 600LL * 44100;
    // The largest time argument (offset, length, consonant, cutoff) in ms, either sign: about eleven
    // days. A time beyond it, or any number that is not finite, is refused (bad arguments) before it
    // is used.
    static constexpr double kMaxTimeMs = 1e9;

    // With a `cache`, steps 1 and 2 and the pitch marks come from it while the sample and its table
    // are unchanged (the output is the same bytes either way).
    static Outcome run(const RenderRequest& request, const Progress& progress = {}, SampleCache* cache = nullptr);

    // The rendering of step 3 on a sample already read with its pitch.
    static std::vector<float> render(const RenderRequest& request, const std::vector<float>& signal,
                                     const SamplePitch& pitch);
    // The same with the pitch marks over [from, to) of the sample from `marks`.
    using MarkSource = std::function<PitchMarks(double from, double to)>;
    static std::vector<float> render(const RenderRequest& request, const std::vector<float>& signal,
                                     const SamplePitch& pitch, const MarkSource& marks);

    // Output samples for a length in ms (rounded up).
    static long long outputSamples(double milliseconds);
    // True when the target names a note (first character A..G).
    static bool isNoteTarget(const std::string& note);
};

}  // namespace tova::vorsa
