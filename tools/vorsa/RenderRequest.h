#pragma once

#include <string>
#include <vector>

namespace tova::vorsa {

// One call of the note renderer, from its arguments by position: input sample, output file, target
// note, velocity, flags, offset (ms), required length (ms), consonant (ms), cutoff (ms), intensity (%),
// modulation (%), then the pitch curve (any number of further arguments, joined with blanks).
// Shorter calls leave the later arguments at their defaults; an empty argument counts as missing.
// Texts are UTF-8.
class RenderRequest {
public:
    static RenderRequest fromArguments(const std::vector<std::string>& arguments);

    std::string input;
    std::string output;
    std::string note;
    double velocity = 100.0;
    std::string flags;
    double offset = 0.0;
    double length = 0.0;
    double consonant = 0.0;
    double cutoff = 0.0;
    double intensity = 100.0;
    double modulation = 100.0;
    std::string pitch;

    // The output "nul" (the null device, any letter case): only the frequency table is made.
    bool outputIsNull() const;
};

}  // namespace tova::vorsa
