#include "commands/EditContext.h"

#include "core/MessageTable.h"
#include "platform/Ports.h"
#include "song/NoteCache.h"
#include "song/Song.h"

#include <algorithm>

namespace tova {

qint32 EditContext::selStart() const { return song().SelStart; }
qint32 EditContext::selEnd() const { return song().SelEnd; }

void EditContext::setSelection(qint32 start, qint32 end) {
    song().SelStart = start;
    song().SelEnd = end;
}

NoteRange EditContext::selectedRange() const {
    const Song& s = song();
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
    for (qint32 i = first; i <= last; ++i) cache->DeleteNoteCacheFiles(song().CacheDir, i);
}

void EditContext::beginPropUndo(qint32 first, qint32 last, const QString& caption) {
    song().BeginPropUndo(first, last, GetMessage(caption));
}

bool EditContext::endPropUndo(bool dropCache) {
    const qint32 first = song().PropUndoFrom;
    const qint32 last = song().PropUndoTo;
    const bool changed = song().EndPropUndo();
    if (changed && dropCache) deleteCachedNotes(first, last);
    return changed;
}

void EditContext::pushUndo(const QString& undoText, const QString& redoText, const QString& caption) {
    song().PushUndoRecord(undoText, redoText, GetMessage(caption));
}

void EditContext::setModified(bool modified) { song().SetModified(modified); }

MessageBoxPort& EditContext::messageBox() { return Ports::messageBox(); }
InputBoxPort& EditContext::inputBox() { return Ports::inputBox(); }
FileDialogPort& EditContext::fileDialog() { return Ports::fileDialog(); }
PopupMenuPort& EditContext::popupMenu() { return Ports::popupMenu(); }

}  // namespace tova
