#include "commands/ClipboardCommands.h"

#include "commands/CommandFrame.h"
#include "commands/CommandRegistry.h"
#include "commands/EditContext.h"
#include "platform/ClipboardPort.h"
#include "song/LyricText.h"
#include "song/Song.h"

#include <algorithm>

namespace tova {

namespace {

// The text box that takes a clipboard keystroke in place of the notes; empty when the focus is elsewhere.
bool sentToTextBox(EditContext& c, const QString& keys) {
    const QString box = c.focusedTextBox();
    if (box.isEmpty()) return false;
    c.sendKeys(box, keys);
    return true;
}

QString clipText(const QString& lyric) {
    if (IsRestLyric(lyric)) return QStringLiteral(" ");
    if (lyric.size() == 1 || (lyric.size() == 2 && IsSmallKana(lyric.at(1)))) return lyric;
    return u'"' + lyric + u'"';
}

}  // namespace

QString ClipboardText(const NoteArrays& notes, qint32 first, qint32 last) {
    QStringList parts;
    for (qint32 i = first; i <= last; ++i) parts << clipText(notes.Lyrics.at(i));
    return parts.join(QString());
}

void mnCopy_Click(EditContext& c) {
    if (sentToTextBox(c, QStringLiteral("^C"))) return;
    NoteArrays& clip = c.noteClipBuffer();
    const NoteRange r = c.selectedRange();
    if (r.empty) {
        clip.makeEmpty();
        return;
    }
    const Song& s = c.editedSong();
    const qint32 n = r.last - r.first + 1;
    clip.Lengths = s.Lengths.mid(r.first, n);
    clip.Lyrics = s.Lyrics.mid(r.first, n);
    clip.NoteNums = s.NoteNums.mid(r.first, n);
    clip.NoteExt = s.NoteExt.mid(r.first, n);
    c.clipboard().setText(ClipboardText(s, r.first, r.last));
}

void mnCut_Click(EditContext& c) {
    if (sentToTextBox(c, QStringLiteral("^X"))) return;
    mnCopy_Click(c);
    mnDelete_Click(c);
}

void mnToneCut_Click(EditContext& c) {
    mnCopy_Click(c);
    mnDelete_Click(c);
}

void mnDelete_Click(EditContext& c) {
    Song& s = c.editedSong();
    const qint32 count = s.noteCount();
    const qint32 first = std::min(s.SelStart, s.SelEnd);
    const qint32 last = std::max(s.SelStart, s.SelEnd);
    // A selection that starts before the first note removes nothing: it records no step either, since
    // a step made from the notes it names would give back notes that were never removed.
    if (first < 0) return;
    QString undo;
    if (first <= last && first < count) undo = s.SerializeNoteRange(QStringLiteral("INS"), first, std::min(last, count - 1));
    const QString redo = DeleteLine(first, last < count ? last : count - 1);
    s.RemoveNotes(first, last, false);
    c.pushUndo(undo, redo, QStringLiteral("ノートの削除"));
    c.setSelection(s.noteCount(), s.noteCount());
    c.Redraw();
}

void mnPaste_Click(EditContext& c) {
    Song& s = c.editedSong();
    // A selection left past the end (a removal of the last notes) pastes before the last note; an empty
    // song pastes at 0.
    if (s.SelStart > s.noteCount()) s.SelStart = std::max(0, s.noteCount() - 1);
    if (s.SelStart < 0) s.SelStart = 0;
    if (sentToTextBox(c, QStringLiteral("^V"))) return;
    const NoteArrays& clip = c.noteClipBuffer();
    const qint32 n = clip.noteCount();
    if (n <= 0) return;
    const qint32 p = s.SelStart;
    const qint32 count = s.noteCount();
    if (count == 0) {
        s.Lengths.clear();
        s.NoteNums.clear();
        s.NoteExt.clear();
    }
    s.Lengths.insert(p, n, 0);
    s.NoteNums.insert(p, n, 0);
    s.NoteExt.insert(p, n, QString());
    s.Lyrics.insert(p, n, QString());
    for (qint32 i = 0; i < n; ++i) {
        s.Lengths[p + i] = clip.Lengths.at(i);
        s.NoteNums[p + i] = clip.NoteNums.at(i);
        s.Lyrics[p + i] = clip.Lyrics.at(i);
        s.NoteExt[p + i] = clip.NoteExt.at(i);
    }
    s.SelEnd = p + n - 1;
    s.SetModified(true);
    c.pushUndo(DeleteLine(p, s.SelEnd), s.SerializeNoteRange(QStringLiteral("INS"), p, p + n - 1), QStringLiteral("ノートの貼付け"));
    if (!IsNoteVisible(c, s.SelStart)) c.scrollToNote(s.SelStart);
    c.Redraw();
}

bool IsNoteVisible(const EditContext& c, qint32 index) {
    const NoteGeometryList& g = c.noteGeometry();
    if (index < 0 || index >= g.size()) return false;
    const NoteGeometryRecord& r = g.at(index);
    return r.Left + r.Width > 0 && r.Left < c.rollInnerWidth();
}

void mnTonePaste_Click(EditContext& context) { mnPaste_Click(context); }

void registerClipboardCommands(CommandRegistry& registry) {
    addEditCommand(registry, QStringLiteral("mnCopy"), mnCopy_Click);
    addEditCommand(registry, QStringLiteral("mnCut"), mnCut_Click);
    addEditCommand(registry, QStringLiteral("mnToneCut"), mnToneCut_Click);
    addEditCommand(registry, QStringLiteral("mnDelete"), mnDelete_Click);
    addEditCommand(registry, QStringLiteral("mnPaste"), mnPaste_Click);
    addEditCommand(registry, QStringLiteral("mnTonePaste"), mnTonePaste_Click);
}

}  // namespace tova
