#pragma once

#include "song/NoteArrays.h"

#include <QList>
#include <QString>

// Songs written out note by note for the exchange tests.
namespace tova::test {

struct NoteSpec {
    QString lyric;
    qint32 length;
    qint32 noteNum;
    QString ext;
};

inline NoteArrays notesOf(const QList<NoteSpec>& list) {
    NoteArrays n;
    n.resizeNotes(qint32(list.size()));
    for (qsizetype i = 0; i < list.size(); ++i) {
        n.Lyrics[i] = list[i].lyric;
        n.Lengths[i] = list[i].length;
        n.NoteNums[i] = list[i].noteNum;
        n.NoteExt[i] = list[i].ext;
    }
    return n;
}

}  // namespace tova::test
