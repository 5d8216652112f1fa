#pragma once

#include <QString>

namespace tova::initvox {

struct SampleShape;

// The five oto.ini timing values of one sample, in whole milliseconds, estimated from its shape:
// - offset: 10 ms before the sound starts (not before the sample's start);
// - pre-utterance: from the offset to the start of the vowel, so the vowel starts on the beat;
// - overlap: from the offset to where the sound comes within 20 dB of the vowel level (the quiet
//   lead-in that may sound under the previous note), at most half the pre-utterance;
// - consonant (the fixed part that is never stretched): from the offset to where the vowel is steady;
// - cutoff: the blank at the end, from the end of the vowel to the end of the sample.
// So overlap <= pre-utterance <= consonant, and the stretched part is the steady vowel.
struct OtoTiming {
    int offset = 0;
    int consonant = 0;
    int cutoff = 0;
    int preutterance = 0;
    int overlap = 0;

    // Needs a shape with a vowel.
    static OtoTiming estimate(const SampleShape& shape);

    // The oto.ini record of a sample file with an empty alias (the lyric finds it by its file name):
    // "file=,offset,consonant,cutoff,pre-utterance,overlap".
    QString otoLine(const QString& sampleFile) const;
};

}  // namespace tova::initvox
