#pragma once

#include <QtGlobal>

namespace tova {

// The header chunk of a Standard MIDI File: format (0 one track, 1 several tracks), the number of
// track chunks and the division (file ticks per quarter note).
struct SmfHeader {
    qint16 format = 0;
    qint16 tracks = 0;
    qint16 division = 0;
};

}  // namespace tova
