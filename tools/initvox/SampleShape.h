#pragma once

#include <vector>

namespace tova::initvox {

// What the generator learns of one spoken syllable from its own energy and pitch, frame by frame
// (a frame every 5 ms: the level over 10 ms, the fundamental over 25 ms, both centred on the frame's
// time).
//
// The sound runs from the first to the last sample above the silence threshold (45 dB below the
// loudest frame). The voiced run is the longest run of voiced frames whose fundamental stays within a
// semitone of the sample's median fundamental and whose level is within 25 dB of the loudest frame.
// The vowel spans the run and the frames next to it that are as loud and as bright (the pitch windows
// reach past the vowel's edges). The brightness is the level of the signal's first difference: a
// nasal murmur or a voiced consonant is nearly as loud as its vowel but much duller. Within that span
// the vowel starts where both level and brightness first come within 6 dB of the run's median values,
// is steady from where both are within 3 dB and the pitch within 30 cents, and ends where both last
// are within 6 dB.
struct SampleShape {
    bool hasSound = false;     // some frame is above the silence threshold
    bool hasVowel = false;     // a voiced run was found (the times below are then set)
    double length = 0.0;       // ms, the whole signal
    double soundStart = 0.0;   // ms, first sample above the silence threshold
    double soundEnd = 0.0;     // ms, end of the last sample above it
    double audibleStart = 0.0; // ms, first frame within 20 dB of the vowel level
    double vowelStart = 0.0;   // ms
    double steadyStart = 0.0;  // ms
    double vowelEnd = 0.0;     // ms
    double vowelLevel = -200.0;  // dB relative to full scale (1.0)
    double peakLevel = -200.0;   // dB, loudest frame
    double vowelFrequency = 0.0; // Hz, median fundamental of the run

    static constexpr double kFrameMs = 5.0;

    // The shape of a mono signal (full scale 1.0) at the given sample rate.
    static SampleShape of(const std::vector<float>& signal, double sampleRate);
};

}  // namespace tova::initvox
