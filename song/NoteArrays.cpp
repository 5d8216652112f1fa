#include "song/NoteArrays.h"

#include "platform/Errors.h"
#include "song/LyricText.h"

namespace tova {

namespace {

// Grows an array to `newSize` elements and moves the elements from `index` on up by one, leaving a
// copy of element `index` in place (or a new element when `index` is at the end).
template <class List>
void openSlot(List& list, qint32 index, qint32 newSize) {
    if (list.size() == newSize - 1 && index < list.size()) {
        const auto copy = list.at(index);
        list.insert(index, copy);
        return;
    }
    list.resize(newSize);
    for (qint32 p = newSize - 1; p > index; --p) list[p] = list[p - 1];
}

template <class List>
void removeSlot(List& list, qint32 index) {
    if (index < list.size()) list.removeAt(index);
}

}  // namespace

void NoteArrays::makeEmpty() {
    Lengths = {0};
    NoteNums = {0};
    NoteExt = {QString()};
    Lyrics.clear();
}

void NoteArrays::resizeNotes(qint32 count) {
    if (count < 1) {
        makeEmpty();
        return;
    }
    Lengths.resize(count);
    Lyrics.resize(count);
    NoteNums.resize(count);
    NoteExt.resize(count);
}

void DeleteNoteAt(qint32 index, NoteArrays& notes) {
    const qint32 last = notes.lastNote();
    if (last < 0) return;
    if (index < 0 || index > last) throw InvalidCallError();
    if (last == 0) {
        notes.makeEmpty();
        return;
    }
    removeSlot(notes.Lengths, index);
    removeSlot(notes.Lyrics, index);
    removeSlot(notes.NoteNums, index);
    removeSlot(notes.NoteExt, index);
}

void InsertNoteAt(qint32 index, NoteArrays& notes) {
    const qint32 last = notes.lastNote();
    if (index < 0 || index > last + 1) throw InvalidCallError();
    // The new bounds are 0 to last + 1; on the empty song that is the one spare element.
    const qint32 newSize = last + 2;
    openSlot(notes.Lengths, index, newSize);
    openSlot(notes.Lyrics, index, newSize);
    openSlot(notes.NoteNums, index, newSize);
    openSlot(notes.NoteExt, index, newSize);
}

bool IsRestLyric(const QString& lyric) {
    const QString t = TrimBlanks(lyric).toUpper();
    return t.isEmpty() || t == u"R";
}

}  // namespace tova
