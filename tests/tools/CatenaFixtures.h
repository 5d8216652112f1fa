#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace tova::test {

// Small wave files for the concatenator and batch runner tests, and an independent reader that checks
// a 16-bit PCM wave byte by byte.

// A 16-bit PCM wave of interleaved samples.
QByteArray catenaWaveBytes(const std::vector<qint16>& interleaved, int channels, int rate);

// `frames` samples of a sine (amplitude, frequency) at 44100 Hz, mono.
std::vector<qint16> catenaSine(int frames, double amplitude, double frequency, int rate = 44100);

struct CatenaWaveCheck {
    bool valid = false;  // RIFF/WAVE, one "fmt " and one "data" chunk, sizes matching the file
    QString problem;
    int channels = 0;
    int rate = 0;
    int bits = 0;
    std::vector<qint16> samples;
};
CatenaWaveCheck catenaReadWave(const QByteArray& bytes);

// The samples of a raw little-endian 16-bit data part.
std::vector<qint16> catenaRawSamples(const QByteArray& bytes);

}  // namespace tova::test

#include <ostream>

// Readable test failure output for texts.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
