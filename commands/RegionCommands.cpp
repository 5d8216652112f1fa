#include "commands/RegionCommands.h"

#include "commands/CommandFrame.h"
#include "commands/CommandRegistry.h"
#include "commands/EditContext.h"
#include "core/MessageTable.h"
#include "platform/MessageBoxPort.h"
#include "song/FreeText.h"
#include "song/NoteExtension.h"
#include "song/Song.h"

#include <QMap>

#include <algorithm>

namespace tova {

namespace {

const QString kLabel = QStringLiteral("label");
const QString kRegion = QStringLiteral("$region");
const QString kRegionEnd = QStringLiteral("$region_end");

QString bar(const QString& text) { return u'|' + text + u'|'; }

// The value with one name taken out: "" when it was the only one.
QString withoutName(const QString& value, const QString& name) {
    QString text = bar(value);
    text.replace(bar(name), QStringLiteral("|"));
    return text == u"|" ? QString() : text.mid(1, text.size() - 2);
}

QString withName(const QString& value, const QString& name) { return value.isEmpty() ? name : value + u'|' + name; }

}  // namespace

bool HoldsRegionName(const QString& value, const QString& name) { return bar(value).contains(bar(name)); }

QStringList LabelList(const NoteArrays& notes) {
    QStringList labels;
    for (const QString& ext : notes.NoteExt) {
        const QString label = GetNoteOption(ext, kLabel);
        if (!label.isEmpty()) labels << label;
    }
    return labels;
}

QStringList RegionNameList(const NoteArrays& notes) {
    QStringList names;
    for (const QString& ext : notes.NoteExt) {
        const QString value = GetNoteOption(ext, kRegion);
        if (!value.isEmpty()) names << value.split(u'|');
    }
    return names;
}

QList<qint32> NotesWithLabel(const NoteArrays& notes, const QString& label) {
    QList<qint32> found;
    if (label.isEmpty()) return found;
    for (qint32 i = 0; i < notes.noteCount(); ++i)
        if (GetNoteOption(notes.NoteExt.at(i), kLabel) == label) found << i;
    return found;
}

bool SelectRegionByName(EditContext& c, const QString& name) {
    if (name.isEmpty()) return false;
    Song& s = c.editedSong();
    int state = 0;
    for (qint32 i = 0; i < s.noteCount(); ++i)
        if (HoldsRegionName(GetNoteOption(s.NoteExt.at(i), kRegion), name)) {
            s.SelStart = i;
            state = 1;
        }
    // The end is searched from the start note itself: a region of one note ends where it starts.
    for (qint32 i = s.SelStart; i < s.noteCount(); ++i)
        if (HoldsRegionName(GetNoteOption(s.NoteExt.at(i), kRegionEnd), name)) {
            s.SelEnd = i;
            state += 2;
        }
    // A start without an end: the region runs to the last note, whatever the selection was.
    if (state == 1) s.SelEnd = s.noteCount() - 1;
    return s.SelStart <= s.SelEnd;
}

QString FindSelectionRegion(const NoteArrays& notes, qint32 selStart, qint32 selEnd) {
    const qint32 first = std::min(selStart, selEnd), last = std::max(selStart, selEnd);
    if (first < 0 || last >= notes.noteCount()) return QString();
    const QString starts = GetNoteOption(notes.NoteExt.at(first), kRegion);
    if (starts.isEmpty()) return QString();
    const QString ends = GetNoteOption(notes.NoteExt.at(last), kRegionEnd);
    for (const QString& name : starts.split(u'|'))
        if (!name.isEmpty() && HoldsRegionName(ends, name)) return name;
    return QString();
}

void mnLabelDel_Click(EditContext& c) {
    const qint32 k = c.rulerNote();
    if (k < 0 || k >= c.editedSong().noteCount()) return;
    c.beginPropUndo(k, k, QStringLiteral("ラベルの削除"));
    SetNoteOption(c.editedSong().NoteExt[k], kLabel, QString());
    if (c.endPropUndo(false)) c.Redraw();
}

void mnSelectRegionAdd_Click(EditContext& c) {
    QString name;
    for (;;) {
        if (!AskText(c, QStringLiteral("名前を入力"), name)) break;
        if (name.isEmpty()) continue;
        if (RecordSelectionRegion(c, name)) break;
        MessageRequest used;
        used.text = GetMessage(QStringLiteral("'{1}'は既に使われています。"), name);
        c.messageBox().show(used);
    }
    c.DrawNotes();
}

bool RecordSelectionRegion(EditContext& c, QString& name) {
    name = SafeFreeText(name, FreeTextUse::RegionName);
    Song& s = c.editedSong();
    for (const QString& ext : s.NoteExt)
        if (HoldsRegionName(GetNoteOption(ext, kRegion), name)) return false;

    const NoteRange r = c.selectedRange();
    if (r.empty || r.first > r.last) return true;
    const QString undo = s.SerializeNote(QStringLiteral("PROP"), r.first) + RecordLineEnd() +
                         s.SerializeNote(QStringLiteral("PROP"), r.last);
    SetNoteOption(s.NoteExt[r.first], kRegion, withName(GetNoteOption(s.NoteExt.at(r.first), kRegion), name));
    SetNoteOption(s.NoteExt[r.last], kRegionEnd, withName(GetNoteOption(s.NoteExt.at(r.last), kRegionEnd), name));
    const QString redo = s.SerializeNote(QStringLiteral("PROP"), r.first) + RecordLineEnd() +
                         s.SerializeNote(QStringLiteral("PROP"), r.last);
    if (redo != undo) {
        c.pushUndo(undo, redo, QStringLiteral("選択範囲を記録"));
        c.setModified(true);
    }
    return true;
}

void mnSelectRegionDel_Click(EditContext& c) {
    const QString name = FindSelectionRegion(c.editedSong(), c.selStart(), c.selEnd());
    if (name.isEmpty()) return;
    DeleteNamedRegion(c, name);
    c.Redraw();
}

void DeleteNamedRegion(EditContext& c, const QString& name) {
    Song& s = c.editedSong();
    // The lines of the notes before any change, by note, so that a region of one note gives one line.
    QMap<qint32, QString> before;
    qint32 start = -1;
    for (qint32 i = 0; i < s.noteCount() && start < 0; ++i) {
        const QString value = GetNoteOption(s.NoteExt.at(i), kRegion);
        if (!HoldsRegionName(value, name)) continue;
        start = i;
        before.insert(i, s.SerializeNote(QStringLiteral("PROP"), i));
        SetNoteOption(s.NoteExt[i], kRegion, withoutName(value, name));
    }
    for (qint32 i = std::max(start, 0); i < s.noteCount(); ++i) {
        const QString value = GetNoteOption(s.NoteExt.at(i), kRegionEnd);
        if (!HoldsRegionName(value, name)) continue;
        if (!before.contains(i)) before.insert(i, s.SerializeNote(QStringLiteral("PROP"), i));
        SetNoteOption(s.NoteExt[i], kRegionEnd, withoutName(value, name));
        break;
    }
    QStringList undo, redo;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        undo << it.value();
        redo << s.SerializeNote(QStringLiteral("PROP"), it.key());
    }
    if (undo == redo) return;
    c.pushUndo(undo.join(RecordLineEnd()), redo.join(RecordLineEnd()), QStringLiteral("範囲名を削除"));
    c.setModified(true);
}

void registerRegionCommands(CommandRegistry& registry) {
    addEditCommand(registry, QStringLiteral("mnLabelDel"), mnLabelDel_Click);
    addEditCommand(registry, QStringLiteral("mnSelectRegionAdd"), mnSelectRegionAdd_Click);
    addEditCommand(registry, QStringLiteral("mnSelectRegionDel"), mnSelectRegionDel_Click);
}

}  // namespace tova
