#pragma once

#include "song/NoteArrays.h"

#include <QStringList>

namespace tova {

class SmfFile;

// Turns the track chunk at the file's position into notes and rests from index `count` on: lengths in
// internal ticks (1920 a quarter note), lyrics from lyric events ("あ" before the first), note numbers
// (the MIDI number minus 24; 12..23 lose 12, 0..11 stay), and extension strings built from the text
// events of the plain export (offset, mod, flag, tempo, env, stp, "pitch=" lines) or from pitch bends
// under the RPN 0 bend range, then given the default note settings. Tempo changes of `tempos` (and the
// track's own, appended to it) cut rests and become tempo options.
//
// `channel` 1..16 takes only that MIDI channel's events, 0 all channels. Each entry written grows the
// four arrays to its index + 1. Returns the count after the track (also in `count`), or -1 when the file
// holds no "MTrk" chunk here (file closed). A data byte without running status ends the track early
// (after "Invalid status."). Malformed input raises SmfFormatError or OverflowError: a short read, a
// zero tempo, a length or time beyond 32 bits. The pitch curves built from bends hold at most
// MaxDecodedPitchValues values together, so far-apart bends cannot grow a curve without bound.
qint32 SmfParseTrack(SmfFile& file, qint16 division, qint32& count, QStringList& tempos, NoteArrays& notes,
                     int channel = 0);

}  // namespace tova
