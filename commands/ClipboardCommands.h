#pragma once

#include <QString>

namespace tova {

class CommandRegistry;
class EditContext;
struct NoteArrays;

// Copy, cut, paste and delete of notes. Copy fills the window's note clipboard with every field of the
// selected notes and puts their lyrics on the system clipboard as one line in the form the lyric entry
// box reads back; paste inserts the clipboard's notes before the selection start as one undo step.

// The system clipboard text of notes first..last: a rest is one blank, a lyric of one character or of
// a character and one small kana stands as it is, any other lyric between double quotes; no separators.
QString ClipboardText(const NoteArrays& notes, qint32 first, qint32 last);

// "コピー(&C)": with the focus in a text box, Ctrl+C goes to the box; with no selection the note
// clipboard is emptied (the system clipboard keeps its text). Changes no note and records nothing.
void mnCopy_Click(EditContext& context);
// "切り取り(&T)": Ctrl+X to a focused text box, otherwise copy then delete.
void mnCut_Click(EditContext& context);
// The pop-up menu's "切り取り": copy (with its text-box rule) then delete.
void mnToneCut_Click(EditContext& context);
// "削除(&K)": removes the selection as one step "ノートの削除" (with no selection an empty step).
void mnDelete_Click(EditContext& context);
// "貼り付け(&P)": Ctrl+V to a focused text box; otherwise inserts the note clipboard before the
// selection start, selects the pasted notes and records "ノートの貼付け". The position is held within
// 0..note count, also when the selection was left past the end by a removal.
void mnPaste_Click(EditContext& context);
// "貼り付け" of the note pop-up menu (also run by "mnNotePaste"): the same as "mnPaste".
void mnTonePaste_Click(EditContext& context);

// True when the note's rectangle of the last drawing lies at least partly inside the roll horizontally;
// false for an index without a record.
bool IsNoteVisible(const EditContext& context, qint32 index);

void registerClipboardCommands(CommandRegistry& registry);

}  // namespace tova
