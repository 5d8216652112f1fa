#pragma once

#include <QString>

namespace tova {

// What the song model needs of the window that shows it: the caption, the piano roll, the lyric queue
// box, the Edit menu's undo and redo items and the per-note geometry records of the roll. The main
// window implements it; a song without a host (tools, tests) simply has nothing to show.
class SongHost {
public:
    virtual ~SongHost() = default;

    // Refreshes the window caption (project name, file name and the modified mark).
    virtual void UpdateCaption() = 0;
    // Redraws the keyboard, the grid rows and the ruler of the roll.
    virtual void DrawBackground() = 0;
    // Recomputes the note geometry and redraws notes, lyrics, selection and curves.
    virtual void DrawNotes() = 0;
    // Gives note `index` the lyric `text`, copying the voice sample's pre-utterance and overlap into the
    // note unless the settings say otherwise, and marks the project modified. The song has already put
    // the lyric itself on the note when it calls this.
    virtual void ApplyLyricText(qint32 index, const QString& text) = 0;
    // Puts a text into the lyric queue box (the typed-entry box of the roll).
    virtual void SetLyricQueueText(const QString& text) = 0;
    // Caption and enabled state of the Edit menu's undo and redo items.
    virtual void SetUndoMenuCaption(const QString& caption) = 0;
    virtual void SetUndoMenuEnabled(bool enabled) = 0;
    virtual void SetRedoMenuCaption(const QString& caption) = 0;
    virtual void SetRedoMenuEnabled(bool enabled) = 0;
    // Notes were removed: the per-note geometry records keep their first `noteCount` entries (one empty
    // record when the song became empty) until the next drawing recomputes them.
    virtual void TrimNoteGeometry(qint32 noteCount) = 0;
};

}  // namespace tova
