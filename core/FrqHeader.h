#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace tova {

// Header of a frequency-table file (".frq"): 40 bytes, little-endian, fields in file order.
// The tables are made by the note renderer; fields this program does not interpret are kept as read
// so that a rewritten table carries them unchanged.
struct FrqHeader {
    QByteArray signature;        // 8 bytes of single-byte text, not tested on reading
    qint32 reserved = 0;         // not interpreted
    double averageFreq = 0.0;    // key frequency of the sample in Hz; 0 or less: no average set
    double extra1 = 0.0;         // not interpreted
    double extra2 = 0.0;         // not interpreted
    qint32 frameCount = 0;       // frames in the table; readable range 1..4095
};

}  // namespace tova
