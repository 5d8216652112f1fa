#pragma once

#include <string>

namespace tova::vorsa {

// The flags text of a render call: letters, each optionally followed by a signed number. Letters are
// case-sensitive; unknown letters (and their numbers) and other characters are ignored; a letter given
// twice takes its last value.
//   g  formant shift, -100..100, 0 none: positive moves the formants up (a smaller, brighter voice),
//      negative down; at +-100 by half an octave.
//   B  breathiness, 0..100, 50 neutral (see VoiceEffects).
//   Y  volume of the consonant part in percent, 0..100, 100 neutral.
//   N  turns the formant-preserving shift off (the formants follow the pitch).
//   G  makes the frequency table anew even when the sample has one.
class RenderFlags {
public:
    static RenderFlags parse(const std::string& text);  // UTF-8

    double formantShift = 0.0;
    double breathiness = 50.0;
    double consonantVolume = 100.0;
    bool formantsFollowPitch = false;
    bool remakeTable = false;

    // Time squeeze of the grains that moves the formants by the g flag: 2^(g / 200).
    double formantFactor() const;
};

}  // namespace tova::vorsa
