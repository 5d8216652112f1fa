#pragma once

#include "song/NoteArrays.h"

#include <QList>
#include <QStringList>

#include <ostream>

namespace tova::test {

// The notes of a song as plain lists (only the notes, not the spare elements of an empty song), for
// comparing a song before and after a change.
struct NoteSnapshot {
    QList<qint32> lengths;
    QStringList lyrics;
    QList<qint32> noteNums;
    QStringList ext;
    bool operator==(const NoteSnapshot&) const = default;
};

inline NoteSnapshot snapshotOf(const NoteArrays& s) {
    NoteSnapshot n;
    for (qint32 i = 0; i < s.noteCount(); ++i) {
        n.lengths << s.Lengths[i];
        n.lyrics << s.Lyrics[i];
        n.noteNums << s.NoteNums[i];
        n.ext << s.NoteExt[i];
    }
    return n;
}

inline std::ostream& operator<<(std::ostream& os, const NoteSnapshot& n) {
    for (qsizetype i = 0; i < n.lyrics.size(); ++i)
        os << "[" << n.lengths[i] << " " << n.lyrics[i].toStdString() << " " << n.noteNums[i] << " "
           << n.ext[i].toStdString() << "] ";
    return os;
}

}  // namespace tova::test
