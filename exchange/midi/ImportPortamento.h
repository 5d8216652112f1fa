#pragma once

#include <QString>

namespace tova {

// The mode-2 portamento that an imported note gets from the settings `Mode2PBS` and `Mode2PBW`
// (milliseconds): both scaled by 2 ^ (leap in semitones / 12), the start held within half of the
// previous note and start + width within half of this note (a note's duration in milliseconds is its
// length x 31.25 / its tempo). Writes the whole numbers (rounded down) as the `PBS` and `PBW` entries
// of the option list. A value beyond any number raises OverflowError.
void SetImportPortamento(QString& options, qint32 prevNoteNum, qint32 noteNum, qint32 prevLength, qint32 length,
                         double prevTempo, double tempo);

}  // namespace tova
