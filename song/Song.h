#pragma once

#include "song/NoteArrays.h"
#include "song/ProjectSettings.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace tova {

class RecoveryWriter;
class SongHost;
struct RecoveryLinkState;

// A song's link to the writer of its recovery copy. Each song object has its own: a copy of a song
// starts without one (and makes its own when it writes a copy), so a copy never writes for another.
class RecoveryLink {
public:
    RecoveryLink();
    RecoveryLink(const RecoveryLink&);
    RecoveryLink& operator=(const RecoveryLink&) { return *this; }
    // Hands over a change still held back, then waits for the writer and ends it.
    ~RecoveryLink();
    std::unique_ptr<RecoveryLinkState> state;
};
class NoteCache;

// The open project: the four note arrays, the project settings, the selection, the modified flag and
// the undo history. The main window owns one for the life of the program; a new project resets it.
class Song : public NoteArrays {
public:
    // ---- project settings (written to and read from the project file) ----
    QString ProjectPath;                              // empty until the project is saved
    QString ProjectName;
    QString VoiceDir;                                 // voice-bank folder
    QString OutFile = QStringLiteral("newfile.wav");  // output wave file
    QString CacheDir;                                 // render cache folder; empty = the temporary one
    QString Tool1, Tool2;                             // tool paths
    QString ProjectFlags;                             // render flags of the whole project
    float Tempo = 120.0f;                             // beats per minute, single precision
    bool Mode2 = false;                               // mode-2 pitch curves (mirrored by the Mode2 check box)

    // ---- editing state ----
    bool IsModified = false;   // unsaved changes
    bool WasModified = false;  // IsModified before the last SetModified
    // Selection: note indexes in either order; both equal to the note count when nothing is selected.
    qint32 SelStart = 0;
    qint32 SelEnd = 0;

    // Per-instance temporary folder that holds the recovery copy; set by the main window at start-up.
    QString TempFolder;

    // ---- undo history ----
    QStringList UndoTexts;     // undo text of record i
    QStringList RedoTexts;     // redo text of record i
    QStringList UndoCaptions;  // caption of record i (already localised)
    qint32 UndoPos = 0;        // records 0..UndoPos-1 can be undone, the rest redone
    qint32 SavedUndoPos = 0;   // UndoPos when last saved; -1 when that state can no longer be reached
    qint32 PropUndoFrom = 0;
    qint32 PropUndoTo = 0;
    QString PropUndoCaption;
    QString PropUndoBefore;

    // The most records the history holds; a push beyond it drops the oldest.
    static constexpr qint32 UndoCapacity = 1024;

    // ---- project settings as the project file holds them ----
    ProjectSettings projectSettings() const;
    void setProjectSettings(const ProjectSettings& s);

    // ---- note editing primitives (no undo record of their own) ----

    // Removes notes first..last (last clamped to the last note); later notes move down. Nothing happens
    // when first is at or beyond the note count or first > last. Removing every note leaves the empty
    // song. The selection follows the notes: an end at or after the range moves down by its size, one
    // inside it moves to first - 1, a start inside it moves to first; a selection left inverted or
    // negative becomes note count + 1 at both ends. Marks the project modified; redraws when asked.
    // A negative first raises InvalidCallError.
    void RemoveNotes(qint32 first, qint32 last, bool redraw);
    // Inserts one note before `position` (clamped to the note count and written back) with the program's
    // defaults for new notes: unless it is a rest, intensity, modulation and flags from the settings, the
    // `env` option from DefaultEnv, and in mode 2 the `PBS`/`PBW` points scaled by the interval to the
    // previous note and the `VBR` option. A negative note number becomes 0. Marks the project modified;
    // redraws when asked. Returns the note number used. A negative position raises InvalidCallError.
    qint32 InsertNotes(qint32& position, qint32 length, const QString& lyric, qint32 noteNum, bool redraw);
    // Adds `offset` to the note number of every selected note, each result held within 0..83. Unless
    // `suppressUndo`, marks the project modified and records the step ("キーの変更"); always redraws.
    // Does nothing when both selection ends are at or beyond the note count.
    void ChangeNoteKeys(qint32 offset, bool suppressUndo);

    // ---- modified flag and undo history ----

    // Sets the modified flag (keeping the previous one in WasModified); False makes the current history
    // position the saved one. Refreshes the window caption.
    void SetModified(bool flag);
    // Records a step: cuts the redo tail, drops the oldest record when full, updates the Edit menu and
    // writes the recovery copy. Does not set the modified flag.
    void PushUndoRecord(const QString& undoText, const QString& redoText, const QString& caption);
    // Undoes the step before the history position, or redoes the one at it, then redraws. Nothing
    // happens at the ends of the history. A damaged record is refused before anything changes (song,
    // position and menu stay as they were): the result is then false, and with DebugMode on
    // InvalidCallError is raised.
    bool Undo();
    bool Redo();
    // Moves the history position one step back (forward) and returns the record text to apply; sets the
    // captions and states of the undo and redo menu items.
    QString UpdateUndoMenuAfterUndo();
    QString UpdateUndoMenuAfterRedo();
    // Applies a record text line by line ("DEL", "INS", "PROP", "KEY", "LYRIC", "TEMPO"; other lines are
    // skipped), then sets the modified flag from the history position. The whole text is checked first: a line
    // with an index outside the notes (as they stand when the line applies) or a number out of range
    // raises InvalidCallError and nothing is changed.
    void ApplyUndoRecord(const QString& text);
    // True when every line of a record text can be applied to the song as it stands.
    bool CheckUndoRecord(const QString& text) const;
    // The record line of one note: kind, index, length, lyric, note number and the extension string,
    // TAB-separated. An index outside the notes raises InvalidCallError.
    QString SerializeNote(const QString& kind, qint32 index) const;
    // Appends that line to `out`, followed by CR LF when `lineEnd`, without making texts on the way (the
    // commands write thousands of lines into one record).
    void AppendNoteLine(QString& out, const QString& kind, qint32 index, bool lineEnd = true) const;
    // The record line that sets the project tempo: "TEMPO", TAB and the tempo (the exact single-precision
    // value); applying it needs a positive tempo.
    static QString TempoRecordLine(float tempo);
    // The lines of notes from..to, each followed by CR LF; empty when from > to.
    QString SerializeNoteRange(const QString& kind, qint32 from, qint32 to) const;
    // Empties the history; the saved position becomes 0 and both menu items show their plain captions,
    // disabled.
    void ResetUndoHistory();
    // A property step: BeginPropUndo takes the "PROP" lines of from..to; EndPropUndo takes them again and,
    // when they differ, records the step with the remembered caption, marks the project modified and
    // returns true; otherwise it records nothing and returns false.
    void BeginPropUndo(qint32 from, qint32 to, const QString& caption);
    bool EndPropUndo();

    // The recovery copy in TempFolder (RecoveryFilePath below), rewritten after every recorded step.
    QString RecoveryFilePath() const;
    // Has the song as it stands written to the recovery copy by the copy's writer thread
    // (RecoveryWriter) and returns at once; every failure of the write is ignored (nothing is written
    // while TempFolder is empty). While a write is under way the change is held back, and the song as
    // it then stands is handed over when the write ends (through the event loop of this thread, or
    // at the next step or wait): the window's thread copies the note arrays at most once a write.
    void SaveRecoveryFile();
    // Returns when the recovery copy holds the song as of the last step: quitting, opening another
    // song and the orderly exit call it before they go on.
    void WaitForRecoveryFile();
    // The recovery copy's writer; null until the first copy is handed over.
    RecoveryWriter* recoveryWriter() const;

    // The window that shows the song and the render cache; either may be null.
    void attach(SongHost* host, NoteCache* cache) {
        host_ = host;
        cache_ = cache;
    }
    SongHost* host() const { return host_; }
    NoteCache* cache() const { return cache_; }

private:
    void applyCheckedRecord(const QString& text);
    void redraw();

    SongHost* host_ = nullptr;
    NoteCache* cache_ = nullptr;
    friend struct RecoveryLinkState;
    void postRecoveryCopy();
    // Hands over a change held back while a write was under way; false when there was none.
    bool handOverRecoveryCopy();
    RecoveryLink recovery_;  // last: it is ended while the song's data is still there
};

// The recovery copy of the project in a temporary folder: the project file "temp$$$.tvx" there; empty
// when the folder is.
QString RecoveryFilePath(const QString& tempFolder);

}  // namespace tova
