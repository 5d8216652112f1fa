#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tova {

// The song as four parallel arrays: element i of each array belongs to note i (counting from 0).
//
// - `Lengths`: note length in internal ticks (four times the project file's `Length`, 1920 a beat).
// - `Lyrics`: lyric or sample alias; a rest is told by `IsRestLyric`.
// - `NoteNums`: internal note number, the MIDI note number minus 24 (internal 12 is 65.4063913251497 Hz).
// - `NoteExt`: the note's extension string (see NoteExtension.h); an empty one reads as six empty fields.
//
// The note count is the size of `Lyrics`. The empty song is the one exception to equal sizes: `Lyrics`
// has no element while the other three keep one spare element, so readers count notes by `Lyrics` only.
struct NoteArrays {
    QList<qint32> Lengths{0};
    QStringList Lyrics;
    QList<qint32> NoteNums{0};
    QStringList NoteExt{QString()};

    qint32 noteCount() const { return qint32(Lyrics.size()); }
    // The upper bound of `Lyrics`: the index of the last note, -1 for the empty song.
    qint32 lastNote() const { return qint32(Lyrics.size()) - 1; }
    // Makes the empty song: no lyric element, one zero/empty spare element in the other three arrays.
    void makeEmpty();
    // Resizes all four arrays to `count` notes, keeping their contents; new elements are 0 or empty.
    // A count below 1 makes the empty song.
    void resizeNotes(qint32 count);
};

// Removes note `index`; later notes move down by one. Deleting the only note leaves the empty song.
// Nothing happens on the empty song; an index outside the notes raises InvalidCallError.
void DeleteNoteAt(qint32 index, NoteArrays& notes);

// Opens a slot of one note at `index` (0 to the note count); later notes move up by one. Nothing else is
// written: the slot still holds a copy of the note that was there (a new element when appending, and
// on the empty song the spare elements as they were). The caller fills the slot. An index outside
// 0..note count raises InvalidCallError.
void InsertNoteAt(qint32 index, NoteArrays& notes);

// True when the lyric denotes a rest: with leading and trailing blanks removed and upper-cased it is
// empty or "R".
bool IsRestLyric(const QString& lyric);

}  // namespace tova
