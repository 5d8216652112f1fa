#pragma once

#include <QString>

namespace tova {

struct NoteArrays;
class NoteTimingSource;

// The vowel-combining dialog's settings as its boxes hold them (texts are read with the leading-number
// rule at every note). The joint may rewrite `Start` (a start before minus the width becomes minus the
// width), which the dialog then keeps.
struct CombineSettings {
    QString Targets = QStringLiteral("あ,い,う,え,お,ん");
    bool Enabled = true;
    QString Width = QStringLiteral("100");
    QString Start = QStringLiteral("-50");
    bool VolNext = true;
    QString Per = QStringLiteral("0.95");
    bool Env1 = false;
    QString Target2 = QStringLiteral(
        "さ,し,す,せ,そ,しゃ,しゅ,しぇ,しょ,ち,ちゃ,ちゅ,ちぇ,ちょ,つ,つぁ,つぃ,つぇ,つぉ,は,ひ,ふ,へ,ほ,ひゃ,ひゅ,ひぇ,ひょ");
    QString E1st = QStringLiteral("95"), E1top = QStringLiteral("115"), E1mid = QStringLiteral("75");
    bool EnvOther = false;
    QString EOtop = QStringLiteral("130"), EOmid = QStringLiteral("100"), EObtm = QStringLiteral("75");
};

// The dialog pass on note i (`prevTempo` at note i - 1, `tempo` at note i). A note whose leading kana
// is in `Targets` is joined to the note before (its timing, intensity and envelope head, and the
// previous note's envelope tail); otherwise a note in `Target2` gets the type 1 envelope and any other
// note the other envelope, each only when its box is set. Envelopes are read by the envelope rule
// ("," counts as a blank).
void ApplyAutoCombine(float prevTempo, float tempo, qint32 i, NoteArrays& notes, const NoteTimingSource& timing,
                      CombineSettings& settings);

// The one-click combining settings (`ReadCombineOptions` fills them).
struct OmakaseCombineSettings {
    QString Targets;  // the captions of the set vowel boxes, each followed by ",", then the free text
    float Start = -50, Width = 100, Rate = 0.97f;
};
// `vowels` are the six boxes あ い う え お ん; `strength` the index of the set optComb button (-1: none,
// the numbers keep their values).
void ReadCombineOptions(const bool vowels[6], const QString& others, int strength, OmakaseCombineSettings& settings);

// The one-click pass on note i: the joint only, with limits taken from the two notes' lengths.
void ApplyOmakaseCombine(float prevTempo, float tempo, qint32 i, NoteArrays& notes, const NoteTimingSource& timing,
                         const OmakaseCombineSettings& settings);

}  // namespace tova
