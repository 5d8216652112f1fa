#pragma once

#include <QtGlobal>

namespace tova {

// The main window's fields of the selection player.
struct PlayState {
    // Position of the selection player in milliseconds from the start of "temp.wav"; 0 when nothing
    // plays. Written by the playback timer.
    qint32 PlayPosition = 0;
    // First note of the range last rendered for playing; the play cursor counts time from its start.
    // Written when playing starts.
    qint32 PlayStartNote = 0;
    // The note in which the play position lies, or -1. The roll drawing recomputes it on every redraw.
    qint32 PlayingNote = -1;
};

}  // namespace tova
