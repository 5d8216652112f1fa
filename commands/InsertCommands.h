#pragma once

#include <QList>
#include <QString>

namespace tova {

class CommandRegistry;
class EditContext;

// Adding notes by command: a rest, one typed note, the notes typed into the lyric entry box, a sample
// chosen from a list or entered from a MIDI keyboard; and the key-preview tone.

// One note of typed text, with the length and note number in force where its lyric stood.
struct TypedNote {
    QString lyric;
    qint32 length = 0;
    qint32 noteNum = 0;
};

// Reads the typed-note language of the lyric entry box (the text is trimmed first): blanks are skipped;
// "/L" and a length code ("1", "2", "3", "4", "6", "8", "12", "16", "24", "32": 7680 ticks divided by
// the code; any other code leaves the length) sets the length of the following notes; "/" with a
// capital "A" to "G", an optional "b" or "#" and an octave digit sets their note number (a character in
// the octave place that is no digit is dropped with the setting); "/" with any other character drops
// both; a "/" at the end is a lyric; anything else is one lyric as NextLyricMora cuts it.
// `length` and `noteNum` are the values the text starts from.
QList<TypedNote> ReadTypedNotes(const QString& text, qint32 length, qint32 noteNum);

// Gives note `index` the lyric `text` and lets the window copy the sample's timing into it.
void ApplyLyricText(EditContext& context, qint32 index, const QString& text);

// "Rを挿入(&I)": a rest of the new-note length before the selection start; the selection moves on
// with the notes after it. Step "休符の挿入".
void mnInsert_Click(EditContext& context);
// "挿入...": asks for a lyric ("挿入する音を入力", "R" filled in) and inserts that note of the new-note
// length at note number 36 before the selection start. Step "ノートの挿入".
void mnToneIns_Click(EditContext& context);
// The typed notes of the lyric entry box: inserted before the selection (insert, or an empty song) as
// one step "挿入", or put as lyrics on the selected notes that are no rests (step "歌詞の置換え"; with
// NoCheckSetLyrics on to the end of the song). The notes made or changed are selected; a text without
// a lyric records nothing. The box keeps its text.
void InsertNotesFromText(EditContext& context, bool insert);
// The next lyric of the lyric entry box for a new note: "あ" when the box is empty; otherwise its first
// lyric, and the box keeps the trimmed rest. `undoBefore` and `undoAfter` are the "LYRIC" record lines
// that put the box text back and forward (empty when the box was empty).
void TakeQueuedLyric(EditContext& context, QString& undoAfter, QString& undoBefore, QString& lyric);
// A note entered from the sample list or a MIDI keyboard: an empty lyric is taken from the lyric entry
// box; a length of 1 or more is rounded to a multiple of 120 ticks, otherwise the new-note length is
// used. Replace puts the lyric on the note at the selection start (step "歌詞"); otherwise the note is
// inserted there (step "挿入"). The selection moves one note on so that the next entry fills the next
// place.
void InsertTonePub(EditContext& context, QString& lyric, qint32 noteNum, qint32 length, bool replace);
// Plays "system/tones/<note name>.wav" of the project's voice folder when it is there.
void SpeakScale(EditContext& context, qint32 noteNum);

void registerInsertCommands(CommandRegistry& registry);

}  // namespace tova
