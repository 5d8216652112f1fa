#include "commands/EditContext.h"

#include "core/Mci.h"
#include "core/MessageTable.h"
#include "platform/Ports.h"
#include "song/NoteCache.h"
#include "song/Song.h"

#include <algorithm>

namespace tova {

qint32 EditContext::selStart() const { return editedSong().SelStart; }
qint32 EditContext::selEnd() const { return editedSong().SelEnd; }

void EditContext::setSelection(qint32 start, qint32 end) {
    editedSong().SelStart = start;
    editedSong().SelEnd = end;
}

NoteRange EditContext::selectedRange() const {
    const Song& s = editedSong();
    const qint32 count = s.noteCount();
    NoteRange r;
    r.first = std::min(s.SelStart, s.SelEnd);
    r.last = std::max(s.SelStart, s.SelEnd);
    r.empty = r.first >= count || r.first < 0;
    if (r.last > count - 1) r.last = count - 1;
    return r;
}

void EditContext::Redraw() {
    DrawBackground();
    DrawNotes();
}

void EditContext::deleteCachedNotes(qint32 first, qint32 last) {
    NoteCache* cache = renderCache();
    if (!cache) return;
    for (qint32 i = first; i <= last; ++i) cache->DeleteNoteCacheFiles(editedSong().CacheDir, i);
}

void EditContext::beginPropUndo(qint32 first, qint32 last, const QString& caption) {
    editedSong().BeginPropUndo(first, last, GetMessage(caption));
}

bool EditContext::endPropUndo(bool dropCache) {
    const qint32 first = editedSong().PropUndoFrom;
    const qint32 last = editedSong().PropUndoTo;
    const bool changed = editedSong().EndPropUndo();
    if (changed && dropCache) deleteCachedNotes(first, last);
    return changed;
}

void EditContext::pushUndo(const QString& undoText, const QString& redoText, const QString& caption) {
    editedSong().PushUndoRecord(undoText, redoText, GetMessage(caption));
}

void EditContext::setModified(bool modified) { editedSong().SetModified(modified); }

MessageBoxPort& EditContext::messageBox() { return Ports::messageBox(); }
InputBoxPort& EditContext::inputBox() { return Ports::inputBox(); }
FileDialogPort& EditContext::fileDialog() { return Ports::fileDialog(); }
PopupMenuPort& EditContext::popupMenu() { return Ports::popupMenu(); }
ClipboardPort& EditContext::clipboard() { return Ports::clipboard(); }
void EditContext::playSoundAsync(const QString& path) { PlaySoundAsync(path); }

}  // namespace tova
