#pragma once

#include "tools/initvox/SpeechEngine.h"

#include <QString>
#include <QtGlobal>

#include <vector>

namespace tova::initvox {

// The samples of the default voice bank: 16-bit mono waves at 44100 Hz.
class BankSample {
public:
    static constexpr int kSampleRate = 44100;
    static constexpr double kLeadMs = 50.0;        // silence kept before the sound
    static constexpr double kTailMs = 40.0;        // kept after it
    static constexpr double kVowelLevelDb = -16.0; // level of every sample's vowel
    static constexpr double kPeakDb = -1.0;        // highest peak allowed
    static constexpr double kSilenceMs = 1000.0;   // length of a silent sample

    // The bank's sample of spoken audio: resampled to 44100 Hz, cut to its sound with kLeadMs of
    // silence before and kTailMs after (silence is added where the audio has less), scaled so that its vowel (or, without one, its loudest part)
    // has the level kVowelLevelDb with no peak above kPeakDb, rounded to 16 bits. Throws TovaError when
    // the audio holds no sound.
    static std::vector<qint16> fromSpeech(const SpokenAudio& audio);

    // A silent sample of kSilenceMs.
    static std::vector<qint16> silence();

    static std::vector<float> toFloat(const std::vector<qint16>& values);

    // Writes a 16-bit mono WAVE file at 44100 Hz; FileError when it cannot.
    static void write(const QString& path, const std::vector<qint16>& values);
};

}  // namespace tova::initvox
