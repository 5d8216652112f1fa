#pragma once

#include <QString>
#include <QVector>

#include <array>
#include <functional>

namespace tova {

class VoiceBankManager;

// First timing values of a voice bank's samples computed from their frequency tables: the manager's
// command on a double-click of its background. Only the rows' texts change; nothing is saved.

// Groups of samples by the first character of their file name.
enum class SampleGroup { Vowel, Plosive, Nasal, Other };
// The group of a row text: the character after the last "\" (or "/").
SampleGroup GroupOfSample(const QString& rowText);

// The analysis of a table: O leading quiet frames, S first voiced frame, V length of the voiced run
// (frames after S; frame 0 counts too when it is voiced), C = S − O, N frames.
struct FrameAnalysis {
    int N = 0, O = 0, S = 0, V = 0, C = 0;
};
// `frames` holds pairs (frequency, level) as ReadFrqFile gives them.
FrameAnalysis AnalyseFrames(const QVector<double>& frames);

// The five texts offset, consonant, blank, pre-utterance, overlap (whole milliseconds) of a group.
std::array<QString, 5> EstimateTimings(const FrameAnalysis& a, SampleGroup group);
// The length check on the five texts of a row of a table of N frames (applies to every visited row).
void ApplyLengthCheck(int frameCount, std::array<QString, 5>& texts);

// The command. `generate` makes a sample's table (true when it ran), as FreqTableCommands does.
// True when a row's values were written.
bool EstimateParameters(VoiceBankManager& manager, const std::function<bool(const QString& name)>& generate);

}  // namespace tova
