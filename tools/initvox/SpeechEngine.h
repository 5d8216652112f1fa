#pragma once

#include <QString>

#include <vector>

namespace tova::initvox {

// Mono audio as a speech engine speaks it, full scale 1.0.
struct SpokenAudio {
    std::vector<float> samples;
    double sampleRate = 0.0;
};

// What the generator needs of a speech synthesizer: one text in, its sound out. Implementations are
// called from several threads at once.
class SpeechEngine {
public:
    virtual ~SpeechEngine() = default;
    // Throws a TovaError naming the problem when the text cannot be spoken.
    virtual SpokenAudio speak(const QString& text) = 0;
};

}  // namespace tova::initvox
