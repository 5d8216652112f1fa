#pragma once

#include <QByteArray>
#include <QString>

namespace tova::test {

// A minimal wave file of `ms` milliseconds of silence (16-bit mono, 44100 Hz).
QByteArray SilentWave(qint64 ms);

// A voice sample: a short breath of noise, then a vowel-like tone of `f0` Hz (a few harmonics with a
// soft formant tilt), `ms` long, 16-bit mono at 44100 Hz.
QByteArray VoiceSampleWave(double f0, int ms, unsigned seed = 1);

// A small voice bank in `folder`: samples "a.wav" (あ, 220 Hz), "ka.wav" (か, 196 Hz) and
// "sub/i.wav" (い, 247 Hz, listed by the sub-folder's oto.ini), a silent "R.wav", and the CP932
// oto.ini files. Needs nothing but Qt, so the benchmarks use it too.
void WriteFixtureBank(const QString& folder);

}  // namespace tova::test
