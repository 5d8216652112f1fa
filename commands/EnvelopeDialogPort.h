#pragma once

#include <QString>

class QObject;

namespace tova {

// What the envelope editor shows and hands back: the note's context in milliseconds and its envelope,
// pre-utterance and overlap texts, which the editor replaces when the user accepts.
struct EnvelopeDialogArgs {
    bool prevIsRest = false;    // the previous note is a rest (false for the first note)
    float prevLength = 0;       // the previous note's length, ms (0 for the first note)
    float noteLength = 0;       // the note's length, ms; 0: nothing to edit
    QString env;                // in/out: the envelope text
    QString pre;                // in/out: the note's own pre-utterance text (empty: the voice bank's)
    QString overlap;            // in/out: the note's own overlap text (empty: the voice bank's)
    float velocityFactor = 1;   // 2 ^ (velocity / 100 - 1)
    float otoPre = 0;           // the voice bank's pre-utterance and overlap of the note
    float otoOverlap = 0;
    float nextPre = 0;          // the next note's effective pre-utterance and overlap (0 for the last)
    float nextOverlap = 0;
};

// The envelope editor as the envelope commands open it: modal over `owner`; true when the user
// accepted, and then `args` holds the edited texts. False when cancelled or when there is nothing to
// edit (a note length of 0).
class EnvelopeDialogPort {
public:
    virtual ~EnvelopeDialogPort() = default;
    virtual bool ShowEnvelopeDialog(EnvelopeDialogArgs& args, QObject* owner) = 0;
};

// The editor while the program has none: says so ("エンベロープ" is not available yet) and returns false.
class NoEnvelopeDialog : public EnvelopeDialogPort {
public:
    bool ShowEnvelopeDialog(EnvelopeDialogArgs& args, QObject* owner) override;
};

}  // namespace tova
