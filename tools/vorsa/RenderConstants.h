#pragma once

namespace tova::vorsa {

// The note renderer works at one rate: every sample is converted to it on reading, every output is
// written at it, and the frequency table has one frame per `kFrameStep` samples of it.
inline constexpr int kSampleRate = 44100;
inline constexpr int kFrameStep = 256;
// A frame of the frequency table that has no fundamental holds this value; 0 reads the same way.
inline constexpr double kNoPitchFrequency = 55.0;
// The most frames a frequency table may hold.
inline constexpr int kMaxTableFrames = 4095;

// True when a frame value of a frequency table stands for "no fundamental here".
inline bool isNoPitch(double frequency) { return !(frequency > 0.0) || frequency == kNoPitchFrequency; }

}  // namespace tova::vorsa
