#pragma once

#include "tools/initvox/SpeechEngine.h"

#include <QTemporaryDir>

#include <atomic>

namespace tova::initvox {

// The speech synthesizer of the default voice: the espeak-ng program, run once per text with its
// output written to a scratch wave file that is read back and removed. The text is spoken with a flat
// intonation (SSML prosody range 0), so a held vowel keeps one pitch.
class EspeakSpeech : public SpeechEngine {
public:
    EspeakSpeech(const QString& voice, int speed, int pitch, const QString& program = QStringLiteral("espeak-ng"));

    SpokenAudio speak(const QString& text) override;

    // The program's arguments for one text and output file.
    QStringList arguments(const QString& text, const QString& waveFile) const;

private:
    QString voice_;
    int speed_;
    int pitch_;
    QString program_;
    QTemporaryDir scratch_;
    std::atomic<int> counter_{0};
};

}  // namespace tova::initvox
