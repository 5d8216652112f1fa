#pragma once

#include <QString>
#include <QStringList>

namespace tova {

struct NoteArrays;

// The plug-in exchange file: the text handed to a plug-in and the rules that apply what it returns.
//
// Sent (CR LF lines): "[#SETTING]", "Tempo=" (the tempo at the first selected note, "0.00"),
// "VoiceDir=", "CacheDir="; the note before the selection as section "PREV" (unless the selection
// starts at note 0); each selected note as a section named by its index in four digits; the note after
// the selection as "NEXT" (when there is one). No "[#TRACKEND]".
//
// Returned: the text cut at every "[#" that begins a line (one inside a value is text), the pieces
// handled in order from a cursor at the first selected note: "DELETE" deletes the note at the cursor,
// "PREV" and "NEXT" set the notes around the selection, "SETTING" is ignored, "INSERT" inserts a note
// at the cursor, a piece whose first four characters form a number sets the note at the cursor (and
// inserts one past the selection's end); each of the last two moves the cursor on. Anything else is
// skipped.

QString BuildPluginExchangeText(const NoteArrays& notes, qint32 first, qint32 last, float tempo,
                                const QString& voiceDir, const QString& cacheDir);

// A returned text made safe to apply: every control character other than CR and LF is removed (a TAB
// inside a lyric or flags would split the note's fields).
QString SanitizePluginReply(const QString& reply);

// Applies a returned text to the notes (the selection first..last, first <= last). On return `last` is
// the index of the last note of the changed range (first - 1 when every note was deleted). Works in
// one pass over the song whatever the number of sections. A note left without a length gets 60 ticks,
// as a project file's note does. An option that would set one of the render's program or path
// variables, or a variable without a plain name or an "=", is not taken (song/ReservedNoteVariables.h);
// its key is added to `refused` when given.
void ApplyPluginReply(const QString& reply, qint32 first, qint32& last, NoteArrays& notes,
                      QStringList* refused = nullptr);

}  // namespace tova
