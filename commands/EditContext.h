#pragma once

#include "commands/NoteGeometry.h"
#include "commands/ScrollBarState.h"

#include <QString>
#include <QtGlobal>

class QObject;

namespace tova {

class ClipboardPort;
class FileDialogPort;
class InputBoxPort;
class MessageBoxPort;
class NoteCache;
class PlaybackCommands;
class PopupMenuPort;
class RenderCommands;
class RenderProgress;
class Song;
struct NoteArrays;

// The notes a range command works on: first..last of the selection in ascending order, last cut to the
// last note. `empty` when both selection ends lie at or beyond the note count (no selection).
struct NoteRange {
    qint32 first = 0;
    qint32 last = -1;
    bool empty = true;
};

// Everything a command of the main window works with, in one interface: the song with its current note
// and selection, redraw requests, the view switches that commands read, the roll's geometry and
// horizontal scroll, the text boxes, the render cache, the undo frame and the modal ports. The main
// window implements it once; tests give a fake. Commands, editors, tuning tools and voice-bank tools see
// the main window only through this interface (and the owner window it hands out for their dialogs).
//
// The non-virtual members are the shared rules built on the virtual ones (the selection range, the undo
// frame), written once here for every command.
class EditContext {
public:
    virtual ~EditContext() = default;

    // ---- the song, the current note and the selection ----
    // The song being edited: notes, project settings, selection, modified flag and undo history.
    virtual Song& editedSong() = 0;
    virtual const Song& editedSong() const = 0;
    // The current (focused) note; -1 for none.
    virtual qint32 curNote() const = 0;
    virtual void setCurNote(qint32 note) = 0;
    // The selection ends, in either order (both equal to the note count: no selection).
    qint32 selStart() const;
    qint32 selEnd() const;
    void setSelection(qint32 start, qint32 end);
    // The selected range as range commands take it.
    NoteRange selectedRange() const;

    // ---- redraw requests ----
    // Keyboard strip, grid rows and ruler.
    virtual void DrawBackground() = 0;
    // Notes, lyrics, selection and curves (and their geometry).
    virtual void DrawNotes() = 0;
    // `option` "nobomb": no handles.
    virtual void DrawNotes(const QString& option) = 0;
    // DrawBackground, then DrawNotes: after a change of notes or scroll position.
    void Redraw();

    // ---- the view switches commands read ----
    // Mode-2 pitch curves (the "Mode2" switch).
    virtual bool mode2() const = 0;
    // The curve view (F4).
    virtual bool curveView() const = 0;
    // The quantise step in internal ticks (the tool band's choice); 0 for none.
    virtual qint32 quantizeTicks() const = 0;
    // The length of notes entered by typing, in internal ticks.
    virtual qint32 newNoteLength() const = 0;
    // Beats per measure of the grid (4 or 3).
    virtual int beatsPerBar() const = 0;

    // ---- the roll's geometry and horizontal scroll ----
    // The rectangles of the last note drawing.
    virtual const NoteGeometryList& noteGeometry() const = 0;
    // Ticks per twip of the roll.
    virtual float zoom() const = 0;
    // The roll's drawing width without its border, and the vertical scroll bar's width, in twips.
    virtual double rollInnerWidth() const = 0;
    virtual double vScrollWidth() const = 0;
    // The horizontal scroll bar (beats at the left edge of the roll).
    virtual const ScrollBarState& hScroll() const = 0;
    // Sets the horizontal bar's value; a new value raises the bar's change handler, which redraws.
    virtual void setHScrollValue(int value) = 0;

    // ---- text boxes ----
    // The text of the lyric entry box "Text2", and giving it the keyboard focus.
    virtual QString lyricEntryText() const = 0;
    virtual void focusLyricEntry() = 0;
    // The text box ("Text2", "Text1" or "txtTempo") that holds the keyboard focus; empty when none.
    virtual QString focusedTextBox() const = 0;
    // Sends a keystroke ("^A", "^C", "^X", "^V") to that text box, which then does its own work.
    virtual void sendKeys(const QString& box, const QString& keys) = 0;
    // Replaces the text of the lyric entry box "Text2".
    virtual void setLyricEntryText(const QString& text) = 0;
    // Gives the piano roll "Picture2" the keyboard focus.
    virtual void focusRoll() = 0;
    // Shows a tempo text in the tool band's tempo box "txtTempo".
    virtual void setTempoBoxText(const QString& text) = 0;

    // ---- the roll's last presses ----
    // The note under the last press on the ruler, -1 when none: the label and tempo commands of the ruler
    // and note pop-up menus act on it.
    virtual qint32 rulerNote() const = 0;
    // Makes `note` the ruler's note, as the property commands do with the note they open.
    virtual void setRulerNote(qint32 note) = 0;
    // The pitch point under the last press on the selection-start note (0 the start point, k the end of
    // segment k - 1), -1 when none: the pitch-point pop-up menu's commands act on it.
    virtual qint32 pitchPointIndex() const = 0;

    // ---- the roll's view of the song ----
    // The "Trace" switch: the roll redraws after the pitch curves were rendered into the notes.
    virtual bool traceMode() const = 0;
    // Scrolls the roll so that the start of a note is in view.
    virtual void scrollToNote(qint32 note) = 0;

    // ---- the note clipboard ----
    // The notes of the last copy with every field; lives as long as the window, read (not consumed) by
    // paste. Its note count is the clip count.
    virtual NoteArrays& noteClipBuffer() = 0;
    // The system clipboard, where copy puts the lyrics as text; the program's port unless a context gives
    // its own.
    virtual ClipboardPort& clipboard();
    // Plays a sound file asynchronously (the key-preview tone); a missing file plays nothing.
    virtual void playSoundAsync(const QString& path);

    // ---- render cache ----
    // The cache of rendered notes; null when there is none.
    virtual NoteCache* renderCache() = 0;
    // Deletes the cached renderings of notes first..last (nothing without a cache).
    void deleteCachedNotes(qint32 first, qint32 last);

    // ---- the undo frame (one step per command) ----
    // Property form: snapshot of first..last before the change (caption through the message table) ...
    void beginPropUndo(qint32 first, qint32 last, const QString& caption);
    // ... and after it: records the step and marks the project modified only when the notes changed;
    // with `dropCache` the changed range's renderings are deleted then. True when a step was recorded.
    bool endPropUndo(bool dropCache);
    // Structure form: the command built the undo and redo texts itself.
    void pushUndo(const QString& undoText, const QString& redoText, const QString& caption);
    void setModified(bool modified);

    // ---- modal ports ----
    // The program's message, input, file and pop-up ports unless a context gives its own.
    virtual MessageBoxPort& messageBox();
    virtual InputBoxPort& inputBox();
    virtual FileDialogPort& fileDialog();
    virtual PopupMenuPort& popupMenu();
    // The progress window with its stop link, hanging from the roll.
    virtual RenderProgress& progress() = 0;
    // The window that owns the modal dialogs a command opens.
    virtual QObject* ownerWindow() = 0;

    // ---- rendering and playback of the window; null while not installed ----
    virtual RenderCommands* rendering() = 0;
    virtual PlaybackCommands* playback() = 0;
};

}  // namespace tova
